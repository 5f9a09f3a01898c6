#include "chart/model/ChartHelpers.h"

#include <cmath>
#include <limits>

Integer RoundI(double X) {
  if (std::isnan(X)) return 0;
  if (X >= 2147483647.0) return std::numeric_limits<Integer>::max();
  if (X <= -2147483648.0) return std::numeric_limits<Integer>::min();
  return static_cast<Integer>(std::nearbyint(X));
}

void BoxAlignOffset(Integer& X, Integer& Y, Integer ContainerWidth, Integer ContainerHeight, Integer ItemWidth,
                    Integer ItemHeight, TChartLegendAlignment Alignment) {
  Integer DX = ContainerWidth - ItemWidth, DY = ContainerHeight - ItemHeight;
  X = 0;
  Y = 0;
  switch (Alignment) {
    case laTopLeft:
      break;
    case laTopRight:
      X = DX;
      break;
    case laTopCenter:
      X = DX / 2;
      break;
    case laCenterLeft:
      Y = DY / 2;
      break;
    case laCenterRight:
      X = DX;
      Y = DY / 2;
      break;
    case laCenterCenter:
      X = DX / 2;
      Y = DY / 2;
      break;
    case laBottomLeft:
      Y = DY;
      break;
    case laBottomRight:
      X = DX;
      Y = DY;
      break;
    case laBottomCenter:
      X = DX / 2;
      Y = DY;
      break;
    default:
      break;
  }
}

double SafeLog10(double X) { return X == 0 ? 0.0 : std::log10(std::fabs(X)); }

// The value rounded to a double: the x87 unit of 32-bit builds keeps more
// precision in registers, and the step thresholds depend on the double.
static double StoredDouble(double V) {
  volatile double Stored = V;
  return Stored;
}

double NiceAxisStep(Integer Count, double Min, double Max) {
  double D = StoredDouble(Max - Min);
  if (!std::isfinite(D) || D <= 0 || Count < 1) return 0;
  int N = 0;
  while (std::fabs(D) < 1) {
    D = StoredDouble(D * 10);
    ++N;
  }
  while (std::fabs(D) > 10) {
    D = StoredDouble(D / 10);
    --N;
  }
  double G = StoredDouble(D / Count);
  // The thresholds are the exact decimals 0.1 and 0.2: the doubles written
  // 0.1 and 0.2 lie just above them, so "above the exact value" is ">=".
  double F;
  if (G < 0.1)
    F = 0.1;
  else if (G < 0.2)
    F = 0.2;
  else if (G <= 0.5)
    F = 0.5;
  else
    F = 1;
  for (int I = 0; I < N; ++I) F /= 10;
  for (int I = 0; I < -N; ++I) F *= 10;
  return F;
}

void RGBtoHSV(double R, double G, double B, double& H, double& S, double& V) {
  V = std::max(R, std::max(G, B));
  double Delta = V - std::min(R, std::min(G, B));
  S = V == 0 ? 0 : Delta / V;
  if (S == 0) {
    H = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  if (R == V)
    H = (G - B) * 60 / Delta;
  else if (G == V)
    H = (B - R) * 60 / Delta + 120;
  else
    H = (R - G) * 60 / Delta + 240;
  if (H < 0) H += 360;
}

void HSVtoRGB(double H, double S, double V, double& R, double& G, double& B) {
  if (S == 0) {
    if (std::isnan(H)) {
      R = G = B = V;
      return;
    }
    throw EColorError(u"HSVtoRGB: S = 0 and H has a value");
  }
  double Hh = H == 360 ? 0 : H;
  Hh /= 60;
  int I = static_cast<int>(std::trunc(Hh));
  double F = Hh - I;
  double P = V * (1 - S), Q = V * (1 - S * F), T = V * (1 - S * (1 - F));
  switch (I) {
    case 0:
      R = V;
      G = T;
      B = P;
      break;
    case 1:
      R = Q;
      G = V;
      B = P;
      break;
    case 2:
      R = P;
      G = V;
      B = T;
      break;
    case 3:
      R = P;
      G = Q;
      B = V;
      break;
    case 4:
      R = T;
      G = P;
      B = V;
      break;
    case 5:
      R = V;
      G = P;
      B = Q;
      break;
    default:
      break;
  }
}

TColor ScaleColorValue(TColor Color, double Factor) {
  double R = Color & 0xFF, G = (Color >> 8) & 0xFF, B = (Color >> 16) & 0xFF, H, S, V;
  RGBtoHSV(R, G, B, H, S, V);
  V *= Factor;
  HSVtoRGB(H, S, V, R, G, B);
  return RoundI(R) + RoundI(G) * 256 + RoundI(B) * 65536;
}

TColor DarkenColor(TColor Color, bool Darken) {
  if (!Darken) return Color;
  return ScaleColorValue(Color, 0.8);
}

TColor ChartColorToRGB(TColor Color) {
  if (!IsSystemColor(Color)) return Color;
  // The platform's default scheme; a view that knows the live scheme resolves
  // system colours before they reach here.
  static const TColor Table[31] = {0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
                                   0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
                                   0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
                                   0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};
  int Index = SysColorIndex(Color);
  return Index < 31 ? Table[Index] : 0;
}

void DrawArrowHead(TChartCanvas& Canvas, TColor Color, Integer Size, TPoint FromPt, TPoint ToPt, double ScaleX,
                   double ScaleY) {
  Integer HX = RoundI(Size * ScaleX), HY = RoundI(Size * ScaleY);
  Integer DX = ToPt.X - FromPt.X, DY = ToPt.Y - FromPt.Y;
  Integer Len = RoundI(std::sqrt(static_cast<double>(DX) * DX + static_cast<double>(DY) * DY));
  if (Len == 0) Len = 1;
  TPoint C{ToPt.X - DX * HX / Len, ToPt.Y - DY * HY / Len};
  Integer U = (HX / 2) * DY / Len, V = (HY / 2) * DX / Len;
  TPoint W1{C.X + U, C.Y - V}, W2{C.X - U, C.Y + V};
  if (Color == clNone)
    Canvas.Brush.SetStyle(bsClear);
  else
    Canvas.Brush.SetColor(Color);
  TPoint Pts[4] = {ToPt, W1, C, W2};
  Canvas.Polygon(Pts);
}

void FillChartShape(TChartCanvas& Canvas, TColor Color, TColor ColorTo, Integer GradientSteps, TRect R,
                    TChartGradientDirection GradientDirection, bool Border, TColor BorderColor, Integer BorderWidth,
                    TChartShape Shape, Integer Rounding, Integer Sides, bool Horizontal, bool SidesOnly) {
  const TChartPen SavedPen = Canvas.Pen;
  const TChartBrush SavedBrush = Canvas.Brush;
  Integer Steps = (GradientSteps == 0 || GradientSteps == 20 || GradientSteps < 0) ? 1 : GradientSteps;
  TColor C1 = ChartColorToRGB(Color), C2 = ChartColorToRGB(ColorTo);
  if (C2 == clNone) C2 = C1;
  TRect N = R;
  if (N.Left > N.Right) std::swap(N.Left, N.Right);
  if (N.Top > N.Bottom) std::swap(N.Top, N.Bottom);
  double R1 = C1 & 0xFF, G1 = (C1 >> 8) & 0xFF, B1 = (C1 >> 16) & 0xFF;
  double IR = ((C2 & 0xFF) - R1) / Steps, IG = (((C2 >> 8) & 0xFF) - G1) / Steps,
         IB = (((C2 >> 16) & 0xFF) - B1) / Steps;
  double Band = GradientDirection == cgdHorizontal ? double(N.Right - N.Left - BorderWidth - 1) / Steps
                                                   : double(N.Bottom - N.Top - BorderWidth - 1) / Steps;
  if (C1 != clNone) {
    Canvas.Pen.Style = psSolid;
    for (Integer I = 0; I < Steps; ++I) {
      auto Channel = [](double Base, double Inc, Integer I) {
        return std::clamp(RoundI(Base + std::nearbyint(I * Inc)), 0, 255);
      };
      TColor C = RGBToColor(Byte(Channel(R1, IR, I)), Byte(Channel(G1, IG, I)), Byte(Channel(B1, IB, I)));
      Canvas.Pen.Color = C;
      Canvas.Brush.SetColor(C);
      Integer Offset = RoundI(I * Band);
      if (GradientDirection == cgdHorizontal)
        Canvas.Rectangle({N.Left + Offset, N.Top, N.Left + Offset + RoundI(Band) + 2, N.Bottom});
      else
        Canvas.Rectangle({N.Left, N.Top + Offset, N.Right, N.Top + Offset + RoundI(Band) + 2});
    }
  }
  if (Border && BorderWidth > 0) {
    TColor BC = BorderColor == clNone ? C1 : BorderColor;
    Canvas.Brush.SetStyle(bsClear);
    Canvas.Pen.Color = BC;
    Canvas.Pen.Width = BorderWidth;
    Canvas.Pen.Style = BC == clNone ? psClear : psSolid;
    if (Shape == csEllipse)
      Canvas.Ellipse(R);
    else if (Shape == csRoundRect)
      Canvas.RoundRect(R, Rounding, Rounding);
    else if (!SidesOnly)
      Canvas.Rectangle(R);
    else {
      TRect S = R;
      if (!Horizontal) {
        if (S.Top > S.Bottom)
          --S.Top;
        else
          --S.Bottom;
        --S.Right;
      } else {
        if (S.Left > S.Right)
          --S.Left;
        else
          --S.Right;
        --S.Bottom;
      }
      if (Sides & sdLeft) Canvas.Line(S.Left, S.Top, S.Left, S.Bottom);
      if (Sides & sdTop) Canvas.Line(S.Left, S.Top, S.Right, S.Top);
      if (Sides & sdRight) Canvas.Line(S.Right, S.Top, S.Right, S.Bottom);
      if (Sides & sdBottom) Canvas.Line(S.Left, S.Bottom, S.Right, S.Bottom);
    }
  }
  Canvas.Pen = SavedPen;
  Canvas.Brush = SavedBrush;
}
