// The control's printing: the tree (with its header on top) cut into
// printer pages, each painted in bands of bounded size and stretched onto
// the page, so that text shows at the printer's size for the tree's font.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "rtl/ScopeExit.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/Printers.h"

namespace {

// The most pixels one band bitmap holds (16 MB at 32 bits): a tall page is
// painted and sent in several bands.
constexpr Integer MaxBandPixels = 4 * 1024 * 1024;

// Pieces of Size pixels needed to cover Total pixels; at least one.
Integer PieceCount(Integer Total, Integer Size) {
  if (Total <= 0) return 1;
  return static_cast<Integer>((static_cast<int64_t>(Total) + Size - 1) / Size);
}

}  // namespace

void StretchDrawBitmapDIB(TCanvas* Canvas, const TRect& DestRect, TBitmap* Bitmap) {
  if (!Canvas || !Bitmap || Bitmap->Width() <= 0 || Bitmap->Height() <= 0) return;
  // The bitmap's device-independent form: 32-bit rows, bottom-up.
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = Bitmap->Width();
  Info.bmiHeader.biHeight = Bitmap->Height();
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> Bits(static_cast<size_t>(Bitmap->Width()) * static_cast<size_t>(Bitmap->Height()));
  HDC DC = Canvas->Handle();
  {
    TWindowDC Screen(nullptr);
    if (GetDIBits(Screen.Get(), Bitmap->Handle(), 0, static_cast<UINT>(Bitmap->Height()), Bits.data(), &Info,
                  DIB_RGB_COLORS) == 0)
      return;
  }
  SetStretchBltMode(DC, HALFTONE);
  SetBrushOrgEx(DC, 0, 0, nullptr);
  StretchDIBits(DC, DestRect.Left, DestRect.Top, DestRect.Width(), DestRect.Height(), 0, 0, Bitmap->Width(),
                Bitmap->Height(), Bits.data(), &Info, DIB_RGB_COLORS, SRCCOPY);
}

void TVastTreeControl::PaintPrintPage(TBitmap& Page, const TPoint& Origin, Integer HeaderHeight) {
  TCanvas* C = Page.Canvas();
  C->Brush()->SetColor(clWhite);
  C->FillRect(TRect{0, 0, Page.Width(), Page.Height()});
  if (Origin.Y < HeaderHeight) {
    // The header strip as wide as the tree, at its place on this page.
    const TRect R{-Origin.X, -Origin.Y, -Origin.X + std::max(GetTreeRect().Width(), Header().Columns().TotalWidth()),
                  -Origin.Y + HeaderHeight};
    FHeaderCanvasOrigin = TPoint{R.Left, R.Top};
    TScopeExit Reset([this] { FHeaderCanvasOrigin = TPoint{}; });
    PaintHeaderStrip(C, R, 0);
  }
  const TRect Tree = GetTreeRect();
  const Integer Top = std::max(Origin.Y, HeaderHeight) - HeaderHeight;
  const Integer Bottom = std::min(Origin.Y + Page.Height() - HeaderHeight, Tree.Height());
  const Integer Right = std::min(Origin.X + Page.Width(), Tree.Width());
  if (Top >= Bottom || Origin.X >= Right) return;
  const TRect Window{Origin.X, Top, Right, Bottom};
  PaintTree(C, Window, TPoint{0, Top + HeaderHeight - Origin.Y}, TVTInternalPaintOptions{poGridLines});
}

void TVastTreeControl::Print(TPrinter* Printer, bool PrintHeader) {
  if (!Printer) return;
  BeginUpdate();
  TScopeExit EndTheUpdate([this] { EndUpdate(); });

  // The font and the colour come back on every path, a failure included.
  TFont SavedFont;
  SavedFont.Assign(Font());
  const TColor SavedColor = TControl::Color();
  TScopeExit Restore([&] {
    FHeaderFontQuality = fqDefault;
    TControl::SetColor(SavedColor);
    SetFont(&SavedFont);
  });
  TFont Antialiased;
  Antialiased.Assign(Font());
  Antialiased.SetQuality(fqAntialiased);
  SetFont(&Antialiased);
  TControl::SetColor(clWhite);
  FHeaderFontQuality = fqAntialiased;

  const TRect Tree = GetTreeRect();
  const bool WithHeader = PrintHeader && Header().Options().Contains(hoVisible);
  const Integer HeaderHeight = WithHeader ? Header().Height() : 0;
  const Integer PictureWidth = std::max(Tree.Width(), 1);
  const Integer PictureHeight = std::max(Tree.Height() + HeaderHeight, 1);

  Printer->BeginDoc();
  TScopeExit AbortOnFailure([Printer] {
    if (Printer->Printing()) Printer->Abort();
  });
  // The printer's font is the tree's at the printer's resolution: the ratio
  // of the two text heights is the scale of the print.
  TFont* PrinterFont = Printer->Canvas()->Font();
  PrinterFont->SetPixelsPerInch(Printer->PixelsPerInch());
  PrinterFont->Assign(Font());
  const Integer ScreenText = TextHeight(u"Tj");
  const Integer PrinterText = Printer->Canvas()->TextHeight(u"Tj");
  const double Scale = ScreenText > 0 && PrinterText > 0 ? static_cast<double>(PrinterText) / ScreenText : 1.0;
  const Integer DeviceWidth = Printer->PageWidth(), DeviceHeight = Printer->PageHeight();
  const Integer PageWidth = std::max<Integer>(1, static_cast<Integer>(std::nearbyint(DeviceWidth / Scale)));
  const Integer PageHeight = std::max<Integer>(1, static_cast<Integer>(std::nearbyint(DeviceHeight / Scale)));
  // Pages cover the picture: a picture exactly so many pages high or wide
  // takes no blank page after them.
  const Integer Across = PieceCount(PictureWidth, PageWidth);
  const Integer Down = PieceCount(PictureHeight, PageHeight);
  const Integer BandHeight = std::clamp(MaxBandPixels / PageWidth, 1, PageHeight);
  const Integer DestHeight = DeviceHeight - 1;
  TBitmap Band(PageWidth, BandHeight);
  Band.SetPixelFormat(pf32bit);
  for (Integer Row = 0; Row < Down; ++Row)
    for (Integer Column = 0; Column < Across; ++Column) {
      if (Row > 0 || Column > 0) Printer->NewPage();
      for (Integer BandTop = 0; BandTop < PageHeight; BandTop += BandHeight) {
        const Integer Rows = std::min(BandHeight, PageHeight - BandTop);
        if (Band.Height() != Rows) Band.SetSize(PageWidth, Rows);
        PaintPrintPage(Band, TPoint{Column * PageWidth, Row * PageHeight + BandTop}, HeaderHeight);
        const auto DestY = [&](Integer Y) {
          return static_cast<Integer>(static_cast<int64_t>(Y) * DestHeight / PageHeight);
        };
        StretchDrawBitmapDIB(Printer->Canvas(), TRect{0, DestY(BandTop), DeviceWidth, DestY(BandTop + Rows)}, &Band);
      }
    }
  Printer->EndDoc();
}
