// The display pieces: log masking, FormatTaille, the pie slices and the
// usage display.
#include <gtest/gtest.h>

#include "app/core/Affichage.h"
#include "app/core/Messages.h"

namespace {

// The tests below read the untranslated "** key **" texts, whatever table
// an earlier test of the same program loaded.
class Affichage : public testing::Test {
protected:
  void SetUp() override { FSaved = SetGetMsgFunc(nullptr); }
  void TearDown() override { SetGetMsgFunc(FSaved); }

private:
  TGetMsgFunc FSaved;
};

struct TailleCase {
  Int64 kio;
  const char16_t* english;
  const char16_t* french;
};

TEST_F(Affichage, FormatTaille) {
  const TailleCase cases[] = {
      {0, u"0 Kio", u"0 Kio"},
      {1, u"1 Kio", u"1 Kio"},
      {-1, u"", u""},
      {-2, u"-2 Kio", u"-2 Kio"},
      {999, u"999 Kio", u"999 Kio"},
      {1024, u"1,024 Kio", u"1\u00A0024 Kio"},
      {-1024, u"-1,024 Kio", u"-1\u00A0024 Kio"},
      {1025, u"1.00 Mio", u"1,00 Mio"},
      {1536, u"1.50 Mio", u"1,50 Mio"},
      {1029, u"1.00 Mio", u"1,00 Mio"},                  // 1.0049
      {1030, u"1.01 Mio", u"1,01 Mio"},                  // 1.0059
      {1048575, u"1,024.00 Mio", u"1\u00A0024,00 Mio"},  // 1023.999 rounds into the grouping
      {1073741823, u"1,024.00 Gio", u"1\u00A0024,00 Gio"},
      {-2048, u"-2.00 Mio", u"-2,00 Mio"},
      {1048576, u"1,024.00 Mio", u"1\u00A0024,00 Mio"},
      {1048577, u"1.00 Gio", u"1,00 Gio"},
      {-2097152, u"-2.00 Gio", u"-2,00 Gio"},
      {5368709120LL, u"5,120.00 Gio", u"5\u00A0120,00 Gio"},  // 5 TiB: no larger unit
  };
  const TFormatSettings en = TFormatSettings::English();
  const TFormatSettings fr = TFormatSettings::French();
  for (const TailleCase& c : cases) {
    EXPECT_EQ(FormatTaille(c.kio, en), String(c.english)) << c.kio;
    EXPECT_EQ(FormatTaille(c.kio, fr), String(c.french)) << c.kio;
  }
  TFormatSettingsScope scope(fr);
  EXPECT_EQ(FormatTaille(1025), u"1,00 Mio");
}

TEST_F(Affichage, FormatOctets) {
  // The KiB of a byte count are rounded by the display only (halves to
  // even), with FormatTaille's units.
  const struct {
    Int64 octets;
    const char16_t* english;
  } cases[] = {
      {0, u"0 Kio"},
      {-1, u""},
      {511, u"0 Kio"},
      {958, u"1 Kio"},   // cut to whole KiB it was 0
      {1536, u"2 Kio"},  // 1.5: to even
      {2560, u"2 Kio"},  // 2.5: to even
      {96256, u"94 Kio"},
      {1024 * 1024, u"1,024 Kio"},
      {1024 * 1024 + 1, u"1.00 Mio"},
      {1536 * 1024, u"1.50 Mio"},
      {1024LL * 1024 * 1024 + 1, u"1.00 Gio"},
      {-2048 * 1024, u"-2.00 Mio"},
  };
  const TFormatSettings en = TFormatSettings::English();
  for (const auto& c : cases) EXPECT_EQ(FormatOctets(c.octets, en), String(c.english)) << c.octets;
  EXPECT_EQ(FormatOctets(1536 * 1024, TFormatSettings::French()), u"1,50 Mio");
}

TEST_F(Affichage, PieSlicesFromBytes) {
  // Two folders of 700 bytes and the folder's own 958 bytes: cut per file
  // they would all be 0 and the pie empty.
  TModeleScan m;
  TDossier* root = m.CreeRacine(u"/s", u"/s", u"/s");
  root->Octets = 958;
  for (const char16_t* n : {u"a", u"b"}) {
    m.AjouteDossier(root, n)->Octets = 700;
    root->OctetsSousDossier += 700;
  }
  const TGraphique g = CalculeGraphique(*root, 2, 0, false, false, TFormatSettings::English());
  ASSERT_EQ(g.Parts.size(), 3u);
  EXPECT_DOUBLE_EQ(g.Parts[0].Valeur, 958 / 1024.0);
  EXPECT_DOUBLE_EQ(g.Parts[1].Valeur, 700 / 1024.0);
  EXPECT_EQ(g.Titre, u"** FolderOf ** 2 Kio\r\n/s");  // 2358 bytes
}

TEST_F(Affichage, MasqueCommande) {
  const struct {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"PASS secret", u"PASS ******"},   {u"PASS ", u"PASS "},
      {u"PASS a b", u"PASS ***"},         {u"pass secret", u"pass secret"},  // only upper case is masked
      {u"PASSsecret", u"PASSsecret"},     {u"PASS", u"PASS"},
      {u"USER quorvel", u"USER quorvel"}, {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(MasqueCommande(c.in), String(c.out));
}

TEST_F(Affichage, LigneLog) {
  EXPECT_EQ(LigneLog(false, u"PASS abcdef", true), u"** Commande **\tPASS ******");
  EXPECT_EQ(LigneLog(true, u"230 Login successful.", false), u"\r\n** Reponse **\t230 Login successful.");
  EXPECT_EQ(LigneLog(true, u"", true), u"** Reponse **\t");
  EXPECT_EQ(LigneLog(true, u"PASS abc", true), u"** Reponse **\tPASS abc");  // replies are not masked
  EXPECT_EQ(CouleurLigneLog(true), 0x008000);
  EXPECT_EQ(CouleurLigneLog(false), 0x800000);
  TGetMsgFunc old = SetGetMsgFunc([](const String& k) { return k == u"Commande" ? String(u"Commande :") : k; });
  EXPECT_EQ(LigneLog(false, u"LIST", true), u"Commande :\tLIST");
  SetGetMsgFunc(old);
}

TEST_F(Affichage, Seuil) {
  EXPECT_EQ(SeuilGroupement(50), 2);  // 2.5 to the even neighbour
  EXPECT_EQ(SeuilGroupement(70), 4);  // 3.5
  EXPECT_EQ(SeuilGroupement(0), 0);
  EXPECT_EQ(SeuilGroupement(1000), 50);
  // Every exact half, whatever the binade, goes to the even neighbour.
  for (Int64 total = 10; total < 400000; total += 20) {
    const Int64 half = total / 20;  // total / 20 == half + 0.5
    ASSERT_EQ(SeuilGroupement(total), half % 2 == 0 ? half : half + 1) << total;
  }
  EXPECT_EQ(SeuilGroupement(29), 1);  // 1.45
  EXPECT_EQ(SeuilGroupement(31), 2);  // 1.55
}

// The usage bar's position is the exact quotient rounded, halves to even,
// also where the double quotient falls just beside the half.
TEST_F(Affichage, UsageRounding) {
  const struct {
    Int64 total, allowed, position;
  } cases[] = {
      {23 * 1024, 40 * 1024, 58},   // 57.5 (0.575 is below it in doubles)
      {49 * 1024, 40 * 1024, 122},  // 122.5
      {51 * 1024, 40 * 1024, 128},  // 127.5
      {87 * 1024, 40 * 1024, 218},  // 217.5
      {1, 8, 12},
      {3, 8, 38},  // 37.5
      {1, 3, 33},
      {2, 3, 67},
      {1023, 1024, 100},  // 99.9
      {5, 1000, 0},       // 0.5
      {15, 1000, 2},      // 1.5
      {0, 1024, 0},
      {50, 0, 0},
      {4611686018427387904LL, 1024, 450359962737049600LL},  // 2^62: too big to multiply by 100
  };
  for (const auto& c : cases)
    EXPECT_EQ(PourcentageOccupation(c.total, c.allowed), c.position) << c.total << "/" << c.allowed;
}

struct Pie {
  TModeleScan m;
  TDossier* root;
  Pie() { root = m.CreeRacine(u"/site", u"/site", u"/site"); }
  TDossier* Child(const char16_t* name, Int64 total) {
    TDossier* d = m.AjouteDossier(root, name);
    d->Octets = total * 1024;
    root->OctetsSousDossier += total * 1024;
    return d;
  }
};

TEST_F(Affichage, PieWithGrouping) {
  Pie p;
  p.root->Octets = 2 * 1024;  // exactly the threshold: a slice of its own
  p.Child(u"big", 47);
  p.Child(u"small", 1);
  p.Child(u"zero", 0);
  const TFormatSettings en = TFormatSettings::English();
  const TGraphique g = CalculeGraphique(*p.root, 50, 100, true, true, en);
  EXPECT_EQ(g.Titre, u"** FolderOf ** 50 Kio\r\n/site");
  ASSERT_EQ(g.Parts.size(), 4u);
  EXPECT_EQ(g.Parts[0].Legende, u"** Libre **");
  EXPECT_EQ(g.Parts[0].Valeur, 50.0);
  EXPECT_EQ(g.Parts[1].Legende, u"** Fichiers **");
  EXPECT_EQ(g.Parts[1].Valeur, 2.0);
  EXPECT_EQ(g.Parts[2].Legende, u"** Dossier ** big");
  EXPECT_EQ(g.Parts[2].Valeur, 47.0);
  EXPECT_EQ(g.Parts[3].Legende, u"** Grouped **");
  EXPECT_EQ(g.Parts[3].Valeur, 1.0);
  for (std::size_t i = 0; i < g.Parts.size(); ++i) EXPECT_EQ(g.Parts[i].Couleur, CouleursGraphique[i]);
  EXPECT_EQ(CouleursGraphique[0], 0x9C6940);
  EXPECT_EQ(CouleursGraphique[13], 0xA9AAD9);
}

TEST_F(Affichage, PieWithoutGroupingOrFreeSpace) {
  Pie p;
  p.root->Octets = 2 * 1024;
  p.Child(u"big", 47);
  p.Child(u"small", 1);
  const TGraphique g = CalculeGraphique(*p.root, 50, 100, false, false, TFormatSettings::English());
  ASSERT_EQ(g.Parts.size(), 3u);
  EXPECT_EQ(g.Parts[0].Legende, u"** Fichiers **");
  EXPECT_EQ(g.Parts[2].Legende, u"** Dossier ** small");
  EXPECT_EQ(g.Parts[0].Couleur, CouleursGraphique[0]);
}

TEST_F(Affichage, PieColoursStartOver) {
  Pie p;
  p.root->Octets = 10 * 1024;
  for (int i = 0; i < 15; ++i) p.Child(u"d", 10);
  const TGraphique g = CalculeGraphique(*p.root, 160, 0, true, true, TFormatSettings::English());
  ASSERT_EQ(g.Parts.size(), 16u);  // no free space (allowed 0), nothing below 8
  EXPECT_EQ(g.Parts[14].Couleur, CouleursGraphique[0]);
  EXPECT_EQ(g.Parts[15].Couleur, CouleursGraphique[1]);
}

// The pie closes on itself: the last slice touches the first, so no count
// of slices lets two neighbours share a colour ("Free" and a folder did
// with 15 slices).
TEST_F(Affichage, PieNeighboursNeverShareAColour) {
  for (int n : {2, 3, 14, 15, 16, 28, 29, 30}) {
    Pie p;
    for (int i = 0; i < n - 1; ++i) p.Child(u"d", 10);
    const TGraphique g = CalculeGraphique(*p.root, 10 * (n - 1), 10 * n, true, false, TFormatSettings::English());
    ASSERT_EQ(g.Parts.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(g.Parts[0].Legende, u"** Libre **");
    for (int i = 0; i < n; ++i) {
      const int suivant = (i + 1) % n;
      if (suivant != i) {
        EXPECT_NE(g.Parts[i].Couleur, g.Parts[suivant].Couleur) << n << " slices, slice " << i;
      }
    }
    for (int i = 0; i + 1 < n; ++i) EXPECT_EQ(g.Parts[i].Couleur, CouleursGraphique[i % 14]) << "order kept";
  }
}

// A share the pie would show as "0.00%" has no slice and no legend line:
// a few KiB beside gigabytes of free space; the shares that show stay.
TEST_F(Affichage, PieLeavesOutZeroShares) {
  Pie p;
  p.root->Octets = 4 * 1024;
  p.Child(u"tiny", 1);
  p.Child(u"small", 600);
  const Int64 allowed = 10 * 1048576LL;  // 10 Gio
  const TGraphique g = CalculeGraphique(*p.root, 605, allowed, true, false, TFormatSettings::English());
  std::vector<String> legendes;
  for (const TPartGraphique& part : g.Parts) legendes.push_back(part.Legende);
  // 600 of about 10,485,760: 0.0057 %, shown as 0.01 %; 4 and 1: 0.00 %.
  EXPECT_EQ(legendes, (std::vector<String>{u"** Libre **", u"** Dossier ** small"}));
  EXPECT_EQ(g.Parts[1].Couleur, CouleursGraphique[1]);
}

TEST_F(Affichage, PieOfEmptyFolder) {
  Pie p;
  p.Child(u"empty", 0);
  const TGraphique g = CalculeGraphique(*p.root, 0, 10240, true, true, TFormatSettings::English());
  ASSERT_EQ(g.Parts.size(), 1u);
  EXPECT_EQ(g.Parts[0].Legende, u"** Libre **");
  EXPECT_EQ(g.Parts[0].Valeur, 10240.0);
  EXPECT_EQ(g.Titre, u"** FolderOf ** 0 Kio\r\n/site");
}

TEST_F(Affichage, PieThresholdShares) {
  // Total 70: threshold 4; a share of 4 stays, a share of 3 is grouped.
  Pie p;
  p.Child(u"four", 4);
  p.Child(u"three", 3);
  p.Child(u"rest", 63);
  const TGraphique g = CalculeGraphique(*p.root, 70, 0, false, true, TFormatSettings::English());
  ASSERT_EQ(g.Parts.size(), 3u);
  EXPECT_EQ(g.Parts[0].Legende, u"** Dossier ** four");
  EXPECT_EQ(g.Parts[1].Legende, u"** Dossier ** rest");
  EXPECT_EQ(g.Parts[2].Legende, u"** Grouped **");
  EXPECT_EQ(g.Parts[2].Valeur, 3.0);
}

TEST_F(Affichage, UsageAndFreeSpace) {
  const Int64 oneGio = EspaceAutoriseKio(1, 1);
  EXPECT_EQ(oneGio, 1048576);
  EXPECT_EQ(EspaceAutoriseKio(10, 0), 10240);
  EXPECT_EQ(EspaceAutoriseKio(10, 1), 10485760);
  EXPECT_EQ(EspaceAutoriseKio(10, 1) / EspaceAutoriseKio(10, 0), 1024);  // Gio -> Mio
  // Allowed 1 Gio, scanned 3 GiB: no free slice, -2.00 Gio, usage 300.
  const Int64 total = 3 * 1048576LL;
  Pie p;
  p.root->Octets = total * 1024;
  EXPECT_TRUE(CalculeGraphique(*p.root, total, oneGio, true, true, TFormatSettings::English()).Parts.size() == 1);
  EXPECT_EQ(*TexteEspaceLibre(total, oneGio, TFormatSettings::French()), u"** Free **-2,00 Gio");
  EXPECT_EQ(*TexteEspaceLibre(total, oneGio, TFormatSettings::English()), u"** Free **-2.00 Gio");
  EXPECT_EQ(PourcentageOccupation(total, oneGio), 300);
  // Before any scan: no text, position 0.
  EXPECT_FALSE(TexteEspaceLibre(0, oneGio, TFormatSettings::English()).has_value());
  EXPECT_EQ(PourcentageOccupation(0, oneGio), 0);
  EXPECT_EQ(PourcentageOccupation(50, 0), 0);
  EXPECT_EQ(PourcentageOccupation(1, 8), 12);  // 12.5 to even
  EXPECT_EQ(PourcentageOccupation(7, 8), 88);  // 87.5 to even
  EXPECT_EQ(PourcentageOccupation(512, 1024), 50);
  EXPECT_EQ(TaillePie(300, 400), 280);
  EXPECT_EQ(TaillePie(500, 200), 120);
}

}  // namespace
