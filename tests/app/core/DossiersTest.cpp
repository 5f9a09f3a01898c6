// The scan model.
#include <gtest/gtest.h>

#include "app/core/Dossiers.h"

namespace {

TEST(Dossiers, TailleKio) {
  const struct {
    Int64 octets, kio;
  } cases[] = {{0, 0}, {1, 0}, {1023, 0}, {1024, 1}, {1025, 1}, {2047, 1}, {2048, 2},
               {-1, 0}, {5LL << 30, 5LL << 20}, {(6LL << 30) + 1023, 6LL << 20}};
  for (const auto& c : cases) EXPECT_EQ(TailleKio(c.octets), c.kio) << c.octets;
}

TEST(Dossiers, NodeDataSize) {
  EXPECT_EQ(TailleInfoNoeud, sizeof(TInfoNoeud));
  TInfoNoeud n;
  EXPECT_FALSE(n.isDossier);
  EXPECT_EQ(n.Dossier, nullptr);
  EXPECT_EQ(n.Fichier, nullptr);
}

TEST(Dossiers, FilesAreTruncatedOneByOne) {
  TDossier d;
  for (int i = 0; i < 1000; ++i) d.AjouteFichier(u"f", 1000, 0);
  EXPECT_EQ(d.Taille, 0);
  d.AjouteFichier(u"a", 1023, 0);
  d.AjouteFichier(u"b", 1024, 0);
  EXPECT_EQ(d.Taille, 1);
  EXPECT_EQ(d.Fichiers.back()->Dossier, &d);
}

// root (10) / a (20) / b (300), root / c (5)
struct Tree {
  TModeleScan m;
  TDossier* root;
  TDossier* a;
  TDossier* b;
  TDossier* c;
  TFichier* fb;
  Tree() {
    root = m.CreeRacine(u"srv:21", u"/", u"");
    a = m.AjouteDossier(root, u"a");
    b = m.AjouteDossier(a, u"b");
    c = m.AjouteDossier(root, u"c");
    Add(root, 10);
    Add(a, 20);
    fb = Add(b, 300);
    Add(c, 5);
  }
  TFichier* Add(TDossier* d, Int64 kio) {
    TFichier* f = d->AjouteFichier(u"f", kio * 1024, 0);
    for (TDossier* p = d->Pere; p; p = p->Pere) p->TailleSousDossier += f->Taille;
    return f;
  }
};

TEST(Dossiers, Paths) {
  Tree t;
  EXPECT_EQ(t.a->Chemin, u"/a");  // anchored on the login folder "/"
  EXPECT_EQ(t.b->Chemin, u"/a/b");
  EXPECT_EQ(t.root->Pere, nullptr);
  EXPECT_EQ(t.b->Pere, t.a);
  TModeleScan m;
  TDossier* r = m.CreeRacine(u"/site/", u"/site/", u"/site/");
  EXPECT_EQ(m.AjouteDossier(r, u"img")->Chemin, u"/site//img");  // plain concatenation
  TDossier* home = m.CreeRacine(u"h:21", u"/home/u", u"/home/u");
  TDossier* x = m.AjouteDossier(home, u"x y");
  EXPECT_EQ(x->Chemin, u"/home/u/x y");
  EXPECT_EQ(m.AjouteDossier(x, u"été")->Chemin, u"/home/u/x y/été");
}

TEST(Dossiers, Totals) {
  Tree t;
  EXPECT_EQ(t.root->Total(), 335);
  EXPECT_EQ(t.a->Total(), 320);
  EXPECT_EQ(t.a->TailleSousDossier, 300);
  EXPECT_EQ(t.m.Total(), 335);
  EXPECT_EQ(t.m.NombreDossiers(), 4u);
}

TEST(Dossiers, ChangeContenuOnRootChangesOnlyRoot) {
  Tree t;
  t.root->ChangeContenu(5);
  EXPECT_EQ(t.root->TailleSousDossier, 320);
  EXPECT_EQ(t.root->Taille, 10);
  EXPECT_EQ(t.a->TailleSousDossier, 300);
}

TEST(Dossiers, ChangeContenuGoesUp) {
  Tree t;
  t.a->ChangeContenu(100);
  EXPECT_EQ(t.a->TailleSousDossier, 200);
  EXPECT_EQ(t.root->TailleSousDossier, 225);
}

TEST(Dossiers, DelFile) {
  Tree t;
  t.b->DelFile(nullptr);
  EXPECT_EQ(t.root->Total(), 335);
  t.b->DelFile(t.fb);  // the last file of b
  EXPECT_EQ(t.b->Taille, 0);
  EXPECT_TRUE(t.b->Fichiers.empty());
  EXPECT_EQ(t.a->TailleSousDossier, 0);
  EXPECT_EQ(t.a->Total(), 20);
  EXPECT_EQ(t.root->Total(), 35);
  // A file of another folder is not touched.
  TFichier* other = t.c->Fichiers[0].get();
  t.a->DelFile(other);
  EXPECT_EQ(t.c->Fichiers.size(), 1u);
  EXPECT_EQ(t.root->Total(), 35);
}

TEST(Dossiers, RootFileDelete) {
  Tree t;
  t.root->DelFile(t.root->Fichiers[0].get());
  EXPECT_EQ(t.root->Taille, 0);
  EXPECT_EQ(t.root->Total(), 325);
}

TEST(Dossiers, SupprimeDossier) {
  // A sub-folder of 300 KiB under a folder of 1000 KiB.
  TModeleScan m;
  TDossier* root = m.CreeRacine(u"r", u"/r", u"/r");
  TDossier* p = m.AjouteDossier(root, u"p");
  TDossier* s = m.AjouteDossier(p, u"s");
  TDossier* deep = m.AjouteDossier(s, u"deep");
  p->Taille = 700;
  s->Taille = 200;
  deep->Taille = 100;
  s->TailleSousDossier = 100;
  p->TailleSousDossier = 300;
  root->TailleSousDossier = 1000;
  EXPECT_FALSE(m.SupprimeDossier(root));
  EXPECT_TRUE(m.SupprimeDossier(s));
  EXPECT_EQ(p->Total(), 700);
  EXPECT_EQ(root->Total(), 700);
  EXPECT_TRUE(p->SousDossiers.empty());
  EXPECT_EQ(m.NombreDossiers(), 2u);
  TDossier stranger;
  TDossier child(&stranger);
  ASSERT_EQ(child.Pere, &stranger);
  EXPECT_FALSE(m.SupprimeDossier(&child));
}

TEST(Dossiers, DeepTreeIsFreedWithoutRecursion) {
  TModeleScan m;
  TDossier* d = m.CreeRacine(u"r", u"/", u"");
  for (int i = 0; i < 5000; ++i) d = m.AjouteDossier(d, u"d");
  EXPECT_EQ(m.NombreDossiers(), 5001u);
  m.Clear();
  EXPECT_EQ(m.Racine(), nullptr);
}

}  // namespace
