#pragma once
// The portable drawing code of the controls on the class library's canvas.
#include "controls/ControlCanvas.h"
#include "vcl/Graphics.h"

class TVclControlCanvas : public IControlCanvas {
public:
  explicit TVclControlCanvas(TCanvas& Canvas) : FCanvas(Canvas) {}
  TColor ColorToRGB(TColor Color) override { return ::ColorToRGB(Color); }
  void SetPenColor(TColor Color) override { FCanvas.Pen()->SetColor(Color); }
  void SetBrushColor(TColor Color) override {
    FCanvas.Brush()->SetStyle(bsSolid);
    FCanvas.Brush()->SetColor(Color);
  }
  void SetBrushClear() override { FCanvas.Brush()->SetStyle(bsClear); }
  void Rectangle(const TRect& R) override { FCanvas.Rectangle(R); }
  void RoundRect(const TRect& R, Integer CornerWidth, Integer CornerHeight) override {
    FCanvas.RoundRect(R.Left, R.Top, R.Right, R.Bottom, CornerWidth, CornerHeight);
  }
  void FillRect(const TRect& R) override { FCanvas.FillRect(R); }
  void SetFont(const TControlFont& Font) override;
  TSize TextExtent(const String& Text) override { return FCanvas.TextExtent(Text); }
  void TextOut(Integer X, Integer Y, const String& Text) override { FCanvas.TextOut(X, Y, Text); }

private:
  TCanvas& FCanvas;  // not owned
};

// A font's values, and back.
TControlFont ControlFontOf(const TFont& Font);
void AssignControlFont(TFont& Dest, const TControlFont& Source);
