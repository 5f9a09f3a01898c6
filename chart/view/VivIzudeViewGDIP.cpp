#include "chart/view/VivIzudeViewGDIP.h"

#include <cmath>
#include <numbers>
#include <vector>

#include <shlwapi.h>

#include "chart/model/ChartHelpers.h"
#include "chart/view/VivIzudeGDIPPaintSupport.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32Handles.h"

namespace {
using namespace gdip_paint;
constexpr double DegToRad = std::numbers::pi / 180.0;

// A GDI+ graphics for measuring only, on a screen-compatible memory DC; both
// are freed at exit, the graphics before its DC.
struct TMeasuring {
  TMemoryDC DC;
  TGPGraphics Graphics{DC.Get()};
};

TGPGraphics& MeasuringGraphics() {
  static TMeasuring Measuring;
  return Measuring.Graphics;
}

const TGDIPChartSeriePie* GDIPPie(const TChartSerie& S) { return dynamic_cast<const TGDIPChartSeriePie*>(&S.Pie()); }
}  // namespace

// ---------------------------------------------------------------- helpers
std::unique_ptr<TGPFont> MakeGDIPFont(const TChartFont& Font) {
  return std::make_unique<TGPFont>(Font.Name(), static_cast<REAL>(Font.Size()), GDIPFontStyle(Font.Style(), false),
                                   UnitPoint);
}

void AddRoundRectToPath(TRoundCorners Corners, TGPGraphicsPath& Path, double X, double Y, double W, double H, double D,
                        double Rad) {
  const Byte C = Corners & 0x7F;
  bool TL, TR, BR, BL;
  switch (C) {
    case rcNone:
      TL = TR = BR = BL = false;
      break;
    case rcTop:
      TL = TR = true, BR = BL = false;
      break;
    case rcBottom:
      TL = TR = false, BR = BL = true;
      break;
    case rcAll:
      TL = TR = BR = BL = true;
      break;
    case rcLeft:
      TL = BL = true, TR = BR = false;
      break;
    case rcRight:
      TR = BR = true, TL = BL = false;
      break;
    default:
      return;
  }
  auto F = [](double V) { return static_cast<REAL>(V); };
  auto Corner = [&](bool Round, double CX, double CY, double AX, double AY, double Start) {
    if (Round)
      Path.AddArc(F(AX), F(AY), F(D), F(D), F(Start), 90);
    else
      Path.AddLine(F(CX), F(CY), F(CX), F(CY));
  };
  Corner(TL, X, Y, X, Y, 180);
  Corner(TR, X + W, Y, X + W - D, Y, 270);
  Corner(BR, X + W, Y + H, X + W - D, Y + H - D, 0);
  Corner(BL, X, Y + H, X, Y + H - D, 90);
  (void)Rad;
}

void AddBalloonToPath(TAnnotationBalloonDirection Dir, TRoundCorners Corners, TGPGraphicsPath& Path, double X, double Y,
                      double W, double H, double D, double Rad, double A) {
  if ((Corners & 0x7F) != rcAll) {
    AddRoundRectToPath(Corners, Path, X, Y, W, H, D, Rad);
    return;
  }
  auto F = [](double V) { return static_cast<REAL>(V); };
  // Clockwise from the top-left corner, the arrow on its edge.
  Path.AddArc(F(X), F(Y), F(D), F(D), 180, 90);
  if (Dir == hdUpLeft) {
    const double L = X + Rad + 10;
    Path.AddLine(F(L), F(Y), F(L), F(Y - A));
    Path.AddLine(F(L), F(Y - A), F(L + A), F(Y));
  } else if (Dir == hdUpRight) {
    const double L = X + W - Rad - 10;
    Path.AddLine(F(L - A), F(Y), F(L), F(Y - A));
    Path.AddLine(F(L), F(Y - A), F(L), F(Y));
  }
  Path.AddArc(F(X + W - D), F(Y), F(D), F(D), 270, 90);
  Path.AddArc(F(X + W - D), F(Y + H - D), F(D), F(D), 0, 90);
  if (Dir == hdDownRight) {
    const double L = X + W - Rad - 10;
    Path.AddLine(F(L), F(Y + H), F(L), F(Y + H + A));
    Path.AddLine(F(L), F(Y + H + A), F(L - A), F(Y + H));
  } else if (Dir == hdDownLeft) {
    const double L = X + Rad + 10;
    Path.AddLine(F(L + A), F(Y + H), F(L), F(Y + H + A));
    Path.AddLine(F(L), F(Y + H + A), F(L), F(Y + H));
  }
  Path.AddArc(F(X), F(Y + H - D), F(D), F(D), 90, 90);
}

std::unique_ptr<TGPGraphicsPath> CreateRoundRectPath(const TGPRectF& R, Integer Rounding, TRoundCorners Corners) {
  auto Path = std::make_unique<TGPGraphicsPath>(FillModeAlternate);
  AddRoundRectToPath(Corners, *Path, R.X, R.Y, R.Width, R.Height, 2.0 * Rounding, Rounding);
  Path->CloseFigure();
  return Path;
}

std::unique_ptr<TGPGraphicsPath> CreateBalloonPath(const TGPRectF& R, TAnnotationBalloonDirection Dir,
                                                   Integer ArrowSize, TRoundCorners Corners, Integer Rounding) {
  auto Path = std::make_unique<TGPGraphicsPath>(FillModeAlternate);
  AddBalloonToPath(Dir, Corners, *Path, R.X, R.Y, R.Width, R.Height, 2.0 * Rounding, Rounding, ArrowSize);
  Path->CloseFigure();
  return Path;
}

String ImageTypeMime(TChartImageType Type) {
  static const Char* const Mime[] = {u"image/png", u"image/bmp", u"image/jpeg", u"image/tiff", u"image/gif"};
  return Type <= itGIF ? String(Mime[Type]) : String();
}

bool GetEncoderClsid(TChartImageType Type, CLSID& Clsid) {
  const String Mime = ImageTypeMime(Type);
  UINT Count = 0, Size = 0;
  if (Mime.empty() || !GdiPlusReady()) return false;
  if (GdiPlus().GdipGetImageEncodersSize(&Count, &Size) != Ok || Count == 0 || Size == 0) return false;
  std::vector<std::byte> Buffer(Size);
  auto* Codecs = reinterpret_cast<ImageCodecInfo*>(Buffer.data());
  if (GdiPlus().GdipGetImageEncoders(Count, Size, Codecs) != Ok) return false;
  for (UINT I = 0; I < Count; ++I)
    if (Codecs[I].MimeType && std::wcscmp(Codecs[I].MimeType, WideCStr(Mime)) == 0) {
      Clsid = Codecs[I].Clsid;
      return true;
    }
  return false;
}

namespace {
// The encoder of Type, or EChartImageError.
CLSID EncoderOf(TChartImageType Type) {
  CLSID Encoder{};
  if (!GetEncoderClsid(Type, Encoder)) {
    const String Mime = ImageTypeMime(Type);
    throw EChartImageError(u"No image encoder is installed for " +
                           (Mime.empty() ? u"image type " + IntToStr(Integer(Type)) : Mime));
  }
  return Encoder;
}

// Encodes Bitmap with Save (a file or a stream) and the quality parameter.
template <class F>
void Encode(HBITMAP Bitmap, TChartImageType Type, Integer Quality, const String& Target, F Save) {
  const CLSID Encoder = EncoderOf(Type);
  TGPBitmap Image(Bitmap, nullptr);
  if (Image.LastResult() != Ok)
    throw EChartImageError(u"GDI+ cannot take the picture for " + Target + u" (status " +
                           IntToStr(Integer(Image.LastResult())) + u")");
  ULONG Q = static_cast<ULONG>(std::clamp<Integer>(Quality, 0, 100));
  EncoderParameters Params{};
  Params.Count = 1;
  // The encoder-quality parameter {1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}.
  Params.Parameter[0].Guid = {0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};
  Params.Parameter[0].NumberOfValues = 1;
  Params.Parameter[0].Type = EncoderParameterValueTypeLong;
  Params.Parameter[0].Value = &Q;
  const Status S = Save(Image, Encoder, Params);
  if (S != Ok) throw EChartImageError(u"GDI+ could not write " + Target + u" (status " + IntToStr(Integer(S)) + u")");
}
}  // namespace

void SaveBitmapToImage(HBITMAP Bitmap, const String& FileName, TChartImageType Type, Integer Quality) {
  Encode(Bitmap, Type, Quality, u"\"" + FileName + u"\"",
         [&](TGPBitmap& I, const CLSID& E, const EncoderParameters& P) { return I.Save(FileName, E, &P); });
}

void SaveBitmapToStream(HBITMAP Bitmap, TStream& Stream, TChartImageType Type, Integer Quality) {
  Encode(Bitmap, Type, Quality, u"the stream", [&](TGPBitmap& I, const CLSID& E, const EncoderParameters& P) {
    const TComPtr<IStream> Mem(SHCreateMemStream(nullptr, 0));
    if (!Mem) return OutOfMemory;
    Status S = I.Save(Mem.Get(), E, &P);
    if (S == Ok) {
      STATSTG Stat{};
      LARGE_INTEGER Zero{};
      if (Mem->Stat(&Stat, STATFLAG_NONAME) == S_OK && Mem->Seek(Zero, STREAM_SEEK_SET, nullptr) == S_OK) {
        TBytes Data(static_cast<std::size_t>(Stat.cbSize.QuadPart));
        ULONG Read = 0;
        if (Data.empty() ||
            (Mem->Read(Data.data(), static_cast<ULONG>(Data.size()), &Read) == S_OK && Read == Data.size()))
          Stream.WriteBuffer(Data.data(), static_cast<Int64>(Data.size()));
        else
          S = Win32Error;
      } else {
        S = Win32Error;
      }
    }
    return S;
  });
}

// ---------------------------------------------------------------- legend
TChartGDIPLegend::TChartGDIPLegend(TVivIzude* AOwner) : TChartLegend(AOwner) {}

void TChartGDIPLegend::Assign(const TObject* Source) {
  TChartLegend::Assign(Source);
  if (auto* S = dynamic_cast<const TChartGDIPLegend*>(Source)) {
    FAngle = S->FAngle;
    FGradientType = S->FGradientType;
    FHatchStyle = S->FHatchStyle;
    FOpacity = S->FOpacity;
    FOpacityTo = S->FOpacityTo;
    FShadow = S->FShadow;
  }
}

void TChartGDIPLegend::Draw(TChartCanvas& Canvas, TRect R, double SX, double SY) {
  if (!FVisible || !FOwner) return;
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartLegend::Draw(Canvas, R, SX, SY);
    return;
  }
  const TRect SR = FOwner->Series().SeriesRectangle();
  Integer OX, OY;
  BoxAlignOffset(OX, OY, SR.Width(), SR.Height(), R.Width(), R.Height(), FAlignment);
  const TRect LR = Bounds(SR.Left + OX, SR.Top + OY, R.Width(), R.Height());
  auto G = std::make_unique<TGPGraphics>(DC);
  const REAL BX = REAL(LR.Left / SX + FLeft), BY = REAL(LR.Top / SY + FTop);
  const REAL BW = REAL(LR.Width() / SX), BH = REAL(LR.Height() / SY);
  if (FShadow) DrawGDIPShadow(*G, {REAL((LR.Left + 4) / SX + FLeft), REAL((LR.Top + 4) / SY + FTop), BW, BH});
  {
    auto Path = CreateRoundRectPath({BX, BY, BW, BH}, FBorderRounding, rcAll);
    TGDIPFillParams P;
    P.Graphics = G.get();
    P.Path = Path.get();
    P.UsePath = true;
    P.R = {BX, BY, BW, BH};
    P.GradientType = FGradientType;
    P.Color = FColor;
    P.ColorTo = FColorTo;
    P.Opacity = FOpacity;
    P.OpacityTo = FOpacityTo;
    P.Hatch = FHatchStyle;
    P.Angle = FAngle;
    P.BorderColor = FBorderColor;
    P.BorderWidth = FBorderWidth;
    FillGDIPShape(P);
  }
  const Integer RS = FRectangleSize, SP = FRectangleSpacing;
  Integer E = 0;
  TChartSeries& Series = FOwner->Series();
  for (Integer I = 0; I < Series.Count(); ++I) {
    TChartSerie& S = Series.Items(I);
    if (S.ChartType() == ctNone || S.SerieType() == stZoomControl || !S.ShowInLegend() || !S.Visible()) continue;
    const TChartType T = S.ChartType();
    const bool LineLike = T == ctLine || T == ctHistogram || T == ctLineHistogram || T == ctError || T == ctArrow ||
                          T == ctDigitalLine || T == ctXYLine || T == ctXYDigitalLine;
    const TColor C1 = LineLike ? S.LineColor() : S.Color(), C2 = LineLike ? S.LineColor() : S.ColorTo();
    const TGPRectF Swatch{REAL(LR.Left / SX + FLeft + SP), REAL(LR.Top / SY + FTop + SP + E * (SP + RS)), REAL(RS),
                          REAL(RS)};
    G->FillRectangle(TGPSolidBrush(MakeARGB(255, 255, 255, 255)), Swatch);
    TGDIPFillParams P = SerieFill(S, *G, C1, C2);
    P.R = Swatch;
    P.BorderColor = S.BorderColor();
    P.BorderStyle = DashStyleSolid;
    FillGDIPShape(P);
    Canvas.Brush.SetStyle(bsClear);
    G.reset();
    const String Text = S.LegendText();
    const Integer X = LR.Left + RoundI(FLeft * SX) + RoundI(2 * SP + RS * SX);
    const Integer Y = LR.Top + SP + RoundI(FTop * SY) + RoundI(E * (SP + RS) * SY) + (RS - Canvas.TextHeight(Text)) / 2;
    Canvas.TextOut(X, Y, Text);
    G = std::make_unique<TGPGraphics>(DC);
    ++E;
  }
}

void TChartGDIPLegend::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  TChartLegend::SaveToFile(Ini, Section);
  Ini.WriteInteger(Section, u"Angle", FAngle);
  Ini.WriteInteger(Section, u"GradientType", FGradientType);
  Ini.WriteInteger(Section, u"HatchStyle", FHatchStyle);
  Ini.WriteInteger(Section, u"Opacity", FOpacity);
  Ini.WriteInteger(Section, u"OpacityTo", FOpacityTo);
  Ini.WriteBool(Section, u"Shadow", FShadow);
}

void TChartGDIPLegend::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  TChartLegend::LoadFromFile(Ini, Section);
  SetAngle(Ini.ReadInteger(Section, u"Angle", FAngle));
  SetGradientType(static_cast<TChartGradientType>(Ini.ReadInteger(Section, u"GradientType", FGradientType)));
  SetHatchStyle(static_cast<HatchStyle>(Ini.ReadInteger(Section, u"HatchStyle", FHatchStyle)));
  SetOpacity(Ini.ReadInteger(Section, u"Opacity", FOpacity));
  SetOpacityTo(Ini.ReadInteger(Section, u"OpacityTo", FOpacityTo));
  SetShadow(Ini.ReadBool(Section, u"Shadow", FShadow));
}

// ---------------------------------------------------------------- background
TChartGDIPBackground::TChartGDIPBackground(TVivIzude* AOwner) : TChartBackground(AOwner) {
  FPicture.OnChange = [this](TObject*) { Changed(); };
}

void TChartGDIPBackground::Assign(const TObject* Source) {
  TChartBackground::Assign(Source);
  if (auto* S = dynamic_cast<const TChartGDIPBackground*>(Source)) {
    FGradientType = S->FGradientType;
    FHatchStyle = S->FHatchStyle;
    FPicture.Assign(S->FPicture);
    FAngle = S->FAngle;
  }
}

void TChartGDIPBackground::Draw(TChartCanvas& Canvas, TRect R, double SX, double SY) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) return;
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  const bool Tiled = PictureVisible() && !FPicture.Empty() && BackGroundPosition() == bpTiled;
  TGDIPFillParams P;
  P.Graphics = &G;
  P.R = {REAL(R.Left / SX), REAL(R.Top / SY), REAL(R.Width() / SX), REAL(R.Height() / SY)};
  P.GradientType = Tiled ? gtTexture : FGradientType;
  P.Color = Color();
  P.ColorTo = ColorTo();
  P.Hatch = FHatchStyle;
  P.Angle = FAngle;
  P.Picture = &FPicture;
  P.BorderColor = clNone;
  FillGDIPShape(P);
  if (!PictureVisible() || FPicture.Empty()) return;
  const Integer PW = FPicture.Width(), PH = FPicture.Height();
  TRect D;
  switch (BackGroundPosition()) {
    case bpTopLeft:
      D = {R.Left, R.Top, R.Left + PW, R.Top + PH};
      break;
    case bpTopRight:
      D = {R.Right - PW, R.Top, R.Right, R.Top + PH};
      break;
    case bpBottomLeft:
      D = {R.Left, R.Bottom - PH, R.Left + PW, R.Bottom};
      break;
    case bpBottomRight:
      D = {R.Right - PW, R.Bottom - PH, R.Right, R.Bottom};
      break;
    case bpStretched:
      D = R;
      break;
    case bpCenter: {
      const Integer L = R.Left + (R.Width() - PW) / 2, T = R.Top + (R.Height() - PH) / 2;
      D = {L, T, L + PW, T + PH};
      break;
    }
    default:
      return;
  }
  FPicture.GDIPDraw(G, D);
}

void TChartGDIPBackground::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  TChartBackground::SaveToFile(Ini, Section);
  Ini.WriteInteger(Section, u"Angle", FAngle);
  Ini.WriteInteger(Section, u"GradientType", FGradientType);
  Ini.WriteInteger(Section, u"HatchStyle", FHatchStyle);
}

void TChartGDIPBackground::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  TChartBackground::LoadFromFile(Ini, Section);
  FAngle = Ini.ReadInteger(Section, u"Angle", FAngle);
  FGradientType = static_cast<TChartGradientType>(Ini.ReadInteger(Section, u"GradientType", FGradientType));
  FHatchStyle = static_cast<HatchStyle>(Ini.ReadInteger(Section, u"HatchStyle", FHatchStyle));
}

// ---------------------------------------------------------------- annotation
void TChartGDIPAnnotation::Assign(const TObject* Source) {
  TChartAnnotation::Assign(Source);
  if (auto* S = dynamic_cast<const TChartGDIPAnnotation*>(Source)) {
    SetAngle(S->FAngle);
    SetGradientType(S->FGradientType);
    SetHatchStyle(S->FHatchStyle);
    SetOpacity(S->FOpacity);
    SetOpacityTo(S->FOpacityTo);
    SetShadow(S->FShadow);
  }
}

void TChartGDIPAnnotation::DrawBalloonGP(TGPGraphics& G, const TGPBrush* B, const TGPPen* P, const TGPRectF& R, double,
                                         double) {
  auto Path = CreateBalloonPath(R, BalloonDirection(), BalloonArrowSize(), rcAll, BorderRounding());
  if (B) G.FillPath(B, Path.get());
  if (P) G.DrawPath(P, Path.get());
}

TPoint TChartGDIPAnnotation::ConnectorStart(const TRect& E, double SX) const {
  const Integer BW = RoundI(BorderWidth() * SX), BR = RoundI(SX * BorderRounding());
  const Integer I = (Shape() == asRectangle || Shape() == asCircle) ? BW : BR / 2 - BW;
  if (OffsetX() < 0 && OffsetY() < 0) return {E.Right - I, E.Bottom - I};
  if (OffsetX() < 0 && OffsetY() > 0) return {E.Right - I, E.Top + I};
  if (OffsetX() > 0 && OffsetY() < 0) return {E.Left + I, E.Bottom - I};
  return {E.Left + I, E.Top + I};
}

void TChartGDIPAnnotation::Draw(TChartCanvas& Canvas, TRect DR, TRect TextR, Integer XM, Integer YM, double SX,
                                double SY) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartAnnotation::Draw(Canvas, DR, TextR, XM, YM, SX, SY);
    return;
  }
  const TRect E{DR.Left - 2, DR.Top - 2, DR.Right + 2, DR.Bottom + 2};
  {
    TGPGraphics G(DC);
    G.SetSmoothingMode(AntiAlias);
    if (FShadow && Shape() != asLine)
      DrawGDIPShadow(G, {REAL(E.Left + 4), REAL(E.Top + 4), REAL(E.Width()), REAL(E.Height())});
    TPoint Start;
    if (Shape() == asLine) {
      TPoint P{};
      if (TChartSerie* S = GetSerie()) {
        S->GetDrawPoint(DisplayIndex(), P);
        const TRect SR = S->Collection() ? S->Collection()->SeriesRectangle() : TRect{};
        Start = {P.X, SR.Bottom};
        XM = P.X;
        YM = SR.Top;
      }
    } else {
      const TGPRectF Q{REAL(E.Left), REAL(E.Top), REAL(E.Width()), REAL(E.Height())};
      const ARGB C1 = MakeGDIPColor(OpacityAlpha(FOpacity), Color());
      const ARGB C2 = ColorTo() == clNone ? C1 : MakeGDIPColor(OpacityAlpha(FOpacityTo), ColorTo());
      TGPRectF GR = Q;
      if (Shape() == asBalloon) {
        const REAL A = REAL(BalloonArrowSize());
        if (BalloonDirection() == hdUpRight || BalloonDirection() == hdUpLeft)
          GR = {Q.X, Q.Y - A, Q.Width, Q.Height + 2 * A};
        else
          GR = {Q.X, Q.Y, Q.Width, Q.Height + A};
      }
      std::unique_ptr<TGPBrush> B;
      switch (FGradientType) {
        case gtSolid:
          B = std::make_unique<TGPSolidBrush>(C1);
          break;
        case gtVertical:
          B = std::make_unique<TGPLinearGradientBrush>(TGPPointF{GR.X, GR.Y}, TGPPointF{GR.X, GR.Y + GR.Height}, C1,
                                                       C2);
          break;
        case gtHorizontal:
          B = std::make_unique<TGPLinearGradientBrush>(TGPPointF{GR.X, GR.Y}, TGPPointF{GR.X + GR.Width, GR.Y}, C1, C2);
          break;
        case gtForwardDiagonal:
          B = std::make_unique<TGPLinearGradientBrush>(TGPPointF{GR.X, GR.Y},
                                                       TGPPointF{GR.X + GR.Width, GR.Y + GR.Height}, C1, C2);
          break;
        case gtBackwardDiagonal:
          B = std::make_unique<TGPLinearGradientBrush>(TGPPointF{GR.X, GR.Y + GR.Height},
                                                       TGPPointF{GR.X + GR.Width, GR.Y}, C2, C1);
          break;
        case gtAngle:
          B = std::make_unique<TGPLinearGradientBrush>(GR, C1, C2, REAL(FAngle), false);
          break;
        case gtHatch:
          B = std::make_unique<TGPHatchBrush>(FHatchStyle, C1, C2);
          break;
        default:
          break;
      }
      std::unique_ptr<TGPPen> P;
      if (BorderColor() != clNone) P = std::make_unique<TGPPen>(MakeGDIPColor(255, BorderColor()), REAL(BorderWidth()));
      switch (Shape()) {
        case asRectangle:
          if (B) G.FillRectangle(*B, Q);
          if (P) G.DrawRectangle(*P, Q);
          break;
        case asCircle:
          if (B) G.FillEllipse(*B, Q);
          if (P) G.DrawEllipse(*P, Q);
          break;
        case asRoundRect: {
          auto Path = CreateRoundRectPath(Q, BorderRounding(), rcAll);
          if (B) G.FillPath(B.get(), Path.get());
          if (P) G.DrawPath(P.get(), Path.get());
          break;
        }
        case asBalloon:
          DrawBalloonGP(G, B.get(), P.get(), Q, SX, SY);
          break;
        default:
          break;
      }
      Start = ConnectorStart(E, SX);
    }
    // A connector without a line colour is not drawn (clNone is no colour).
    if (LineColor() != clNone && LineWidth() > 0) {
      TGPGraphicsPath Path;
      Path.AddLine(REAL(Start.X), REAL(Start.Y), REAL(XM), REAL(YM));
      Path.CloseFigure();
      TGPPen Pen(MakeGDIPColor(255, LineColor()), REAL(LineWidth()));
      G.DrawPath(&Pen, &Path);
    }
    const TPoint Anchor{XM, YM};
    switch (Arrow()) {
      case arStartArrow:
        DrawGDIPArrow(G, Start, Anchor, ArrowSize(), ArrowColor(), SX, SY);
        break;
      case arEndArrow:
        DrawGDIPArrow(G, Anchor, Start, ArrowSize(), ArrowColor(), SX, SY);
        break;
      case arDoubleArrow:
        DrawGDIPArrow(G, Anchor, Start, ArrowSize(), ArrowColor(), SX, SY);
        DrawGDIPArrow(G, Start, Anchor, ArrowSize(), ArrowColor(), SX, SY);
        break;
      default:
        break;
    }
  }
  Canvas.Brush.SetStyle(bsClear);
  if (Text().empty()) return;
  TRect TR{DR.Left, DR.Top, DR.Right + 4, DR.Bottom + 4};
  TDrawTextFlags F{dtNoClip};
  if (TextHorizontalAlignment() == taRightJustify) F.Include(dtRight);
  if (TextHorizontalAlignment() == taCenter) F.Include(dtCenter);
  if (TextVerticalAlignment() == taAlignBottom) F.Include(dtBottom);
  if (TextVerticalAlignment() == taVerticalCenter) F.Include(dtVCenter);
  F.Include(WordWrap() ? dtWordBreak : dtSingleLine);
  Canvas.DrawText(Text(), TR, F);
}

// ---------------------------------------------------------------- marker
void TChartGDIPMarker::Assign(const TObject* Source) {
  TChartMarker::Assign(Source);
  if (auto* S = dynamic_cast<const TChartGDIPMarker*>(Source)) {
    FGradientType = S->FGradientType;
    FMarkerColorTo = S->FMarkerColorTo;
    FMarkerPicture.Assign(S->FMarkerPicture);
    SetOpacity(S->FOpacity);
    SetOpacityTo(S->FOpacityTo);
    FSelectedColorTo = S->FSelectedColorTo;
  }
}

void TChartGDIPMarker::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  TChartMarker::SaveToFile(Ini, Section);
  Ini.WriteInteger(Section, u"GradientType", FGradientType);
  Ini.WriteInteger(Section, u"MarkerColorTo", FMarkerColorTo);
  Ini.WriteInteger(Section, u"Opacity", FOpacity);
  Ini.WriteInteger(Section, u"OpacityTo", FOpacityTo);
}

void TChartGDIPMarker::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  TChartMarker::LoadFromFile(Ini, Section);
  SetGradientType(static_cast<TChartGradientType>(Ini.ReadInteger(Section, u"GradientType", FGradientType)));
  SetMarkerColorTo(Ini.ReadInteger(Section, u"MarkerColorTo", FMarkerColorTo));
  SetOpacity(Ini.ReadInteger(Section, u"Opacity", FOpacity));
  SetOpacityTo(Ini.ReadInteger(Section, u"OpacityTo", FOpacityTo));
}

// ---------------------------------------------------------------- pie settings
void TGDIPChartSeriePie::Assign(const TObject* Source) {
  TChartSeriePie::Assign(Source);
  if (auto* S = dynamic_cast<const TGDIPChartSeriePie*>(Source)) {
    SetLegendGradientType(S->FLegendGradientType);
    SetLegendOpacity(S->FLegendOpacity);
    SetLegendOpacityTo(S->FLegendOpacityTo);
    SetLegendHatchStyle(S->FLegendHatchStyle);
    SetLegendGradientAngle(S->FLegendGradientAngle);
    SetLegendTitleGradientType(S->FLegendTitleGradientType);
    SetLegendTitleOpacity(S->FLegendTitleOpacity);
    SetLegendTitleOpacityTo(S->FLegendTitleOpacityTo);
    SetLegendTitleHatchStyle(S->FLegendTitleHatchStyle);
    SetLegendTitleGradientAngle(S->FLegendTitleGradientAngle);
  }
}

void TGDIPChartSeriePie::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  TChartSeriePie::SaveToFile(Ini, Section);
  Ini.WriteInteger(Section, u"LegendGradientType", FLegendGradientType);
  Ini.WriteInteger(Section, u"LegendOpacity", FLegendOpacity);
  Ini.WriteInteger(Section, u"LegendOpacityTo", FLegendOpacityTo);
  Ini.WriteInteger(Section, u"LegendHatchStyle", FLegendHatchStyle);
  Ini.WriteInteger(Section, u"LegendGradientAngle", FLegendGradientAngle);
  Ini.WriteInteger(Section, u"LegendTitleGradientType", FLegendTitleGradientType);
  Ini.WriteInteger(Section, u"LegendTitleOpacity", FLegendTitleOpacity);
  Ini.WriteInteger(Section, u"LegendTitleOpacityTo", FLegendTitleOpacityTo);
  Ini.WriteInteger(Section, u"LegendTitleHatchStyle", FLegendTitleHatchStyle);
  Ini.WriteInteger(Section, u"LegendTitleGradientAngle", FLegendTitleGradientAngle);
}

void TGDIPChartSeriePie::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  TChartSeriePie::LoadFromFile(Ini, Section);
  SetLegendGradientType(
      static_cast<TChartGradientType>(Ini.ReadInteger(Section, u"LegendGradientType", FLegendGradientType)));
  SetLegendOpacity(Ini.ReadInteger(Section, u"LegendOpacity", FLegendOpacity));
  SetLegendOpacityTo(Ini.ReadInteger(Section, u"LegendOpacityTo", FLegendOpacityTo));
  SetLegendHatchStyle(static_cast<HatchStyle>(Ini.ReadInteger(Section, u"LegendHatchStyle", FLegendHatchStyle)));
  SetLegendGradientAngle(Ini.ReadInteger(Section, u"LegendGradientAngle", FLegendGradientAngle));
  SetLegendTitleGradientType(
      static_cast<TChartGradientType>(Ini.ReadInteger(Section, u"LegendTitleGradientType", FLegendTitleGradientType)));
  SetLegendTitleOpacity(Ini.ReadInteger(Section, u"LegendTitleOpacity", FLegendTitleOpacity));
  SetLegendTitleOpacityTo(Ini.ReadInteger(Section, u"LegendTitleOpacityTo", FLegendTitleOpacityTo));
  SetLegendTitleHatchStyle(
      static_cast<HatchStyle>(Ini.ReadInteger(Section, u"LegendTitleHatchStyle", FLegendTitleHatchStyle)));
  SetLegendTitleGradientAngle(Ini.ReadInteger(Section, u"LegendTitleGradientAngle", FLegendTitleGradientAngle));
}

// ---------------------------------------------------------------- serie
TVivGDIPChartSerie::TVivGDIPChartSerie(TChartSeries* Collection) : TChartSerie(Collection) {
  ReplaceAnnotations(std::make_unique<TChartGDIPAnnotations>(this));
  ReplacePie(std::make_unique<TGDIPChartSeriePie>(this));
  ReplaceMarker(std::make_unique<TChartGDIPMarker>());
}

void TVivGDIPChartSerie::Assign(const TObject* Source) {
  TChartSerie::Assign(Source);
  auto* S = dynamic_cast<const TVivGDIPChartSerie*>(Source);
  if (!S) return;
  FOpacity = S->FOpacity;
  FOpacityTo = S->FOpacityTo;
  FGradientType = S->FGradientType;
  FLineOpacity = S->FLineOpacity;
  FChartPattern.Assign(S->FChartPattern);
  FAngle = S->FAngle;
  FHatchStyle = S->FHatchStyle;
  FShadow = S->FShadow;
  Pie().Assign(&S->Pie());
  Annotations().Assign(&const_cast<TVivGDIPChartSerie*>(S)->Annotations());
  SetSerieType(S->SerieType());
  Changed();
}

void TVivGDIPChartSerie::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  TChartSerie::SaveToFile(Ini, Section);
  Ini.WriteInteger(Section, u"Angle", FAngle);
  Ini.WriteInteger(Section, u"GradientType", FGradientType);
  Ini.WriteInteger(Section, u"HatchStyle", FHatchStyle);
  Ini.WriteInteger(Section, u"Opacity", FOpacity);
  Ini.WriteInteger(Section, u"OpacityTo", FOpacityTo);
  Ini.WriteBool(Section, u"Shadow", FShadow);
  Ini.WriteInteger(Section, u"LineOpacity", FLineOpacity);
}

void TVivGDIPChartSerie::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  TChartSerie::LoadFromFile(Ini, Section);
  SetAngle(Ini.ReadInteger(Section, u"Angle", FAngle));
  SetGradientType(static_cast<TChartGradientType>(Ini.ReadInteger(Section, u"GradientType", FGradientType)));
  SetHatchStyle(static_cast<HatchStyle>(Ini.ReadInteger(Section, u"HatchStyle", FHatchStyle)));
  SetOpacity(Ini.ReadInteger(Section, u"Opacity", FOpacity));
  SetOpacityTo(Ini.ReadInteger(Section, u"OpacityTo", FOpacityTo));
  SetShadow(Ini.ReadBool(Section, u"Shadow", FShadow));
  SetLineOpacity(Ini.ReadInteger(Section, u"LineOpacity", FLineOpacity));
}

// ---------------------------------------------------------------- painter
TColor TGDIPChartSeriePainter::ShadedColor(TColor Color, Integer Index, Integer Count) {
  if (Count <= 0) return Color;
  return ScaleColorValue(ChartColorToRGB(Color), double(Index + 1) / Count);
}

void TGDIPChartSeriePainter::DrawPieSlice(TChartSerie& S, TChartCanvas& Canvas, TPoint Center, Integer Radius,
                                          Integer CX, Integer CY, Integer Indent, double Start, double Sweep,
                                          Integer Index, double SX, double SY) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartSeriePainter::DrawPieSlice(S, Canvas, Center, Radius, CX, CY, Indent, Start, Sweep, Index, SX, SY);
    return;
  }
  const double SOA = S.Pie().StartOffsetAngle();
  const double A = SOA + Start;
  const double B = (-SOA - Start - Sweep / 2) * DegToRad;
  const TPoint C{Center.X + RoundI(std::cos(B) * Indent), Center.Y + RoundI(Indent * std::sin(B))};
  const TGPRectF O{REAL(C.X - Radius), REAL(C.Y - Radius), REAL(2 * Radius), REAL(2 * Radius)};
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  TGPGraphicsPath Path;
  bool Figure = true;
  // A slice of the whole circle is a circle (or a ring of two, the hole
  // left by the path's alternate filling): a wedge's edges would draw a
  // radius across it.
  const bool Whole = IsFullCircleSweep(Sweep);
  switch (S.ChartType()) {
    case ctPie:
    case ctHalfPie:
    case ctSpider:
    case ctHalfSpider:
    case ctVarRadiusPie:
    case ctVarRadiusHalfPie:
    case ctSizedPie:
    case ctSizedHalfPie:
    case ctFunnel:
      if (Whole)
        Path.AddEllipse(O);
      else
        Path.AddPie(O, REAL(-A), REAL(-Sweep));
      break;
    case ctDonut:
    case ctHalfDonut:
    case ctVarRadiusDonut:
    case ctVarRadiusHalfDonut:
    case ctSizedDonut:
    case ctSizedHalfDonut: {
      const Integer Gh = S.Pie().GetPieInnerSize() / 2;
      const TGPRectF Hole{REAL(C.X - Gh), REAL(C.Y - Gh), REAL(2 * Gh), REAL(2 * Gh)};
      if (Whole) {
        Path.AddEllipse(O);
        Path.CloseFigure();
        Path.AddEllipse(Hole);
        break;
      }
      Path.AddArc(O, REAL(-A), REAL(-Sweep));
      Path.AddArc(Hole, REAL(-A - Sweep), REAL(Sweep));
      break;
    }
    default:
      Figure = false;
      break;
  }
  Path.CloseFigure();
  const double A2 = A + Sweep;
  TSlicePoint Rec;
  Rec.X0 = Rec.CX = C.X;
  Rec.Y0 = Rec.CY = C.Y;
  Rec.X1 = C.X + RoundI(Radius * std::cos(A * DegToRad));
  Rec.Y1 = C.Y - RoundI(Radius * std::sin(A * DegToRad));
  Rec.X2 = C.X + RoundI(Radius * std::cos(A2 * DegToRad));
  Rec.Y2 = C.Y - RoundI(Radius * std::sin(A2 * DegToRad));
  Rec.STA = static_cast<float>(A);
  Rec.SWA = static_cast<float>(A2);
  S.DrawValuesSlice.resize(static_cast<std::size_t>(Index) + 1);
  S.DrawValuesSlice[Index] = Rec;
  const Integer N = S.GetPointsCount();
  const TChartPoint P = S.GetPoint(Index);
  const TColor Shade = ShadedColor(S.Color(), Index, N);
  Canvas.Brush.SetColor(Shade);
  const TColor Fill = P.Color != clNone ? P.Color : (S.Color() == clNone ? clNone : Shade);
  const TColor FillTo = P.ColorTo != clNone ? P.ColorTo : (S.Color() != clNone ? Shade : clNone);
  if (!Figure) return;
  TGDIPFillParams F = SerieFill(S, G, Fill, FillTo);
  F.Path = &Path;
  F.UsePath = true;
  F.R = O;
  FillGDIPShape(F);
}

void TGDIPChartSeriePainter::DrawFunnelSlice(TChartSerie& S, TChartCanvas& Canvas, const TPointArray& Q, double SX,
                                             double SY, Integer Index) {
  HDC DC = CanvasDC(Canvas);
  if (!DC || Q.size() < 4) {
    TChartSeriePainter::DrawFunnelSlice(S, Canvas, Q, SX, SY, Index);
    return;
  }
  const Integer N = S.GetPointsCount();
  const TChartPoint Pt = S.GetPoint(Index);
  const TColor Fill = Pt.Color != clNone ? Pt.Color : (S.Color() == clNone ? clNone : ShadedColor(S.Color(), Index, N));
  const TColor FillTo =
      Pt.ColorTo != clNone ? Pt.ColorTo : (S.ColorTo() != clNone ? ShadedColor(S.ColorTo(), Index, N) : clNone);
  const REAL O = REAL(S.Offset3D());
  {
    TGPGraphics G(DC);
    G.SetSmoothingMode(AntiAlias);
    TGPGraphicsPath Path;
    TGPRectF FR;
    if (S.Enable3D()) {
      Path.AddArc(REAL(Q[0].X), REAL(Q[0].Y) - O / 2, REAL(Q[1].X - Q[0].X), O, 180, 180);
      Path.AddLine(REAL(Q[1].X), REAL(Q[1].Y), REAL(Q[2].X), REAL(Q[2].Y));
      Path.AddArc(REAL(Q[3].X), REAL(Q[2].Y) - O / 2, REAL(Q[2].X - Q[3].X), O, 0, 180);
      FR = {REAL(Q[0].X + 1), REAL(Q[0].Y + 1) - O / 2, REAL(Q[2].X - Q[0].X - 2), REAL(Q[2].Y - Q[0].Y - 2) + O};
    } else {
      const TGPPoint Pts[4] = {{Q[0].X, Q[0].Y}, {Q[1].X, Q[1].Y}, {Q[2].X, Q[2].Y}, {Q[3].X, Q[3].Y}};
      Path.AddPolygon(Pts, 4);
      FR = {REAL(Q[0].X), REAL(Q[0].Y), REAL(Q[2].X - Q[0].X), REAL(Q[2].Y - Q[0].Y)};
    }
    Path.CloseFigure();
    TGDIPFillParams F = SerieFill(S, G, Fill, FillTo);
    F.Path = &Path;
    F.UsePath = true;
    F.R = FR;
    FillGDIPShape(F);
    if (S.Enable3D()) {
      TGPGraphicsPath Top;
      Top.AddEllipse(REAL(Q[0].X), REAL(Q[0].Y) - 0.5f - O / 2, REAL(Q[1].X - Q[0].X), O);
      TGDIPFillParams T = SerieFill(S, G, Fill == clNone ? clNone : DarkenColor(Fill, true),
                                    FillTo == clNone ? clNone : DarkenColor(FillTo, true));
      T.Path = &Top;
      T.UsePath = true;
      T.R = FR;
      FillGDIPShape(T);
    }
  }
  Canvas.Brush.SetStyle(bsClear);
  DrawFunnelValue(S, Canvas, Q, SX, SY, Index);
}

void TGDIPChartSeriePainter::DrawPieGridCircle(TChartSerie& S, TChartCanvas& Canvas, const TChartYGrid& Grid,
                                               bool Major, Integer Radius, TPoint Center) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartSeriePainter::DrawPieGridCircle(S, Canvas, Grid, Major, Radius, Center);
    return;
  }
  const TColor C = Major ? Grid.MajorLineColor() : Grid.MinorLineColor();
  const Integer W = Major ? Grid.MajorLineWidth() : Grid.MinorLineWidth();
  const TPenStyle St = Major ? Grid.MajorLineStyle() : Grid.MinorLineStyle();
  if (C == clNone || St == psClear) return;
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  TGPPen Pen(MakeGDIPColor(255, C), REAL(W));
  Pen.SetDashStyle(PenStyleToDashStyle(St));
  const TGPRectF Sq{REAL(Center.X - Radius), REAL(Center.Y - Radius), REAL(2 * Radius), REAL(2 * Radius)};
  if (S.IsHalfType())
    G.DrawArc(Pen, Sq, REAL(-S.Pie().StartOffsetAngle()), -180);
  else
    G.DrawEllipse(Pen, Sq);
}

void TGDIPChartSeriePainter::DrawPieGridLine(TChartSerie& S, TChartCanvas& Canvas, const TChartYGrid& Grid, Integer Y,
                                             Integer X, TPoint Center) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartSeriePainter::DrawPieGridLine(S, Canvas, Grid, Y, X, Center);
    return;
  }
  if (Grid.MajorLineColor() == clNone || Grid.MajorLineStyle() == psClear) return;
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  TGPPen Pen(MakeGDIPColor(255, Grid.MajorLineColor()), REAL(Grid.MajorLineWidth()));
  Pen.SetDashStyle(PenStyleToDashStyle(Grid.MajorLineStyle()));
  G.DrawLine(Pen, REAL(Center.X), REAL(Center.Y), REAL(X), REAL(Y));
}

TRect TGDIPChartSeriePainter::DrawPieLegend(TChartSerie& S, TChartCanvas& Canvas, bool Draw, double SX, double SY,
                                            bool& Measured) {
  Measured = false;
  TVivIzude* C = S.Chart();
  if (!C || !S.Pie().LegendVisible() || !S.IsPieLike()) return {};
  HDC DC = CanvasDC(Canvas);
  auto Own = DC ? std::make_unique<TGPGraphics>(DC) : nullptr;
  TGPGraphics& G = Own ? *Own : MeasuringGraphics();
  auto F = MakeGDIPFont(S.Pie().LegendFont());
  const Integer N = S.GetPointsCount();
  if (N < 1) return {};
  Canvas.Font = S.Pie().LegendFont();
  double W = -2147483647.0, Ht = 0;
  for (Integer I = 0; I < N; ++I) {
    TGPRectF Box{};
    G.MeasureString(PieLegendText(S, I), -1, F.get(), TGPRectF{0, 0, 10000, 10000}, Box);
    W = std::max(W, double(Box.Width));
    Ht += Box.Height + PieLegendSpacing;
  }
  Own.reset();
  const Integer Hs = PieLegendBoxHeight(Ht, SY);
  const double Wd = std::max(W + 25, double(Canvas.TextWidth(S.LegendText())));
  const Integer HalfW = RoundI(Wd / 2), HalfH = RoundI(Hs / 2.0);
  const TRect PR = S.GetPieRectangle(S.Index(), C->Series().SeriesRectangle());
  const TPoint L = S.GetLegendCenter(PR, HalfW, HalfH);
  if (HalfW > 0 && HalfH > 0 && Draw) DrawPieLegendBox(S, Canvas, L.X, L.Y, HalfW, HalfH, SX, SY);
  Measured = true;
  return {L.X - HalfW, L.Y - HalfH, L.X + HalfW, L.Y + HalfH};
}

void TGDIPChartSeriePainter::DrawPieLegendBox(TChartSerie& S, TChartCanvas& Canvas, Integer X, Integer Y, Integer HalfW,
                                              Integer HalfH, double SX, double SY) {
  const TChartSeriePie& Pie = S.Pie();
  if (!Pie.LegendVisible()) return;
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartSeriePainter::DrawPieLegendBox(S, Canvas, X, Y, HalfW, HalfH, SX, SY);
    return;
  }
  const TGDIPChartSeriePie* GP = GDIPPie(S);
  Canvas.Brush.SetStyle(bsClear);
  const TRect B{X - HalfW, Y - HalfH, X + HalfW, Y + HalfH};
  {
    TGPGraphics G(DC);
    G.SetSmoothingMode(AntiAlias);
    auto F = MakeGDIPFont(Pie.LegendFont());
    TGPSolidBrush Ink(MakeGDIPColor(255, Pie.LegendFont().Color()));
    TGDIPFillParams Box;
    Box.Graphics = &G;
    Box.R = {REAL(B.Left), REAL(B.Top), REAL(B.Width()), REAL(B.Height())};
    Box.GradientType = GP ? GP->LegendGradientType() : gtSolid;
    Box.Color = Pie.LegendColor();
    Box.ColorTo = Pie.LegendColorTo();
    Box.Opacity = GP ? GP->LegendOpacity() : 255;
    Box.OpacityTo = GP ? GP->LegendOpacityTo() : 255;
    Box.Hatch = GP ? GP->LegendHatchStyle() : HatchStyleHorizontal;
    Box.Angle = GP ? GP->LegendGradientAngle() : 0;
    Box.BorderColor = Pie.LegendBorderColor();
    Box.BorderWidth = Pie.LegendBorderWidth();
    FillGDIPShape(Box);
    const Integer N = S.GetPointsCount();
    for (Integer I = 0; I < N; ++I) {
      const Integer EY = B.Top + PieLegendSpacing + RoundI(double(B.Bottom - B.Top - PieLegendSpacing) / N * I);
      const String Text = PieLegendText(S, I);
      const TGPPointF At{REAL(B.Left + 20), REAL(EY)};
      G.DrawString(Text, -1, F.get(), At, &Ink);
      TGPRectF M{};
      G.MeasureString(Text, -1, F.get(), At, nullptr, M);
      const TChartPoint P = S.GetPoint(I);
      TColor C1, C2;
      if (IsSpiderType(S.ChartType())) {
        C1 = S.Color();
        C2 = S.ColorTo();
      } else {
        const TColor Shade = ShadedColor(S.Color(), I, N);
        C1 = P.Color != clNone ? P.Color : Shade;
        C2 = P.ColorTo != clNone ? P.ColorTo : Shade;
      }
      TGDIPFillParams Sq = SerieFill(S, G, C1, C2);
      Sq.R = {REAL(B.Left + 5), REAL(EY - 5 + M.Height / 2), 10, 10};
      FillGDIPShape(Sq);
    }
    if (Pie.LegendTitleVisible()) {
      Canvas.Font = Pie.LegendFont();
      const Integer TH = Canvas.TextHeight(S.LegendText());
      TGDIPFillParams T;
      T.Graphics = &G;
      T.R = {REAL(B.Left), REAL(B.Top - TH), REAL(B.Width()), REAL(TH)};
      T.GradientType = GP ? GP->LegendTitleGradientType() : gtSolid;
      T.Color = Pie.LegendTitleColor();
      T.ColorTo = Pie.LegendTitleColorTo();
      T.Opacity = GP ? GP->LegendTitleOpacity() : 255;
      T.OpacityTo = GP ? GP->LegendTitleOpacityTo() : 255;
      T.Hatch = GP ? GP->LegendTitleHatchStyle() : HatchStyleHorizontal;
      T.Angle = GP ? GP->LegendTitleGradientAngle() : 0;
      T.BorderColor = Pie.LegendBorderColor();
      T.BorderWidth = Pie.LegendBorderWidth();
      FillGDIPShape(T);
    }
  }
  if (Pie.LegendTitleVisible()) {
    const Integer TH = Canvas.TextHeight(S.LegendText());
    Canvas.Brush.SetStyle(bsClear);
    Canvas.TextOut(B.Left + 2, B.Top - TH, S.LegendText());
  }
}

// ---------------------------------------------------------------- chart
TVivGDIPChart::TVivGDIPChart(TObject* AOwner) : TVivIzude(AOwner) {
  auto L = std::make_unique<TChartGDIPLegend>(this);
  L->SetChart(this);
  ReplaceLegend(std::move(L));
  ReplaceBackground(std::make_unique<TChartGDIPBackground>(this));
  ReplaceSeries(std::make_unique<TVivGDIPChartSeries>(this));
  SetSeriePainter(std::make_unique<TGDIPChartSeriePainter>());
  // The layout measures texts as the paint draws them.
  SetTextMeasurer(&TGdiTextMeasurer::Screen());
}

TRect TVivGDIPChart::Draw(TChartCanvas& Canvas, TRect R, double SX, double SY, bool Initialize) {
  const TRect Result = TVivIzude::Draw(Canvas, R, SX, SY, Initialize);
  DrawReflection(Canvas, R);
  return Result;
}

TRect TVivGDIPChart::MirrorRect(TRect R) const {
  auto* Pane = dynamic_cast<TChartPane*>(Owner());
  if (!FMirror || !Pane || const_cast<TVivGDIPChart*>(this)->Margin().BottomMargin() == 0) return {};
  TVivGDIPChart& C = *const_cast<TVivGDIPChart*>(this);
  Integer ZL = 0;
  for (Integer I = 0; I < C.Series().Count(); ++I)
    if (C.Series().Items(I).ZeroLine()) ZL = 1;
  const Integer Bot = R.Bottom - Pane->BorderWidth();
  const TRect SR = C.Series().SeriesRectangle();
  TRect M;
  M.Top = Bot - XAxis().BottomSize() - C.Margin().BottomMargin() + ZL;
  M.Left = SR.Left;
  M.Right = SR.Right;
  M.Bottom = Bot - XAxis().BottomSize() - XAxis().BottomLineSize();
  if (M.Height() <= 0 || M.Width() <= 0) return {};
  return M;
}

void TVivGDIPChart::DrawReflection(TChartCanvas& Canvas, TRect R) {
  const TRect M = MirrorRect(R);
  HDC DC = CanvasDC(Canvas);
  if (M.Width() <= 0 || M.Height() <= 0 || !DC) return;
  auto* Pane = dynamic_cast<TChartPane*>(Owner());
  const Integer W = M.Width(), H = M.Height();
  Integer ZL = 0;
  for (Integer I = 0; I < Series().Count(); ++I)
    if (Series().Items(I).ZeroLine()) ZL = 1;
  const TColor Back = ColorToRGB(Pane && Pane->ChartView() ? Pane->ChartView()->Color() : clWhite);
  // The rows just above the band, turned upside down, fading into the
  // view's colour.
  TBitmap Strip(W, H);
  Strip.SetPixelFormat(pf24bit);
  BitBlt(Strip.Canvas()->Handle(), 0, 0, W, H, DC, M.Left, M.Top - H - ZL, SRCCOPY);
  TGPBitmap Copy(Strip.Handle(), nullptr);
  if (Copy.LastResult() != Ok) return;
  Copy.RotateFlip(Rotate180FlipX);
  {
    TGPGraphics G(&Copy);
    const ARGB Fade[3] = {MakeGDIPColor(0, Back), MakeGDIPColor(220, Back), MakeGDIPColor(255, Back)};
    const REAL At[3] = {0.0f, 0.5f, 1.0f};
    TGPLinearGradientBrush B(TGPRectF{0, 0, REAL(W), REAL(H)}, Fade[0], Fade[2], REAL(90), false);
    B.SetInterpolationColors(Fade, At, 3);
    G.FillRectangle(B, REAL(0), REAL(0), REAL(W), REAL(H));
  }
  {
    TGPGraphics G(DC);
    G.DrawImage(&Copy, REAL(M.Left), REAL(M.Top), REAL(W), REAL(H));
  }
  if (YGrid().ShowBorder()) {
    const TRect SR = Series().SeriesRectangle();
    Canvas.Brush.SetColor(YGrid().BorderColor());
    Canvas.FrameRect({SR.Left, SR.Top, SR.Right, M.Bottom});
  }
}

void TVivGDIPChart::RenderToBitmap(TBitmap& Bitmap, Integer W, Integer H) {
  if (W <= 0 || H <= 0)
    throw EChartImageError(u"An image of " + IntToStr(W) + u" x " + IntToStr(H) + u" pixels has no pixels");
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(W, H);
  TVclChartCanvas C(*Bitmap.Canvas());
  DrawToCanvas(C, {0, 0, W, H});
}

void TVivGDIPChart::SaveToImage(const String& FileName, Integer W, Integer H, TChartImageType Type, Integer Quality) {
  TBitmap Bitmap;
  RenderToBitmap(Bitmap, W, H);
  SaveBitmapToImage(Bitmap.Handle(), FileName, Type, Quality);
}

void TVivGDIPChart::SaveToStream(TStream& Stream, Integer W, Integer H, TChartImageType Type, Integer Quality) {
  TBitmap Bitmap;
  RenderToBitmap(Bitmap, W, H);
  SaveBitmapToStream(Bitmap.Handle(), Stream, Type, Quality);
}

// ---------------------------------------------------------------- view
TVivGDIPChartView::TVivGDIPChartView(TComponent* AOwner) : TVivIzudeView(AOwner) {
  ReplacePanes(CreatePanes());
  TVivIzudeView::Panes().OnChange = [this](TObject*) { Changed(); };
}

std::unique_ptr<TChartPanes> TVivGDIPChartView::CreatePanes() { return std::make_unique<TVivGDIPChartPanes>(this); }

void TVivGDIPChartView::RenderPane(Integer Pane, TCanvas& Canvas, bool ThroughBitmap, TRect R) {
  if (!ThroughBitmap) {
    // Straight onto the target, sizes in settings following its resolution.
    TVivIzudeView::PrintPane(Pane, Canvas, R);
    return;
  }
  TChartPane* P = Panes().Items(Pane);  // EListError for an index outside the panes
  TPaintingScope Scope(*this);
  TBitmap Bitmap(std::max<Integer>(R.Width(), 1), std::max<Integer>(R.Height(), 1));
  TVclChartCanvas C(*Bitmap.Canvas());
  P->Draw(C, {0, 0, R.Width(), R.Height()}, 1.0, 1.0, true);
  Canvas.StretchDraw(R, &Bitmap);
  RestoreScreenLayout(*P);
}

void TVivGDIPChartView::PaintToBitmap(TBitmap& Bitmap) {
  const TRect Client = ClientRect();
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(std::max<Integer>(Client.Width(), 1), std::max<Integer>(Client.Height(), 1));
  TCanvas& BC = *Bitmap.Canvas();
  BC.Brush()->SetColor(Color());
  BC.Brush()->SetStyle(bsSolid);
  BC.FillRect(Client);
  TVclChartCanvas C(BC);
  PaintPanes(C, Client);
}

void TVivGDIPChartView::SaveToImage(const String& FileName, Integer W, Integer H, TChartImageType Type,
                                    Integer Quality) {
  if (Width() <= 0 || Height() <= 0 || W <= 0 || H <= 0)
    throw EChartImageError(u"An image of " + IntToStr(W) + u" x " + IntToStr(H) + u" pixels has no pixels");
  TBitmap Whole(Width(), Height());
  Whole.SetPixelFormat(pf24bit);
  Whole.Canvas()->Brush()->SetColor(Color());
  Whole.Canvas()->FillRect({0, 0, Width(), Height()});
  for (const TStackedPane& S : StackedPanes(Height()))
    PrintPane(S.Index, *Whole.Canvas(), Bounds(Panes().Items(S.Index)->Rectangle().Left, S.Top, Width(), S.Height));
  TBitmap Sized(W, H);
  Sized.SetPixelFormat(pf24bit);
  Sized.Canvas()->StretchDraw({0, 0, W, H}, &Whole);
  SaveBitmapToImage(Sized.Handle(), FileName, Type, Quality);
}

Integer TVivGDIPChartView::PaneAtPoint(Integer X, Integer Y) const {
  for (Integer I = 0; I < Panes().Count(); ++I) {
    const TRect& R = Panes().Items(I)->Rectangle();
    if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) return I;
  }
  return -1;
}
