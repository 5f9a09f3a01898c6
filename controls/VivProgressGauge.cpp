#include "controls/VivProgressGauge.h"

#include <algorithm>

#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"

namespace {

Integer RoundInt(double Value) { return static_cast<Integer>(Round(Value)); }

struct TRgb {
  Integer R, G, B;
};

TRgb Channels(TColor Color) { return {Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF}; }

// One piece of the bar in a colour pair: with a gradient, two halves
// across the bar's thickness, tint at the edges and full colour in the
// middle.
void FillPiece(IControlCanvas& Canvas, const TRect& P, TColor Color, TColor ColorTo, const TGaugeSettings& S) {
  if (!S.ShowGradient) {
    GaugeSolidFill(Canvas, P, Color);
    return;
  }
  if (S.Orientation == goVertical) {
    const Integer xm = P.Left + (P.Right - P.Left) / 2;
    GaugeGradientFill(Canvas, ColorTo, Color, S.Steps, Rect(P.Left, P.Top, xm, P.Bottom), true);
    GaugeGradientFill(Canvas, Color, ColorTo, S.Steps, Rect(xm, P.Top, P.Right, P.Bottom), true);
  } else {
    const Integer ym = P.Top + (P.Bottom - P.Top) / 2;
    GaugeGradientFill(Canvas, ColorTo, Color, S.Steps, Rect(P.Left, P.Top, P.Right, ym), false);
    GaugeGradientFill(Canvas, Color, ColorTo, S.Steps, Rect(P.Left, ym, P.Right, P.Bottom), false);
  }
}

// A run of pieces that grows from the start of the bar (left, or bottom
// for a vertical gauge). Offsets count from the frame's left edge, or
// upward from its bottom edge, so a vertical gauge is the mirror image of
// the horizontal one.
class TAlongBar {
public:
  TAlongBar(const TRect& F, bool Vertical) : FF(F), FVertical(Vertical) {}
  // The piece covering offsets [From, To) with Inset pixels kept clear on
  // both sides of the thickness.
  TRect Piece(Integer From, Integer To, Integer Inset) const {
    if (FVertical) return Rect(FF.Left + Inset, FF.Bottom - To, FF.Right - Inset, FF.Bottom - From);
    return Rect(FF.Left + From, FF.Top + Inset, FF.Left + To, FF.Bottom - Inset);
  }

private:
  TRect FF;
  bool FVertical;
};

String GaugeText(const TGaugeSettings& S) {
  if (!S.Format.empty()) {
    try {
      return ::Format(S.Format, {S.Value, S.Max});
    } catch (const EConvertError&) {
      // A format that does not take two integers: the built-in text
      // rather than an error on every paint.
    }
  }
  return S.ShowPercentage ? IntToStr(S.Position) + u"%" : IntToStr(S.Value);
}

}  // namespace

void GaugeSolidFill(IControlCanvas& Canvas, const TRect& Rect, TColor Color) {
  Canvas.SetPenColor(Color);
  Canvas.SetBrushColor(Color);
  Canvas.Rectangle(Rect);
}

void GaugeGradientFill(IControlCanvas& Canvas, TColor FromColor, TColor ToColor, Integer Steps, const TRect& Rect,
                       bool AcrossX) {
  const Integer k = Steps > 0 ? Steps : 1;
  const TRgb from = Channels(Canvas.ColorToRGB(FromColor));
  const TRgb to = Channels(Canvas.ColorToRGB(ToColor));
  const double dr = static_cast<double>(to.R - from.R) / k;
  const double dg = static_cast<double>(to.G - from.G) / k;
  const double db = static_cast<double>(to.B - from.B) / k;
  const double w = static_cast<double>(AcrossX ? Rect.Right - Rect.Left : Rect.Bottom - Rect.Top) / k;
  const Integer extra = static_cast<Integer>(Trunc(w)) + 1;
  for (Integer i = 0; i < k; ++i) {
    const TColor color =
        RGBToColor(static_cast<Byte>(from.R + RoundInt(i * dr)), static_cast<Byte>(from.G + RoundInt(i * dg)),
                   static_cast<Byte>(from.B + RoundInt(i * db)));
    Canvas.SetPenColor(color);
    Canvas.SetBrushColor(color);
    const Integer o = RoundInt(i * w);
    if (AcrossX)
      Canvas.Rectangle(::Rect(Rect.Left + o, Rect.Top, std::min(Rect.Left + o + extra, Rect.Right), Rect.Bottom));
    else
      Canvas.Rectangle(::Rect(Rect.Left, Rect.Top + o, Rect.Right, std::min(Rect.Top + o + extra, Rect.Bottom)));
  }
}

void DrawProgressGauge(IControlCanvas& Canvas, const TRect& Rect, TGaugeSettings S, float Scale) {
  const bool vertical = S.Orientation == goVertical;
  TRect F = Rect;
  const Integer m = RoundInt(2.0f * Scale);
  const Integer n = RoundInt(7.0f * Scale);
  const Integer span = (vertical ? F.Bottom - F.Top : F.Right - F.Left) - 2;
  auto q = [span](Integer X) { return RoundInt(X / 100.0 * span); };

  if (S.Rounded) GaugeSolidFill(Canvas, F, GaugeCornerColor);
  if (S.Infinite) {
    S.Position = 100;
    S.Level1Perc = S.Level2Perc = 101;
  }

  // Frame and background.
  Canvas.SetBrushColor(S.BackgroundColor);
  Canvas.SetPenColor(S.ShowBorder ? S.BorderColor : S.BackgroundColor);
  if (S.Rounded)
    Canvas.RoundRect(F, 6, 6);
  else
    Canvas.Rectangle(F);
  if (!S.ShowBorder) F = ::Rect(F.Left - 1, F.Top - 1, F.Right + 1, F.Bottom + 1);
  const TAlongBar bar(F, vertical);

  // Level background zones; the bar covers them where it reaches.
  if (S.Level0BkColor != clNone || S.Level1BkColor != clNone || S.Level2BkColor != clNone) {
    const Integer j0 = q(S.Level1Perc);
    const Integer j1 = q(S.Level2Perc - S.Level1Perc);
    const Integer j2 = span - (j0 + j1);
    const TColor colors[3] = {S.Level0BkColor, S.Level1BkColor, S.Level2BkColor};
    const TRect zones[3] = {bar.Piece(2, j0, 1), bar.Piece(j0, j0 + j1, 1), bar.Piece(j0 + j1, j0 + j1 + j2, 1)};
    for (int i = 0; i < 3; ++i)
      if (colors[i] != clNone) GaugeSolidFill(Canvas, zones[i], colors[i]);
  }

  if (S.Position > 0) {
    if (S.Stacked) {
      // Level zones one after the other, 1 pixel inside the frame.
      const Integer k0 = q(S.Position < S.Level1Perc ? S.Position : S.Level1Perc);
      FillPiece(Canvas, bar.Piece(1, 1 + k0, 1), S.Level0Color, S.Level0ColorTo, S);
      if (S.Position >= S.Level1Perc) {
        const Integer k1 = q(S.Position < S.Level2Perc ? S.Position - S.Level1Perc : S.Level2Perc - S.Level1Perc);
        FillPiece(Canvas, bar.Piece(1 + k0, 1 + k0 + k1, 1), S.Level1Color, S.Level1ColorTo, S);
        if (S.Position >= S.Level2Perc) {
          // At 100 the last zone takes what rounding left, so the three
          // fill the bar exactly.
          const Integer k2 = S.Position == 100 ? span - (k0 + k1) : q(S.Position - S.Level2Perc);
          FillPiece(Canvas, bar.Piece(1 + k0 + k1, 1 + k0 + k1 + k2, 1), S.Level2Color, S.Level2ColorTo, S);
        }
      }
    } else {
      TColor color = S.Level3Color, colorTo = S.Level3ColorTo;
      if (S.Position < S.Level1Perc) {
        color = S.Level0Color, colorTo = S.Level0ColorTo;
      } else if (S.Position < S.Level2Perc) {
        color = S.Level1Color, colorTo = S.Level1ColorTo;
      } else if (S.Position < 100) {
        color = S.Level2Color, colorTo = S.Level2ColorTo;
      }
      if (S.CompletionSmooth) {
        FillPiece(Canvas, bar.Piece(m, q(S.Position), m), color, colorTo, S);
      } else {
        Canvas.SetBrushColor(S.BackgroundColor);
        const Integer len = RoundInt(static_cast<double>(static_cast<Int64>(S.Position) * span) / 100.0);
        if (len >= 10 && m + n > 0) {
          Integer from = m;
          FillPiece(Canvas, bar.Piece(from, from + n, m), color, colorTo, S);
          const Integer more = len / (m + n) - 1;
          for (Integer i = 0; i < more; ++i) {
            from += n + m;
            FillPiece(Canvas, bar.Piece(from, from + n, m), color, colorTo, S);
          }
          const Integer rem = len % (m + n);
          if (rem >= m) {
            from += n + m;
            TRect piece = bar.Piece(from, from + rem - m, m);
            if (vertical) piece.Top = std::max(F.Top + m, piece.Top);
            FillPiece(Canvas, piece, color, colorTo, S);
          }
          Canvas.SetBrushClear();
        } else if (len >= 2 && len <= 9) {
          FillPiece(Canvas, bar.Piece(m, m + len - 1, m), color, colorTo, S);
        }
      }
    }
  }

  // Infinite mode: cover all of the full bar but a 22-pixel block.
  if (S.Infinite) {
    Canvas.SetPenColor(S.BackgroundColor);
    Canvas.SetBrushColor(S.BackgroundColor);
    if (vertical) {
      const Integer h = F.Bottom - F.Top;
      const Integer p = h > 4 ? RoundInt(S.InfinitePos / 100.0 * (h - 4)) : 0;
      Canvas.Rectangle(::Rect(F.Left + 2, F.Top + 2, F.Right - 2, std::max(F.Top + 2, F.Top + 2 + p - 12)));
      Canvas.Rectangle(
          ::Rect(F.Left + 2, std::min(F.Bottom - 2, F.Bottom - 2 - (h - 4 - p) + 10), F.Right - 2, F.Bottom - 2));
    } else {
      const Integer w = F.Right - F.Left;
      const Integer p = w > 4 ? RoundInt(S.InfinitePos / 100.0 * (w - 4)) : 0;
      Canvas.Rectangle(::Rect(F.Left + 2, F.Top + 1, std::max(F.Left + 2, F.Left + 2 + p - 12), F.Bottom - 1));
      Canvas.Rectangle(
          ::Rect(std::min(F.Right - 2, F.Right - 2 - (w - 4 - p) + 10), F.Top + 2, F.Right - 2, F.Bottom - 2));
    }
  }

  if (S.ShowPosition) {
    Canvas.SetBrushClear();
    const String text = GaugeText(S);
    TControlFont font = S.Font;
    if (vertical) font.Orientation = 900;  // reads upward
    Canvas.SetFont(font);
    const TSize extent = Canvas.TextExtent(text);
    if (vertical)
      Canvas.TextOut(F.Left + (F.Right - F.Left) / 2 - extent.cy / 2, F.Top + (F.Bottom - F.Top) / 2 + extent.cx / 2,
                     text);
    else
      Canvas.TextOut(F.Left + (F.Right - F.Left) / 2 - extent.cx / 2, F.Top + (F.Bottom - F.Top) / 2 - extent.cy / 2,
                     text);
  }
}

Integer GaugePercentage(Integer Position, Integer Min, Integer Max) {
  if (Max == Min) return 0;
  // The share of the range covered, counted from Min: a range of 50..150
  // at 100 is half full.
  return RoundInt(static_cast<double>(static_cast<Int64>(Position) - Min) * 100.0 /
                  static_cast<double>(static_cast<Int64>(Max) - Min));
}

void TGaugePosition::SetMin(Integer Value) {
  FMin = Value;
  FMaxIncrement = static_cast<Integer>((static_cast<Int64>(FMax) - FMin) / 100);
}

void TGaugePosition::SetMax(Integer Value) {
  FMax = Value;
  FMaxIncrement = static_cast<Integer>((static_cast<Int64>(FMax) - FMin) / 100);
}

bool TGaugePosition::SetPosition(Integer Value, bool TextShowsValue) {
  if (Value < FMin)
    Value = FMin;
  else if (Value > FMax)
    Value = FMax;
  const bool valueChanged = Value != FPosition;
  FPosition = Value;
  const Integer p = Percentage();
  bool repaint = FMaxIncrement == 0 || FPosition % FMaxIncrement == 0 || FPosition / FMaxIncrement != FOldBlockPos ||
                 p != FOldPos || (TextShowsValue && valueChanged);
  FOldPos = p;
  if (FMaxIncrement != 0) FOldBlockPos = FPosition / FMaxIncrement;
  return repaint;
}

Integer TGaugePosition::NextUp() const { return FPosition < FMax ? FPosition + 1 : FMin; }

Integer TGaugePosition::NextDown() const { return FPosition > FMin ? FPosition - 1 : FPosition; }

void TGaugeSweep::Step() {
  if (Increasing) {
    Pos += 4;
    if (Pos >= 100) Pos = 100, Increasing = false;
  } else {
    Pos -= 4;
    if (Pos <= 0) Pos = 0, Increasing = true;
  }
}
