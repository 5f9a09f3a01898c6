#include "app/ImagesApp.h"

#include <vector>

#include "rtl/UpdateGuard.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"

namespace {

constexpr TColor Fond = clFuchsia;  // transparent

TColor Rgb(int R, int G, int B) { return RGBToColor(static_cast<Byte>(R), static_cast<Byte>(G), static_cast<Byte>(B)); }

void Trait(TCanvas* C, TColor Couleur, Integer Epaisseur, std::vector<TPoint> Points) {
  C->Pen()->SetColor(Couleur);
  C->Pen()->SetWidth(Epaisseur);
  C->Polyline(Points);
  C->Pen()->SetWidth(1);
}

void Lettre(TCanvas* C, const String& Texte, TColor Couleur, Integer Taille, Integer X, Integer Y) {
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetName(u"Tahoma");
  C->Font()->SetHeight(-Taille);
  C->Font()->SetStyle(TFontStyles{fsBold});
  C->Font()->SetColor(Couleur);
  C->TextOut(X, Y, Texte);
  C->Brush()->SetStyle(bsSolid);
}

void Disque(TCanvas* C, TColor Fill, TColor Bord) {
  C->Brush()->SetColor(Fill);
  C->Pen()->SetColor(Bord);
  C->Ellipse(1, 1, 15, 15);
}

void Dessine(int Index, TCanvas* C) {
  switch (Index) {
    case 0: {  // folder
      C->Pen()->SetColor(Rgb(176, 128, 24));
      C->Brush()->SetColor(Rgb(240, 200, 80));
      C->Polygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}});
      C->Brush()->SetColor(Rgb(255, 222, 120));
      C->Polygon({{1, 13}, {3, 7}, {15, 7}, {14, 13}});
      break;
    }
    case 1: {  // file
      C->Pen()->SetColor(Rgb(110, 110, 110));
      C->Brush()->SetColor(clWhite);
      C->Polygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}});
      C->Polyline({{10, 1}, {10, 4}, {13, 4}});
      C->Pen()->SetColor(Rgb(150, 170, 200));
      for (Integer y = 6; y <= 12; y += 2) {
        C->MoveTo(5, y);
        C->LineTo(11, y);
      }
      break;
    }
    case 2:  // delete
      Trait(C, Rgb(200, 30, 30), 3, {{3, 3}, {13, 13}});
      Trait(C, Rgb(200, 30, 30), 3, {{13, 3}, {3, 13}});
      break;
    case 3: {  // site manager: two servers
      for (Integer y : {1, 8}) {
        C->Pen()->SetColor(Rgb(40, 60, 110));
        C->Brush()->SetColor(Rgb(90, 130, 200));
        C->Rectangle(2, y, 14, y + 6);
        C->Brush()->SetColor(Rgb(120, 230, 120));
        C->Pen()->SetColor(Rgb(120, 230, 120));
        C->Rectangle(4, y + 2, 6, y + 4);
      }
      break;
    }
    case 4: {  // site: a globe
      Disque(C, Rgb(110, 170, 230), Rgb(30, 80, 150));
      C->Pen()->SetColor(Rgb(30, 80, 150));
      C->Brush()->SetStyle(bsClear);
      C->Ellipse(5, 1, 11, 15);
      C->MoveTo(1, 8);
      C->LineTo(15, 8);
      C->MoveTo(8, 1);
      C->LineTo(8, 15);
      C->Brush()->SetStyle(bsSolid);
      break;
    }
    case 5: {  // FileZilla
      C->Pen()->SetColor(Rgb(150, 0, 0));
      C->Brush()->SetColor(Rgb(200, 20, 20));
      C->RoundRect(0, 0, 16, 16, 5, 5);
      Trait(C, clWhite, 2, {{4, 4}, {12, 4}, {4, 12}, {12, 12}});
      break;
    }
    case 6: {  // quit: a door and an arrow
      C->Pen()->SetColor(Rgb(90, 60, 30));
      C->Brush()->SetColor(Rgb(160, 110, 60));
      C->Rectangle(2, 1, 9, 15);
      Trait(C, Rgb(20, 140, 40), 2, {{7, 8}, {14, 8}});
      Trait(C, Rgb(20, 140, 40), 2, {{11, 5}, {14, 8}, {11, 11}});
      break;
    }
    case 7:  // connect
      Disque(C, Rgb(40, 170, 60), Rgb(20, 100, 30));
      Trait(C, clWhite, 2, {{4, 8}, {11, 8}});
      Trait(C, clWhite, 2, {{8, 5}, {11, 8}, {8, 11}});
      break;
    case 8:  // disconnect
      Disque(C, Rgb(210, 50, 40), Rgb(130, 20, 20));
      Trait(C, clWhite, 2, {{4, 8}, {12, 8}});
      break;
    case 9:  // about
      Disque(C, Rgb(50, 110, 200), Rgb(20, 60, 130));
      Lettre(C, u"i", clWhite, 12, 6, 1);
      break;
    case 10: {  // update check: a circular arrow
      C->Pen()->SetColor(Rgb(30, 140, 60));
      C->Pen()->SetWidth(2);
      C->Brush()->SetStyle(bsClear);
      // Counter-clockwise from the top round to the right: most of a circle.
      C->Arc(2, 2, 14, 14, 8, 2, 14, 4);
      C->Brush()->SetStyle(bsSolid);
      C->Pen()->SetWidth(1);
      C->Brush()->SetColor(Rgb(30, 140, 60));
      C->Polygon({{10, 1}, {15, 5}, {10, 7}});
      break;
    }
    case 11: {  // contact: an envelope
      C->Pen()->SetColor(Rgb(90, 90, 90));
      C->Brush()->SetColor(Rgb(250, 245, 225));
      C->Rectangle(1, 3, 15, 13);
      C->Polyline({{1, 3}, {8, 9}, {15, 3}});
      break;
    }
    case 12: {  // options: a gear
      C->Pen()->SetColor(Rgb(70, 70, 80));
      C->Brush()->SetColor(Rgb(140, 140, 155));
      C->Rectangle(6, 0, 10, 16);
      C->Rectangle(0, 6, 16, 10);
      C->Polygon({{2, 4}, {4, 2}, {14, 12}, {12, 14}});
      C->Polygon({{12, 2}, {14, 4}, {4, 14}, {2, 12}});
      C->Ellipse(2, 2, 14, 14);
      C->Brush()->SetColor(Fond);
      C->Ellipse(5, 5, 11, 11);
      break;
    }
    case 13: {  // rename: a pencil
      C->Pen()->SetColor(Rgb(120, 90, 10));
      C->Brush()->SetColor(Rgb(250, 200, 50));
      C->Polygon({{3, 11}, {11, 3}, {13, 5}, {5, 13}});
      C->Brush()->SetColor(Rgb(60, 60, 60));
      C->Polygon({{3, 11}, {5, 13}, {1, 15}});
      C->Brush()->SetColor(Rgb(230, 120, 130));
      C->Polygon({{11, 3}, {12, 2}, {14, 4}, {13, 5}});
      break;
    }
    default:
      break;
  }
}

}  // namespace

void RemplitImages(TCustomImageList* List) {
  const TUpdateGuard<TCustomImageList> update(*List);
  List->Clear();
  for (int i = 0; i < 14; ++i) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(Fond);
    c->FillRect(Rect(0, 0, 16, 16));
    Dessine(i, c);
    List->AddMasked(&b, Fond);
  }
}
