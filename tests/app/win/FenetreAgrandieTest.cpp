// The main window maximized after a scan of a tree with many small folders:
// the panes a user reads (folder tree, file list, log) grow with the window
// and keep their shares, the pie takes what is left; a splitter the user
// moved sets the share kept from then on. Screenshots in French and English.
#include <algorithm>
#include <fstream>

#include "AppWinTestSupport.h"
#include "app/GraphiqueDossier.h"
#include "tests/fixture/FtpFixture.h"

namespace {

using namespace apptest;

// A root with many small folders (a few KiB each) beside two large ones,
// and enough files of its own to fill the file list.
void ArbreDePetitsDossiers(const fs::path& Racine) {
  auto fichier = [](const fs::path& F, std::size_t Taille) {
    fs::create_directories(F.parent_path());
    std::ofstream(F, std::ios::binary) << std::string(Taille, 'q');
  };
  fichier(Racine / "archives" / "2023.zip", 900 * 1024);
  fichier(Racine / "photos" / "album.jpg", 600 * 1024);
  for (int i = 0; i < 24; ++i) {
    const std::string nom = "petit dossier " + std::to_string(i + 1);
    fichier(Racine / nom / "notes.txt", static_cast<std::size_t>(2 + i % 7) * 1024);
  }
  for (int i = 0; i < 30; ++i) fichier(Racine / ("page" + std::to_string(i) + ".html"), 3000 + 97 * i);
}

// Capture of what the screen shows of Form, its rectangle kept on the
// screen (a maximized window's frame lies beyond the screen's edges).
fs::path CaptureEcran(TCustomForm* Form, const fs::path& Dossier, const std::string& Nom) {
  PumpMessagesFor(300);
  Form->Update();
  RECT r{};
  ::GetWindowRect(Form->Handle(), &r);
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  r.right = std::min<LONG>(r.right, ::GetSystemMetrics(SM_CXSCREEN));
  r.bottom = std::min<LONG>(r.bottom, ::GetSystemMetrics(SM_CYSCREEN));
  const int w = r.right - r.left, h = r.bottom - r.top;
  TBitmap shot;
  shot.SetPixelFormat(pf24bit);
  shot.SetSize(w, h);
  HDC ecran = ::GetDC(nullptr);
  ::BitBlt(shot.Canvas()->Handle(), 0, 0, w, h, ecran, r.left, r.top, SRCCOPY);
  ::ReleaseDC(nullptr, ecran);
  fs::create_directories(Dossier);
  const fs::path file = Dossier / (Nom + ".bmp");
  shot.SaveToFile(String(reinterpret_cast<const Char*>(file.wstring().c_str())));
  return file;
}

class FenetreAgrandieTest : public AppFixture {
protected:
  struct TTailles {
    Integer Client, ClientH, Gauche, Fichiers, Log, Graphique;
  };
  // The pie as last painted lies whole inside the chart's client area,
  // centred across it; the screen shows its colour at that centre and none
  // of it left of the chart (over the folder tree).
  void VerifiePieDansGraphique() {
    TVivGDIPChartView* chart = Main->zolChart;
    const TRect ecran = EcranGraphique(chart);
    // The chart takes the room right of the left panel, not under it.
    const TPoint gauche = Main->pGauche->ClientOrigin();
    EXPECT_GE(ecran.Left, gauche.X + Main->pGauche->Width()) << "the chart lies under the left panel";
    const RECT client{0, 0, ecran.Width(), ecran.Height()};
    const TRect pie = RectanglePieGraphique(chart);
    ASSERT_FALSE(pie.IsEmpty()) << "the pie was never painted";
    EXPECT_GE(pie.Left, client.left) << "pie " << pie.Left << ".." << pie.Right << " chart 0.." << client.right;
    EXPECT_LE(pie.Right, client.right) << "pie " << pie.Left << ".." << pie.Right << " chart 0.." << client.right;
    EXPECT_GE(pie.Top, client.top);
    EXPECT_LE(pie.Bottom, client.bottom);
    const Integer centreX = (pie.Left + pie.Right) / 2, centreY = (pie.Top + pie.Bottom) / 2;
    EXPECT_NEAR(centreX, client.right / 2, 2) << "the pie is not centred across its pane";
    // What the screen shows: the largest slice's colour (nearly all the
    // pie) on both sides of the centre and above and below it.
    const std::vector<TPointGraphique> points = PointsGraphique(chart);
    ASSERT_FALSE(points.empty());
    PumpMessagesFor(200);
    const COLORREF attendu = static_cast<COLORREF>(ColorToRGB(points.front().Couleur));
    const Integer r = (pie.Right - pie.Left) * 7 / 20;
    HDC dc = ::GetDC(nullptr);
    for (const POINT d : {POINT{-r, 8}, POINT{r, 8}, POINT{8, -r}, POINT{8, r}}) {
      const COLORREF vu = ::GetPixel(dc, ecran.Left + centreX + d.x, ecran.Top + centreY + d.y);
      const int ecart = std::abs(int(GetRValue(vu)) - int(GetRValue(attendu))) +
                        std::abs(int(GetGValue(vu)) - int(GetGValue(attendu))) +
                        std::abs(int(GetBValue(vu)) - int(GetBValue(attendu)));
      EXPECT_LT(ecart, 60) << std::hex << "screen 0x" << vu << " at " << std::dec << d.x << "," << d.y
                           << " from the pie's centre, slice 0x" << std::hex << attendu;
    }
    ::ReleaseDC(nullptr, dc);
  }

  TTailles Tailles() {
    return {Main->pClient->ClientWidth(),
            Main->pClient->ClientHeight(),
            Main->pGauche->Width(),
            Main->listeFichiers->Height(),
            Main->meLog->Height(),
            Main->pClient->ClientWidth() - Main->pGauche->Width() - Main->splitGauche->Width()};
  }
};

TEST_F(FenetreAgrandieTest, MaximizedTheListsAndTheLogGrowWithTheWindow) {
  for (const char16_t* langue : {u"-FR", u"-US"}) {
    SCOPED_TRACE(U8(langue));
    FtpServer server;
    server.Start();
    ArbreDePetitsDossiers(server.Root());
    Demarre(Params(server, {langue}));
    ASSERT_TRUE(AttendScan()) << U8(Panneau(3));
    PumpMessagesFor(200);
    const TTailles avant = Tailles();
    // The form's own shares at its own size.
    EXPECT_NEAR(avant.Gauche, 426, 1);
    EXPECT_NEAR(avant.Fichiers, 100, 1);
    EXPECT_NEAR(avant.Log, 46, 1);

    Main->SetWindowState(wsMaximized);
    PumpMessagesFor(500);
    const TTailles apres = Tailles();
    ASSERT_GT(apres.Client, avant.Client * 3 / 2) << "the window did not grow";
    ASSERT_GT(apres.ClientH, avant.ClientH * 5 / 4);
    // Every pane grows in the proportion of the window: the same shares.
    EXPECT_NEAR(static_cast<double>(apres.Gauche) / apres.Client, static_cast<double>(avant.Gauche) / avant.Client,
                0.01);
    EXPECT_NEAR(static_cast<double>(apres.Log) / apres.ClientH, static_cast<double>(avant.Log) / avant.ClientH, 0.01);
    EXPECT_GT(apres.Fichiers, avant.Fichiers * 5 / 4);
    EXPECT_GT(apres.Log, avant.Log * 5 / 4);
    // The folder tree grows with the left panel.
    EXPECT_GT(Main->listeDossier->Height(), 300);
    // The pie no longer takes most of the screen: it fits the chart.
    EXPECT_LT(apres.Graphique, apres.Client / 2);
    EXPECT_LE(TaillePieGraphique(Main->zolChart), apres.Graphique - 20);
    VerifiePieDansGraphique();
    CaptureEcran(Main, DossierCaptures(), std::string("main_maximized_") + (langue[1] == u'F' ? "fr" : "en"));

    // Back to the form's size: the form's sizes again.
    Main->SetWindowState(wsNormal);
    PumpMessagesFor(500);
    const TTailles retour = Tailles();
    EXPECT_NEAR(retour.Gauche, avant.Gauche, 1);
    EXPECT_NEAR(retour.Fichiers, avant.Fichiers, 1);
    EXPECT_NEAR(retour.Log, avant.Log, 1);

    // A splitter moved by the user: its pane keeps the new share.
    Main->pGauche->SetWidth(300);
    Main->splitGauche->OnMoved(Main->splitGauche);
    Main->SetWindowState(wsMaximized);
    PumpMessagesFor(500);
    EXPECT_NEAR(static_cast<double>(Main->pGauche->Width()) / Main->pClient->ClientWidth(), 300.0 / avant.Client, 0.01);
    Ferme();
    server.Stop();
  }
}

// The pie of that tree, every folder its own slice: the value texts drawn
// never overlap and each lies in the pie; texts of thin slices are left
// out while the legend keeps every share; no slice shows "0.00%"; no two
// neighbouring slices share a colour.
TEST_F(FenetreAgrandieTest, PieValueTextsNeverOverlapAndNeighboursDiffer) {
  FtpServer server;
  server.Start();
  ArbreDePetitsDossiers(server.Root());
  Demarre(Params(server, {u"-US"}));
  ASSERT_TRUE(AttendScan()) << U8(Panneau(3));
  Main->SetWindowState(wsMaximized);
  PumpMessagesFor(300);
  // 3 Mio allowed: the free space is a slice of the size of the folders.
  Main->cbUnite->SetItemIndex(0);
  Main->SetDispo(3);
  Main->seDispoChange(nullptr);
  Main->miGrouperClick(nullptr);
  ASSERT_FALSE(Main->miGrouper->Checked());
  RedessineGraphique(Main->zolChart);
  PumpMessagesFor(300);

  const std::vector<TPointGraphique> points = PointsGraphique(Main->zolChart);
  ASSERT_GE(points.size(), 27u) << "free space, files, 2 large and 24 small folders";
  double somme = 0;
  for (const TPointGraphique& p : points) somme += p.Valeur;
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_GE(points[i].Valeur / somme * 100, 0.005) << U8(points[i].Legende) << " shows 0.00%";
    EXPECT_NE(points[i].Couleur, points[(i + 1) % points.size()].Couleur) << i;
  }
  const std::vector<TRect> textes = TextesValeursGraphique(Main->zolChart);
  ASSERT_EQ(textes.size(), points.size());
  std::size_t montres = 0;
  for (std::size_t i = 0; i < textes.size(); ++i) {
    if (textes[i].IsEmpty()) continue;
    ++montres;
    for (std::size_t j = i + 1; j < textes.size(); ++j) {
      const TRect& a = textes[i];
      const TRect& b = textes[j];
      EXPECT_FALSE(!b.IsEmpty() && a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom)
          << "texts of slices " << i << " and " << j << " overlap";
    }
  }
  EXPECT_GE(montres, 3u) << "the large slices keep their texts";
  EXPECT_LT(montres, points.size()) << "thin slices' texts are left out";
  CaptureEcran(Main, DossierCaptures(), "pie_small_folders");
}

}  // namespace
