// The scan model.
#include <gtest/gtest.h>

#include "app/core/Dossiers.h"

namespace {

TEST(Dossiers, TailleKio) {
  const struct {
    Int64 octets, kio;
  } cases[] = {{0, 0},
               {1, 0},
               {1023, 0},
               {1024, 1},
               {1025, 1},
               {2047, 1},
               {2048, 2},
               {-1, 0},
               {5LL << 30, 5LL << 20},
               {(6LL << 30) + 1023, 6LL << 20}};
  for (const auto& c : cases) EXPECT_EQ(TailleKio(c.octets), c.kio) << c.octets;
}

TEST(Dossiers, NodeDataSize) {
  EXPECT_EQ(TailleInfoNoeud, sizeof(TInfoNoeud));
  TInfoNoeud n;
  EXPECT_FALSE(n.isDossier);
  EXPECT_EQ(n.Dossier, nullptr);
  EXPECT_EQ(n.Fichier, nullptr);
}

TEST(Dossiers, FilesAreSummedInBytes) {
  // Cut file by file, a thousand 1000-byte files would total 0 KiB.
  TDossier d;
  for (int i = 0; i < 1000; ++i) d.AjouteFichier(u"f", 1000, 0);
  EXPECT_EQ(d.Octets, 1000000);
  EXPECT_EQ(d.Taille(), 976);  // 976.56 KiB
  EXPECT_EQ(d.Fichiers.back()->Taille(), 0);
  EXPECT_EQ(d.Fichiers.back()->Octets, 1000);
  d.AjouteFichier(u"unknown", -1, 0);  // size unknown: counts 0
  EXPECT_EQ(d.Fichiers.back()->Octets, 0);
  EXPECT_EQ(d.Octets, 1000000);
  EXPECT_EQ(d.Fichiers.back()->Dossier, &d);
  // Sub-folders' bytes too: 958 bytes below plus 90 in the folder make a
  // KiB, which neither has alone.
  TModeleScan m;
  TDossier* root = m.CreeRacine(u"r", u"/", u"");
  TDossier* a = m.AjouteDossier(root, u"a");
  root->AjouteFichier(u"x", 90, 0);
  TFichier* f = a->AjouteFichier(u"y", 958, 0);
  for (TDossier* p = a->Pere; p; p = p->Pere) p->OctetsSousDossier += f->Octets;
  EXPECT_EQ(root->OctetsTotal(), 1048);
  EXPECT_EQ(root->Total(), 1);
  EXPECT_EQ(root->Taille() + root->TailleSousDossier(), root->Total());
  EXPECT_EQ(m.OctetsTotal(), 1048);
  root->DelFile(root->Fichiers[0].get());
  EXPECT_EQ(root->OctetsTotal(), 958);
  EXPECT_EQ(root->Total(), 0);
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
    for (TDossier* p = d->Pere; p; p = p->Pere) p->OctetsSousDossier += f->Octets;
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
  EXPECT_EQ(t.a->TailleSousDossier(), 300);
  EXPECT_EQ(t.m.Total(), 335);
  EXPECT_EQ(t.m.NombreDossiers(), 4u);
}

TEST(Dossiers, ChangeContenuOnRootChangesOnlyRoot) {
  Tree t;
  t.root->ChangeContenu(5 * 1024);
  EXPECT_EQ(t.root->TailleSousDossier(), 320);
  EXPECT_EQ(t.root->Taille(), 10);
  EXPECT_EQ(t.a->TailleSousDossier(), 300);
}

TEST(Dossiers, ChangeContenuGoesUp) {
  Tree t;
  t.a->ChangeContenu(100 * 1024);
  EXPECT_EQ(t.a->TailleSousDossier(), 200);
  EXPECT_EQ(t.root->TailleSousDossier(), 225);
}

TEST(Dossiers, DelFile) {
  Tree t;
  t.b->DelFile(nullptr);
  EXPECT_EQ(t.root->Total(), 335);
  t.b->DelFile(t.fb);  // the last file of b
  EXPECT_EQ(t.b->Taille(), 0);
  EXPECT_TRUE(t.b->Fichiers.empty());
  EXPECT_EQ(t.a->TailleSousDossier(), 0);
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
  EXPECT_EQ(t.root->Taille(), 0);
  EXPECT_EQ(t.root->Total(), 325);
}

TEST(Dossiers, SupprimeDossier) {
  // A sub-folder of 300 KiB under a folder of 1000 KiB.
  TModeleScan m;
  TDossier* root = m.CreeRacine(u"r", u"/r", u"/r");
  TDossier* p = m.AjouteDossier(root, u"p");
  TDossier* s = m.AjouteDossier(p, u"s");
  TDossier* deep = m.AjouteDossier(s, u"deep");
  p->Octets = 700 * 1024;
  s->Octets = 200 * 1024;
  deep->Octets = 100 * 1024;
  s->OctetsSousDossier = 100 * 1024;
  p->OctetsSousDossier = 300 * 1024;
  root->OctetsSousDossier = 1000 * 1024;
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
