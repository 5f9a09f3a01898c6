#include "chart/drawing/win/VivIzudeGraphicsWin.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "chart/drawing/VivIzudeTypes.h"
#include "chart/drawing/win/VivIzudeGraphicsGeneral.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "vcl/Graphics.h"

namespace {

// The box of a polygon's points, its figure separators left out.
TRectF PolygonBounds(const TVivIzudeGraphicsPathPolygon& APolygon) {
  TRectF R{0, 0, 0, 0};
  bool First = true;
  for (const auto& Figure : PolygonFigures(APolygon))
    for (const TPointF& P : Figure) {
      if (First) {
        R = {P.X, P.Y, P.X, P.Y};
        First = false;
      }
      R.Left = std::min(R.Left, P.X);
      R.Top = std::min(R.Top, P.Y);
      R.Right = std::max(R.Right, P.X);
      R.Bottom = std::max(R.Bottom, P.Y);
    }
  return R;
}

TGPRectF GPRect(const TRectF& R) { return MakeRectF(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }

Byte AlphaOf(float AOpacity) {
  if (!(AOpacity > 0)) return 0;
  if (AOpacity >= 1) return 255;
  return static_cast<Byte>(std::nearbyint(AOpacity * 255.0f));
}

bool IsDashed(TVivIzudeGraphicsStrokeKind AKind) { return AKind != gskSolid && AKind != gskNone; }

DashStyle DashStyleOf(TVivIzudeGraphicsStrokeKind AKind) {
  switch (AKind) {
    case gskDash:
      return DashStyleDash;
    case gskDot:
      return DashStyleDot;
    case gskDashDot:
      return DashStyleDashDot;
    case gskDashDotDot:
      return DashStyleDashDotDot;
    case gskSolid:
    case gskNone:
      break;
  }
  return DashStyleSolid;
}

StringAlignment AlignmentOf(TVivIzudeGraphicsTextAlign A) {
  return A == gtaCenter ? StringAlignmentCenter : A == gtaTrailing ? StringAlignmentFar : StringAlignmentNear;
}

std::vector<GpPointF> GPPoints(const TVivIzudeGraphicsPathPolygon& APolygon) {
  std::vector<GpPointF> Result;
  Result.reserve(APolygon.size());
  for (const TPointF& P : APolygon) Result.push_back({P.X, P.Y});
  return Result;
}

// FNV-1a over the bytes.
std::uint64_t HashBytes(const void* Data, std::size_t Size, std::uint64_t H = 14695981039346656037ull) {
  const auto* P = static_cast<const unsigned char*>(Data);
  for (std::size_t i = 0; i < Size; ++i) {
    H ^= P[i];
    H *= 1099511628211ull;
  }
  return H;
}

// The transparent colour of a class-library bitmap drawn transparently.
bool TransparentKey(TGraphic* ABitmap, TColor& AKey) {
  auto* B = dynamic_cast<TBitmap*>(ABitmap);
  if (!B || !B->Transparent()) return false;
  AKey = ColorToRGB(B->TransparentColor()) & 0xFFFFFF;
  return true;
}

// The rounded rectangle outline of both outline and fill, from the bottom
// left, each chosen corner a quarter arc of radius R.
void RoundRectPath(TVivIzudeGraphicsPath& P, float L, float T, float Rr, float B, float R,
                   TVivIzudeGraphicsCorners ACorners) {
  const TPointF Radius{R, R};
  if (ACorners.Contains(gcBottomLeft)) {
    P.MoveTo({L + R, B});
    P.AddArc({L + R, B - R}, Radius, -270, 90);
    P.LineTo({L, B - R});
  } else {
    P.MoveTo({L, B});
  }
  if (ACorners.Contains(gcTopLeft)) {
    P.LineTo({L, T + R});
    P.AddArc({L + R, T + R}, Radius, -180, 90);
    P.LineTo({L + R, T});
  } else {
    P.LineTo({L, T});
  }
  if (ACorners.Contains(gcTopRight)) {
    P.LineTo({Rr - R, T});
    P.AddArc({Rr - R, T + R}, Radius, -90, 90);
    P.LineTo({Rr, T + R});
  } else {
    P.LineTo({Rr, T});
  }
  if (ACorners.Contains(gcBottomRight)) {
    P.LineTo({Rr, B - R});
    P.AddArc({Rr - R, B - R}, Radius, 0, 90);
    P.LineTo({Rr - R, B});
  } else {
    P.LineTo({Rr, B});
  }
  P.LineTo(ACorners.Contains(gcBottomLeft) ? TPointF{L + R, B} : TPointF{L, B});
  P.ClosePath();
}

}  // namespace

// ---------------------------------------------------------------- builders
ARGB MakeGraphicsColor(TColor AColor, float AOpacity) {
  const TColor C = ColorToRGB(AColor);
  return MakeARGB(AlphaOf(AOpacity), Byte(C), Byte(C >> 8), Byte(C >> 16));
}

std::unique_ptr<TGPPen> CreateGraphicsPen(const TVivIzudeGraphicsStroke& AStroke) {
  TVivGdiplusScope Scope;
  auto Pen = std::make_unique<TGPPen>(MakeGraphicsColor(AStroke.Color(), AStroke.Opacity()), AStroke.Width());
  if (IsDashed(AStroke.Kind())) Pen->SetDashStyle(DashStyleOf(AStroke.Kind()));
  return Pen;
}

std::unique_ptr<TGPBrush> CreateGraphicsBrush(const TVivIzudeGraphicsFill& AFill, const TGPRectF& ARect) {
  TVivGdiplusScope Scope;
  switch (AFill.Kind()) {
    case gfkSolid:
      return std::make_unique<TGPSolidBrush>(MakeGraphicsColor(AFill.Color(), AFill.Opacity()));
    case gfkGradient:
      return std::make_unique<TGPLinearGradientBrush>(
          MakeRectF(ARect.X - 1, ARect.Y - 1, ARect.Width + 2, ARect.Height + 2),
          MakeGraphicsColor(AFill.Color(), AFill.Opacity()), MakeGraphicsColor(AFill.ColorTo(), AFill.Opacity()),
          AFill.Orientation() == gfoHorizontal ? LinearGradientModeHorizontal : LinearGradientModeVertical);
    case gfkNone:
    case gfkTexture:
      break;
  }
  return std::make_unique<TGPSolidBrush>(MakeARGB(0, 0, 0, 0));
}

std::unique_ptr<TGPFont> CreateGraphicsFont(const TVivIzudeGraphicsFont& AFont) {
  TVivGdiplusScope Scope;
  String Family = AFont.Name();
  String Upper = Family;
  for (Char& Ch : Upper)
    if (Ch >= u'a' && Ch <= u'z') Ch = static_cast<Char>(Ch - u'a' + u'A');
  if (Family.empty() || Upper == u"DEFAULT") Family = u"Arial";
  const Integer Size = AFont.Size() == 0 ? 8 : AFont.Size();
  INT Style = 0;
  if (AFont.Style().Contains(fsBold)) Style |= 1;
  if (AFont.Style().Contains(fsItalic)) Style |= 2;
  if (AFont.Style().Contains(fsUnderline)) Style |= 4;
  if (AFont.Style().Contains(fsStrikeOut)) Style |= 8;
  return std::make_unique<TGPFont>(Family, static_cast<REAL>(Size), Style, UnitPoint);
}

std::unique_ptr<TGPStringFormat> CreateGraphicsStringFormat(TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                                            TVivIzudeGraphicsTextAlign AVerticalAlign,
                                                            bool AWordWrapping, bool AShowAcceleratorChar,
                                                            TVivIzudeGraphicsTextTrimming ATrimming) {
  TVivGdiplusScope Scope;
  auto Format = std::make_unique<TGPStringFormat>(0, 0);
  Format->SetAlignment(AlignmentOf(AHorizontalAlign));
  Format->SetLineAlignment(AlignmentOf(AVerticalAlign));
  // 0x4000: no clipping; 0x1000: no wrapping.
  Format->SetFormatFlags(AWordWrapping ? 0x4000 : 0x5000);
  // GDI+ trims by character unless told otherwise: without trimming a
  // run drawn in a box a little narrower than it keeps its last letters.
  Format->SetTrimming(ATrimming == gttCharacter ? StringTrimmingCharacter
                      : ATrimming == gttWord    ? StringTrimmingWord
                                                : StringTrimmingNone);
  Format->SetHotkeyPrefix(AShowAcceleratorChar ? HotkeyPrefixShow : HotkeyPrefixNone);
  return Format;
}

std::unique_ptr<TGraphicsImage> CreateGraphicsImage(TGraphic* ABitmap) {
  if (!ABitmap) return nullptr;
  TVivGdiplusScope Scope;
  TMemoryStream Bytes;
  ABitmap->SaveToStream(Bytes);
  const SIZE_T Size = static_cast<SIZE_T>(Bytes.Size());
  HGLOBAL Memory = GlobalAlloc(GMEM_MOVEABLE, Size > 0 ? Size : 1);
  if (!Memory) throw Exception(u"Could not allocate memory for image");
  if (void* P = GlobalLock(Memory)) {
    if (Size > 0) std::memcpy(P, Bytes.Memory(), Size);
    GlobalUnlock(Memory);
  }
  auto Result = std::make_unique<TGraphicsImage>();
  // The stream owns the memory block from here on.
  if (FAILED(CreateStreamOnHGlobal(Memory, TRUE, Result->Stream.Put()))) {
    GlobalFree(Memory);
    throw Exception(u"Could not allocate memory for image");
  }
  auto Image = std::make_unique<TGPImage>(Result->Stream.Get(), false);
  if (Image->GetType() != ImageTypeBitmap) {
    Result->Image = std::move(Image);
    return Result;
  }
  const INT W = static_cast<INT>(Image->GetWidth()), H = static_cast<INT>(Image->GetHeight());
  auto Bitmap = std::make_unique<TGPBitmap>(W, H, PixelFormat32bppARGB);
  {
    TGPGraphics G(Bitmap.get());
    TColor Key = 0;
    if (TransparentKey(ABitmap, Key)) {
      TGPImageAttributes Attributes;
      const ARGB K = MakeGraphicsColor(Key, 1);
      Attributes.SetColorKey(K, K);
      G.DrawImage(Image.get(), MakeRectF(0, 0, static_cast<REAL>(W), static_cast<REAL>(H)), 0, 0, static_cast<REAL>(W),
                  static_cast<REAL>(H), UnitPixel, &Attributes);
    } else {
      G.DrawImage(Image.get(), 0.0f, 0.0f, static_cast<REAL>(W), static_cast<REAL>(H));
    }
  }
  Image.reset();
  Result->Stream.Reset();
  Result->Image = std::move(Bitmap);
  return Result;
}

// ---------------------------------------------------------------- context
TVivIzudeGraphicsContextWin::TVivIzudeGraphicsContextWin(TVivIzudeGraphics* AGraphics)
    : TVivIzudeGraphicsContext(AGraphics),
      FFont(std::make_unique<TVivIzudeGraphicsFont>()),
      FFill(std::make_unique<TVivIzudeGraphicsFill>(gfkSolid, 0xFFFFFF)),
      FStroke(std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, 0xC0C0C0)) {
  FFont->OnChanged = [this](TObject* Sender) { FontChanged(Sender); };
  FFill->OnChanged = [this](TObject* Sender) { FillChanged(Sender); };
  FStroke->OnChanged = [this](TObject* Sender) { StrokeChanged(Sender); };
}

TVivIzudeGraphicsContextWin::~TVivIzudeGraphicsContextWin() {
  Render();
  FFont->OnChanged = nullptr;
  FFill->OnChanged = nullptr;
  FStroke->OnChanged = nullptr;
  TVivGdiplusScope Scope;
  FImageCache.clear();
  FTextMatrix.reset();
  FGPPen.reset();
  FGPBrush.reset();
  FGPFont.reset();
  ReleaseGraphics();
}

TVivIzudeGraphicsContextClass GetNativeContextClass() {
  return [](TVivIzudeGraphics* AGraphics) -> std::unique_ptr<TVivIzudeGraphicsContext> {
    return std::make_unique<TVivIzudeGraphicsContextWin>(AGraphics);
  };
}

void* TVivIzudeGraphicsContextWin::GetNativeCanvas() { return FGPGraphics.get(); }

void* TVivIzudeGraphicsContextWin::CreatePath() {
  TVivGdiplusScope Scope;
  return new TGPGraphicsPath(FillModeAlternate);
}

TColor TVivIzudeGraphicsContextWin::GetFillColor() {
  return Graphics() && Graphics()->Fill() ? Graphics()->Fill()->Color() : FFill->Color();
}

// ---------------------------------------------------------------- graphics and scenes
void TVivIzudeGraphicsContextWin::MakeGraphics() {
  // No GDI+ (the library missing or not started): no graphics, nothing drawn.
  if (!VivGdiplusStarted() || !Canvas()) return;
  TVivGdiplusScope Scope;
  std::unique_ptr<TGPGraphics> G;
  // On the facade's own 32-bit bitmap GDI+ draws straight into its pixels
  // (the same picture as through its device context, without a device
  // round trip per call); on any other canvas it draws on the DC.
  TBitmap* B = Graphics() ? Graphics()->Bitmap() : nullptr;
  if (B && B->Canvas() == Canvas() && B->Width() > 0 && B->Height() > 0 &&
      (B->PixelFormat() == pf32bit || B->PixelFormat() == pfDevice)) {
    GpBitmap* Pixels = nullptr;
    if (VivGdiplusApi().GdipCreateBitmapFromScan0(B->Width(), B->Height(), B->BytesPerScanLine(), PixelFormat32bppRGB,
                                                  static_cast<BYTE*>(B->ScanLine(0)), &Pixels) == Ok &&
        Pixels) {
      FGPBitmap = std::make_unique<TGPBitmap>(Pixels);
      G = std::make_unique<TGPGraphics>(FGPBitmap.get());
    }
  }
  if (!G || !G->Native()) {
    G.reset();
    FGPBitmap.reset();
    G = std::make_unique<TGPGraphics>(Canvas()->Handle());
  }
  if (!G->Native()) return;
  FGPGraphics = std::move(G);
  FSaveGP = FGPGraphics->Save();
  FNeedsRendering = true;
  if (FAntiAliasing || FTextQuality != gtqDefault) ApplyDeviceSettings();
}

void TVivIzudeGraphicsContextWin::ReleaseGraphics() {
  if (!FGPGraphics) return;
  TVivGdiplusScope Scope;
  FGPGraphics->Restore(FSaveGP);
  FGPGraphics->Flush(FlushIntentionSync);
  FGPGraphics.reset();
  FGPBitmap.reset();
  FSaveGP = 0;
}

void TVivIzudeGraphicsContextWin::SetSize(float AWidth, float AHeight) {
  FContextSize = {AWidth, AHeight};
  FSized = true;
  ReleaseGraphics();
  MakeGraphics();
}

void TVivIzudeGraphicsContextWin::Render() {
  if (!FNeedsRendering) return;
  FNeedsRendering = false;
  // GDI+ output reaches the device as the graphics is freed.
  ReleaseGraphics();
  FImageCache.clear();
}

void TVivIzudeGraphicsContextWin::EndScene() {
  if (FGPGraphics) Render();
}

void TVivIzudeGraphicsContextWin::BeginScene() {
  if (!FGPGraphics && FSized) MakeGraphics();
}

void TVivIzudeGraphicsContextWin::ApplyDeviceSettings() {
  FGPGraphics->Restore(FSaveGP);
  FGPGraphics->SetSmoothingMode(FAntiAliasing ? 4 : 0);
  FGPGraphics->SetTextRenderingHint(FTextQuality == gtqAntiAliasing ? TextRenderingHintAntiAlias
                                    : FTextQuality == gtqClearType  ? TextRenderingHintClearTypeGridFit
                                                                    : TextRenderingHintSystemDefault);
  FSaveGP = FGPGraphics->Save();
}

void TVivIzudeGraphicsContextWin::SetAntiAliasing(bool AAntiAliasing) {
  FAntiAliasing = AAntiAliasing;
  if (!FGPGraphics) return;
  TVivGdiplusScope Scope;
  ApplyDeviceSettings();
}

void TVivIzudeGraphicsContextWin::SetTextQuality(TVivIzudeGraphicsTextQuality ATextQuality) {
  FTextQuality = ATextQuality;
  if (!FGPGraphics) return;
  TVivGdiplusScope Scope;
  ApplyDeviceSettings();
}

// ---------------------------------------------------------------- transforms, clip, state
void TVivIzudeGraphicsContextWin::ResetTransform() {
  if (!FGPGraphics) return;
  FGPGraphics->Restore(FSaveGP);
  FSaveGP = FGPGraphics->Save();
}
void TVivIzudeGraphicsContextWin::ScaleTransform(float AX, float AY) {
  if (FGPGraphics) FGPGraphics->ScaleTransform(AX, AY, MatrixOrderPrepend);
}
void TVivIzudeGraphicsContextWin::RotateTransform(float AAngle) {
  if (FGPGraphics) FGPGraphics->RotateTransform(AAngle, MatrixOrderPrepend);
}
void TVivIzudeGraphicsContextWin::TranslateTransform(float AX, float AY) {
  if (FGPGraphics) FGPGraphics->TranslateTransform(AX, AY, MatrixOrderPrepend);
}
void TVivIzudeGraphicsContextWin::ResetClip() {
  if (FGPGraphics) FGPGraphics->ResetClip();
}
void TVivIzudeGraphicsContextWin::ClipRect(const TRectF& ARect) {
  if (FGPGraphics) FGPGraphics->SetClip(GPRect(ARect), CombineModeReplace);
}

void TVivIzudeGraphicsContextWin::ClipPath(TVivIzudeGraphicsPath* APath) {
  if (!FGPGraphics || !APath) return;
  TVivGdiplusScope Scope;
  std::unique_ptr<TGPGraphicsPath> P(static_cast<TGPGraphicsPath*>(ConvertToPath(*APath, 0.25f)));
  if (P) FGPGraphics->SetClip(*P, CombineModeIntersect);
}

void TVivIzudeGraphicsContextWin::SaveState(TVivIzudeGraphicsSaveState* AState) {
  if (FGPGraphics && AState) AState->CustomSaveDC = static_cast<Integer>(FGPGraphics->Save());
}
void TVivIzudeGraphicsContextWin::RestoreState(TVivIzudeGraphicsSaveState* AState) {
  if (FGPGraphics && AState) FGPGraphics->Restore(static_cast<UINT>(AState->CustomSaveDC));
}

// ---------------------------------------------------------------- back-end paths
void TVivIzudeGraphicsContextWin::PathOpen(void* APath) {
  if (APath) static_cast<TGPGraphicsPath*>(APath)->StartFigure();
  FHasMovePoint = false;
}
// A move starts a new figure: the figures of a path are never joined.
void TVivIzudeGraphicsContextWin::PathMoveTo(void* APath, const TPointF& APoint) {
  if (APath) static_cast<TGPGraphicsPath*>(APath)->StartFigure();
  FMovePoint = APoint;
  FHasMovePoint = true;
}
// A figure that starts with a line (a path made of a polygon's points)
// starts at that line's point, as the path's own flattening takes it; no
// line comes from the origin or from the end of an earlier path.
void TVivIzudeGraphicsContextWin::PathLineTo(void* APath, const TPointF& APoint) {
  if (APath && FHasMovePoint)
    static_cast<TGPGraphicsPath*>(APath)->AddLine(FMovePoint.X, FMovePoint.Y, APoint.X, APoint.Y);
  FMovePoint = APoint;
  FHasMovePoint = true;
}
void TVivIzudeGraphicsContextWin::PathClose(void* APath) {
  if (APath) static_cast<TGPGraphicsPath*>(APath)->CloseFigure();
}

// ---------------------------------------------------------------- values
// The own copies follow the facade whether or not a graphics exists, so a
// later scene starts with the facade's values.
void TVivIzudeGraphicsContextWin::SetFontSize(Integer ASize) { FFont->SetSize(ASize); }
void TVivIzudeGraphicsContextWin::SetFontColor(TColor AColor) { FFont->SetColor(AColor); }
void TVivIzudeGraphicsContextWin::SetFontName(const String& AName) { FFont->SetName(AName); }
void TVivIzudeGraphicsContextWin::SetFont(TVivIzudeGraphicsFont* AFont) {
  if (AFont) FFont->Assign(AFont);
}
void TVivIzudeGraphicsContextWin::SetFontStyles(TFontStyles AStyle) { FFont->SetStyle(AStyle); }
void TVivIzudeGraphicsContextWin::SetFill(TVivIzudeGraphicsFill* AFill) {
  if (AFill) FFill->Assign(AFill);
}
void TVivIzudeGraphicsContextWin::SetFillKind(TVivIzudeGraphicsFillKind AKind) { FFill->SetKind(AKind); }
void TVivIzudeGraphicsContextWin::SetFillColor(TColor AColor) { FFill->SetColor(AColor); }
void TVivIzudeGraphicsContextWin::SetStroke(TVivIzudeGraphicsStroke* AStroke) {
  if (AStroke) FStroke->Assign(AStroke);
}
void TVivIzudeGraphicsContextWin::SetStrokeKind(TVivIzudeGraphicsStrokeKind AKind) { FStroke->SetKind(AKind); }
void TVivIzudeGraphicsContextWin::SetStrokeColor(TColor AColor) { FStroke->SetColor(AColor); }
void TVivIzudeGraphicsContextWin::SetStrokeWidth(float AWidth) { FStroke->SetWidth(AWidth); }

void TVivIzudeGraphicsContextWin::FillChanged(TObject*) {
  FGPBrush.reset();
  UpdateBrush(MakeRectF(0, 0, FContextSize.cx, FContextSize.cy));
}

void TVivIzudeGraphicsContextWin::StrokeChanged(TObject*) { FGPPen = CreateGraphicsPen(*FStroke); }

void TVivIzudeGraphicsContextWin::FontChanged(TObject*) {
  FGPFont.reset();
  FGPFont = CreateGraphicsFont(*FFont);
}

// A solid brush does not depend on the rectangle: it is made again only
// when the fill changes; a gradient spans each shape's own rectangle.
void TVivIzudeGraphicsContextWin::UpdateBrush(const TGPRectF& ARect) {
  const bool Gradient = FFill->Kind() == gfkGradient;
  if (FGPBrush && !Gradient && !FBrushIsGradient) return;
  if (FGPBrush && Gradient && FBrushIsGradient && std::memcmp(&ARect, &FBrushRect, sizeof ARect) == 0) return;
  FGPBrush.reset();
  FGPBrush = CreateGraphicsBrush(*FFill, ARect);
  FBrushIsGradient = Gradient;
  FBrushRect = ARect;
}

bool TVivIzudeGraphicsContextWin::Dashed() const { return IsDashed(FStroke->Kind()); }

void TVivIzudeGraphicsContextWin::SaveSmoothingMode() {
  FSmoothingMode = FGPGraphics->GetSmoothingMode();
  FGPGraphics->SetSmoothingMode(0);
}
void TVivIzudeGraphicsContextWin::RestoreSmoothingMode() {
  if (FSmoothingMode >= 0) FGPGraphics->SetSmoothingMode(FSmoothingMode);
}

// ---------------------------------------------------------------- outlines
// Dashed outlines are drawn without anti-aliasing, so that dashes stay crisp.
template <class FDraw>
void TVivIzudeGraphicsContextWin::WithPen(FDraw Draw) {
  if (!FGPGraphics) return;
  if (!FGPPen) StrokeChanged(nullptr);
  const bool Dash = Dashed();
  if (Dash) SaveSmoothingMode();
  Draw();
  if (Dash) RestoreSmoothingMode();
}

void TVivIzudeGraphicsContextWin::DrawLine(TVivIzudeGraphicsStroke*, const TPointF& AFromPoint, const TPointF& AToPoint,
                                           TVivIzudeGraphicsModifyPointMode, TVivIzudeGraphicsModifyPointMode) {
  WithPen([&] { FGPGraphics->DrawLine(*FGPPen, AFromPoint.X, AFromPoint.Y, AToPoint.X, AToPoint.Y); });
}

void TVivIzudeGraphicsContextWin::DrawPolygon(TVivIzudeGraphicsStroke*, const TVivIzudeGraphicsPathPolygon& APolygon) {
  if (APolygon.empty()) return;
  WithPen([&] {
    for (const auto& Figure : PolygonFigures(APolygon)) {
      const auto Points = GPPoints(Figure);
      FGPGraphics->DrawPolygon(*FGPPen, Points.data(), static_cast<INT>(Points.size()));
    }
  });
}

void TVivIzudeGraphicsContextWin::DrawPolyline(TVivIzudeGraphicsStroke*,
                                               const TVivIzudeGraphicsPathPolygon& APolyline) {
  if (APolyline.empty()) return;
  WithPen([&] {
    for (const auto& Figure : PolygonFigures(APolyline)) {
      const auto Points = GPPoints(Figure);
      FGPGraphics->DrawLines(*FGPPen, Points.data(), static_cast<INT>(Points.size()));
    }
  });
}

void TVivIzudeGraphicsContextWin::DrawEllipse(TVivIzudeGraphicsStroke*, const TRectF& ARect,
                                              TVivIzudeGraphicsModifyRectMode) {
  WithPen([&] {
    FGPGraphics->DrawEllipse(*FGPPen, ARect.Left, ARect.Top, ARect.Right - 1 - ARect.Left,
                             ARect.Bottom - 1 - ARect.Top);
  });
}

void TVivIzudeGraphicsContextWin::DrawArc(TVivIzudeGraphicsStroke*, const TPointF& ACenter, const TPointF& ARadius,
                                          float AStartAngle, float ASweepAngle) {
  WithPen([&] {
    FGPGraphics->DrawArc(*FGPPen, ACenter.X - ARadius.X, ACenter.Y - ARadius.Y, 2 * ARadius.X, 2 * ARadius.Y,
                         AStartAngle, ASweepAngle);
  });
}

void TVivIzudeGraphicsContextWin::DrawRect(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect,
                                           TVivIzudeGraphicsSides ASides, TVivIzudeGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  const float L = ARect.Left, T = ARect.Top, R = ARect.Right - 1, B = ARect.Bottom - 1;
  if (ASides.Contains(gsTop)) DrawLine(AStroke, {L, T}, {R, T}, gcpmRightDown, gcpmRightDown);
  if (ASides.Contains(gsLeft)) DrawLine(AStroke, {L, T}, {L, B}, gcpmRightDown, gcpmRightDown);
  if (ASides.Contains(gsBottom)) DrawLine(AStroke, {L, B}, {R, B}, gcpmRightDown, gcpmRightDown);
  if (ASides.Contains(gsRight)) DrawLine(AStroke, {R, T}, {R, B}, gcpmRightDown, gcpmRightDown);
}

void TVivIzudeGraphicsContextWin::DrawRoundRect(TVivIzudeGraphicsStroke*, const TRectF& ARect, float ARounding,
                                                TVivIzudeGraphicsCorners ACorners, TVivIzudeGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  TVivIzudeGraphicsPath P;
  RoundRectPath(P, ARect.Left, ARect.Top, ARect.Right - 1, ARect.Bottom - 1, ARounding, ACorners);
  DrawPath(FStroke.get(), &P, pdmPolygon);
}

void TVivIzudeGraphicsContextWin::DrawPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath* APath,
                                           TVivIzudeGraphicsPathDrawMode APathMode) {
  if (!APath || !FGPGraphics) return;
  TVivIzudeGraphicsPathPolygon Polygon;
  APath->FlattenToPolygon(Polygon, 0.25f);
  if (APathMode == pdmPolygon)
    DrawPolygon(AStroke, Polygon);
  else
    DrawPolyline(AStroke, Polygon);
}

// ---------------------------------------------------------------- fills
void TVivIzudeGraphicsContextWin::FillRect(TVivIzudeGraphicsFill*, const TRectF& ARect,
                                           TVivIzudeGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  const TGPRectF R = GPRect(ARect);
  UpdateBrush(R);
  if (FGPBrush) FGPGraphics->FillRectangle(*FGPBrush, R);
}

void TVivIzudeGraphicsContextWin::FillEllipse(TVivIzudeGraphicsFill*, const TRectF& ARect,
                                              TVivIzudeGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  const TGPRectF R = GPRect(ARect);
  UpdateBrush(R);
  if (FGPBrush) FGPGraphics->FillEllipse(*FGPBrush, R);
}

void TVivIzudeGraphicsContextWin::FillRoundRect(TVivIzudeGraphicsFill*, const TRectF& ARect, float ARounding,
                                                TVivIzudeGraphicsCorners ACorners, TVivIzudeGraphicsModifyRectMode) {
  if (!FGPGraphics) return;
  TVivIzudeGraphicsPath P;
  RoundRectPath(P, ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, ARounding, ACorners);
  FillPath(FFill.get(), &P, pdmPolygon);
}

void TVivIzudeGraphicsContextWin::FillPath(TVivIzudeGraphicsFill* AFill, TVivIzudeGraphicsPath* APath,
                                           TVivIzudeGraphicsPathDrawMode APathMode) {
  if (!APath || !FGPGraphics) return;
  TVivIzudeGraphicsPathPolygon Polygon;
  APath->FlattenToPolygon(Polygon, 0.25f);
  if (APathMode == pdmPolygon)
    FillPolygon(AFill, Polygon);
  else
    FillPolyline(AFill, Polygon);
}

void TVivIzudeGraphicsContextWin::FillPolygon(TVivIzudeGraphicsFill*, const TVivIzudeGraphicsPathPolygon& APolygon) {
  if (!FGPGraphics || APolygon.empty()) return;
  // A gradient spans the polygon itself, however the polygon was reached.
  UpdateBrush(GPRect(PolygonBounds(APolygon)));
  if (!HasFigureSeparator(APolygon)) {
    const auto Points = GPPoints(APolygon);
    FGPGraphics->FillPolygon(*FGPBrush, Points.data(), static_cast<INT>(Points.size()));
    return;
  }
  // Several figures fill as one path, so that holes stay holes.
  TVivGdiplusScope Scope;
  TGPGraphicsPath Path(FillModeAlternate);
  for (const auto& Figure : PolygonFigures(APolygon)) {
    const auto Points = GPPoints(Figure);
    Path.AddPolygon(Points.data(), static_cast<INT>(Points.size()));
  }
  FGPGraphics->FillPath(FGPBrush.get(), &Path);
}

void TVivIzudeGraphicsContextWin::FillPolyline(TVivIzudeGraphicsFill* AFill,
                                               const TVivIzudeGraphicsPathPolygon& APolyline) {
  FillPolygon(AFill, APolyline);
}

void TVivIzudeGraphicsContextWin::FillArc(TVivIzudeGraphicsFill*, const TPointF& ACenter, const TPointF& ARadius,
                                          float AStartAngle, float ASweepAngle) {
  if (!FGPGraphics) return;
  TVivGdiplusScope Scope;
  TGPGraphicsPath Path(FillModeAlternate);
  Path.AddArc(ACenter.X - ARadius.X, ACenter.Y - ARadius.Y, 2 * ARadius.X, 2 * ARadius.Y, AStartAngle, ASweepAngle);
  TGPRectF Bounds{};
  Path.GetBounds(Bounds);
  UpdateBrush(Bounds);
  if (FGPBrush) FGPGraphics->FillPath(FGPBrush.get(), &Path);
}

// ---------------------------------------------------------------- focus lines
void TVivIzudeGraphicsContextWin::DrawFocusRectangle(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect,
                                                     TColor AColor, TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  if (!FGPGraphics || !FGPPen) return;
  const INT Smoothing = FGPGraphics->GetSmoothingMode();
  FGPGraphics->SetSmoothingMode(0);
  const DashStyle OldDash = FGPPen->GetDashStyle();
  const REAL OldWidth = FGPPen->GetWidth();
  ARGB OldColor = 0;
  const bool HadColor = FGPPen->GetColor(OldColor) == Ok;
  FGPPen->SetDashStyle(DashStyleDot);
  FGPPen->SetWidth(1);
  FGPPen->SetColor(MakeGraphicsColor(AColor, 1));
  DrawRect(AStroke, ARect, AllSides, AModifyRectMode);
  FGPPen->SetWidth(OldWidth);
  FGPPen->SetDashStyle(OldDash);
  if (HadColor) FGPPen->SetColor(OldColor);
  if (Smoothing >= 0) FGPGraphics->SetSmoothingMode(Smoothing);
}

void TVivIzudeGraphicsContextWin::DrawFocusPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath* APath,
                                                TColor AColor) {
  if (!FGPGraphics || !FGPPen) return;
  const INT Smoothing = FGPGraphics->GetSmoothingMode();
  FGPGraphics->SetSmoothingMode(0);
  const DashStyle OldDash = FGPPen->GetDashStyle();
  const REAL OldWidth = FGPPen->GetWidth();
  ARGB OldColor = 0;
  const bool HadColor = FGPPen->GetColor(OldColor) == Ok;
  FGPPen->SetDashStyle(DashStyleDot);
  FGPPen->SetWidth(1);
  FGPPen->SetColor(MakeGraphicsColor(AColor, 1));
  DrawPath(AStroke, APath, pdmPolygon);
  FGPPen->SetWidth(OldWidth);
  FGPPen->SetDashStyle(OldDash);
  if (HadColor) FGPPen->SetColor(OldColor);
  if (Smoothing >= 0) FGPGraphics->SetSmoothingMode(Smoothing);
}

// ---------------------------------------------------------------- text
TRectF TVivIzudeGraphicsContextWin::CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) {
  if (!FGPGraphics) return {};
  if (!FGPFont) FontChanged(nullptr);
  const auto Format = CreateGraphicsStringFormat(gtaLeading, gtaLeading, AWordWrapping, FShowAcceleratorChar, gttNone);
  TGPRectF Box{};
  FGPGraphics->MeasureString(AText, -1, FGPFont.get(), GPRect(ARect), Format.get(), Box);
  return {Box.X, Box.Y, Box.X + Box.Width, Box.Y + Box.Height};
}

void TVivIzudeGraphicsContextWin::DrawText(const String& AText, const TRectF& ARect, bool AWordWrapping,
                                           TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                           TVivIzudeGraphicsTextAlign AVerticalAlign,
                                           TVivIzudeGraphicsTextTrimming ATrimming, float) {
  if (!FGPGraphics) return;
  if (!FGPFont) FontChanged(nullptr);
  TVivGdiplusScope Scope;
  const TGPSolidBrush Brush(MakeGraphicsColor(FFont->Color(), 1));
  const auto Format =
      CreateGraphicsStringFormat(AHorizontalAlign, AVerticalAlign, AWordWrapping, FShowAcceleratorChar, ATrimming);
  // Leading, unwrapped text starts at the box's left whatever its width;
  // in a box as wide as its own measure GDI+ may still drop the last letter
  // (Wine's does), so such text gets room to the right.
  TRectF Box = ARect;
  if (!AWordWrapping && AHorizontalAlign == gtaLeading && ATrimming == gttNone)
    Box.Right =
        std::max(Box.Right, Box.Left + static_cast<float>(AText.size() + 1) * 4 * std::max<Integer>(FFont->Size(), 8));
  FGPGraphics->DrawString(AText, -1, FGPFont.get(), GPRect(Box), Format.get(), &Brush);
}

TRectF TVivIzudeGraphicsContextWin::SetTextAngle(const TRectF& ARect, float AAngle) {
  if (!FGPGraphics || AAngle == 0) return ARect;
  TVivGdiplusScope Scope;
  FTextMatrix = std::make_unique<TGPMatrix>();
  FGPGraphics->GetTransform(*FTextMatrix);
  const float W = ARect.Right - ARect.Left, H = ARect.Bottom - ARect.Top;
  {
    TGPMatrix M;
    M.Translate(ARect.Left + W / 2, ARect.Top + H / 2, MatrixOrderPrepend);
    M.Rotate(AAngle, MatrixOrderPrepend);
    FGPGraphics->MultiplyTransform(M, MatrixOrderPrepend);
  }
  if (H <= W) return {-W / 2, -H / 2, W / 2, H / 2};
  return {-H / 2, -W / 2, H / 2, W / 2};
}

void TVivIzudeGraphicsContextWin::ResetTextAngle(float AAngle) {
  if (!FGPGraphics || AAngle == 0 || !FTextMatrix) return;
  FGPGraphics->SetTransform(*FTextMatrix);
  FTextMatrix.reset();
}

// ---------------------------------------------------------------- pictures
TGPImage* TVivIzudeGraphicsContextWin::ImageOf(TGraphic* ABitmap) {
  TMemoryStream Bytes;
  ABitmap->SaveToStream(Bytes);
  std::uint64_t Hash = HashBytes(Bytes.Memory(), static_cast<std::size_t>(Bytes.Size()));
  TColor Key = 0;
  if (TransparentKey(ABitmap, Key)) Hash = HashBytes(&Key, sizeof Key, Hash ^ 1);
  const Integer W = ABitmap->Width(), H = ABitmap->Height();
  for (const auto& E : FImageCache)
    if (E.Hash == Hash && E.Width == W && E.Height == H) return E.Image ? E.Image->Image.get() : nullptr;
  // A scene drawing many different pictures keeps only the recent ones.
  constexpr std::size_t MaxCached = 64;
  if (FImageCache.size() >= MaxCached) FImageCache.erase(FImageCache.begin());
  FImageCache.push_back({Hash, W, H, CreateGraphicsImage(ABitmap)});
  ++FImagesConverted;
  const auto& Made = FImageCache.back().Image;
  return Made ? Made->Image.get() : nullptr;
}

void TVivIzudeGraphicsContextWin::DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float) {
  if (!ABitmap || !FGPGraphics || ABitmap->Empty()) return;
  TVivGdiplusScope Scope;
  TGPImage* Image = ImageOf(ABitmap);
  if (!Image) return;
  const float W = static_cast<float>(ABitmap->Width()), H = static_cast<float>(ABitmap->Height());
  const bool Whole = ASrcRect.Left <= 0 && ASrcRect.Top <= 0 && ASrcRect.Right >= W && ASrcRect.Bottom >= H;
  if (Whole || ASrcRect.IsEmpty())
    FGPGraphics->DrawImage(Image, GPRect(ADstRect));
  else
    FGPGraphics->DrawImage(Image, GPRect(ADstRect), ASrcRect.Left, ASrcRect.Top, ASrcRect.Right - ASrcRect.Left,
                           ASrcRect.Bottom - ASrcRect.Top, UnitPixel);
}
