#pragma once
// A canvas that records what is drawn on it, with fixed text metrics
// (7 x 13 pixels a character) and fixed values for the system colours, so
// drawing code can be checked call by call without a screen.
#include <ostream>
#include <vector>

#include "controls/ControlCanvas.h"

struct TCanvasOp {
  enum TKind { opRectangle, opRoundRect, opFillRect, opText } Kind = opRectangle;
  TRect R;
  TColor Pen = clBlack;
  TColor Brush = clWhite;
  bool BrushClear = false;
  String Text;
  TPoint At;
  TControlFont Font;
};

class TRecordingCanvas : public IControlCanvas {
public:
  // A system colour becomes 0x0A0B00 + its index, so tests can tell that it
  // was resolved.
  TColor ColorToRGB(TColor Color) override { return IsSystemColor(Color) ? 0x0A0B00 + SysColorIndex(Color) : Color; }
  void SetPenColor(TColor Color) override { FPen = Color; }
  void SetBrushColor(TColor Color) override {
    FBrush = Color;
    FBrushClear = false;
  }
  void SetBrushClear() override { FBrushClear = true; }
  void Rectangle(const TRect& R) override { Add(TCanvasOp::opRectangle, R); }
  void RoundRect(const TRect& R, Integer, Integer) override { Add(TCanvasOp::opRoundRect, R); }
  void FillRect(const TRect& R) override { Add(TCanvasOp::opFillRect, R); }
  void SetFont(const TControlFont& Font) override { FFont = Font; }
  TSize TextExtent(const String& Text) override { return {static_cast<Integer>(Text.size()) * 7, 13}; }
  void TextOut(Integer X, Integer Y, const String& Text) override {
    TCanvasOp op = Make(TCanvasOp::opText, {});
    op.Text = Text;
    op.At = {X, Y};
    Ops.push_back(op);
  }

  // The shapes drawn (no text), in order.
  std::vector<TCanvasOp> Shapes() const {
    std::vector<TCanvasOp> out;
    for (const TCanvasOp& op : Ops)
      if (op.Kind != TCanvasOp::opText) out.push_back(op);
    return out;
  }
  // The shapes filled with Color.
  std::vector<TRect> RectsIn(TColor Color) const {
    std::vector<TRect> out;
    for (const TCanvasOp& op : Ops)
      if (op.Kind != TCanvasOp::opText && !op.BrushClear && op.Brush == Color) out.push_back(op.R);
    return out;
  }
  const TCanvasOp* LastText() const {
    for (auto it = Ops.rbegin(); it != Ops.rend(); ++it)
      if (it->Kind == TCanvasOp::opText) return &*it;
    return nullptr;
  }

  std::vector<TCanvasOp> Ops;

private:
  TCanvasOp Make(TCanvasOp::TKind Kind, const TRect& R) const {
    TCanvasOp op;
    op.Kind = Kind;
    op.R = R;
    op.Pen = FPen;
    op.Brush = FBrush;
    op.BrushClear = FBrushClear;
    op.Font = FFont;
    return op;
  }
  void Add(TCanvasOp::TKind Kind, const TRect& R) { Ops.push_back(Make(Kind, R)); }

  TColor FPen = clBlack;
  TColor FBrush = clWhite;
  bool FBrushClear = false;
  TControlFont FFont;
};

inline std::ostream& operator<<(std::ostream& Out, const TRect& R) {
  return Out << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
}
