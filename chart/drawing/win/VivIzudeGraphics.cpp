// The drawing facade's object: state, scene, shapes, pictures, text and the
// own-drawn widgets. Its rules that need no device are in the portable part
// (chart/drawing/VivIzudeGraphics.cpp, namespace VivIzudeGraphicsLayout).
#include "chart/drawing/VivIzudeGraphics.h"

#include <cmath>

#include "chart/drawing/VivIzudeHTMLEngine.h"
#include "chart/drawing/VivIzudeTypes.h"
#include "chart/drawing/VivIzudeUtils.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "chart/drawing/win/VivIzudeTypes.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "vcl/Graphics.h"
#include "vcl/Pictures.h"

namespace Layout = VivIzudeGraphicsLayout;

namespace {

TRectF RectF(double L, double T, double R, double B) {
  return {static_cast<float>(L), static_cast<float>(T), static_cast<float>(R), static_cast<float>(B)};
}

// The display scale where a caller gives none.
float DisplayScale() { return TVivIzudeUtils::GetDPIScale(nullptr); }

// A rounded rectangle's outline, for clipping a texture to it.
void AddRoundRect(TVivIzudeGraphicsPath& P, const TRectF& R, float ARounding, TVivIzudeGraphicsCorners ACorners) {
  const float Rd = std::max(0.0f, std::min(ARounding, std::min(R.Right - R.Left, R.Bottom - R.Top) / 2));
  const auto Corner = [&](TVivIzudeGraphicsCorner C, const TPointF& Center, float Start, const TPointF& Sharp) {
    if (ACorners.Contains(C) && Rd > 0)
      P.AddArc(Center, {Rd, Rd}, Start, 90);
    else if (P.Count() == 0)
      P.MoveTo(Sharp);
    else
      P.LineTo(Sharp);
  };
  Corner(gcTopLeft, {R.Left + Rd, R.Top + Rd}, 180, {R.Left, R.Top});
  Corner(gcTopRight, {R.Right - Rd, R.Top + Rd}, 270, {R.Right, R.Top});
  Corner(gcBottomRight, {R.Right - Rd, R.Bottom - Rd}, 0, {R.Right, R.Bottom});
  Corner(gcBottomLeft, {R.Left + Rd, R.Bottom - Rd}, 90, {R.Left, R.Bottom});
  P.ClosePath();
}

const char16_t* const GlyphClose = u"VIVIZUDEGRAPHICSCLOSE";
const char16_t* const GlyphDown = u"VIVIZUDEGRAPHICSDOWN";
const char16_t* const GlyphUp = u"VIVIZUDEGRAPHICSUP";
const char16_t* const GlyphRight = u"VIVIZUDEGRAPHICSRIGHT";
const char16_t* const GlyphLeft = u"VIVIZUDEGRAPHICSLEFT";
const char16_t* const GlyphExpand = u"VIVIZUDEGRAPHICSEXPAND";

}  // namespace

TCanvas* TVivIzudeGraphicsContext::Canvas() const { return FGraphics ? FGraphics->Canvas() : nullptr; }

// ---------------------------------------------------------------- creation
TVivIzudeGraphics::TVivIzudeGraphics(TCanvas* ACanvas, bool ANative) : FActiveCanvas(ACanvas) {
  Construct(ANative, 1, 1);
  FHighlightColor = 0xFF0000;
  FHighlightTextColor = 0xFFFFFF;
  FHighlightFontStyles = {};
  InitializeDefaults();
}

TVivIzudeGraphics::TVivIzudeGraphics(TBitmapCanvasTag, Integer AWidth, Integer AHeight, bool ANative) {
  FBitmap = std::make_unique<TBitmap>();
  FBitmap->SetSize(std::max<Integer>(AWidth, 0), std::max<Integer>(AHeight, 0));
  FActiveCanvas = FBitmap->Canvas();
  Construct(ANative, static_cast<float>(AWidth), static_cast<float>(AHeight));
  InitializeDefaults();
}

std::unique_ptr<TVivIzudeGraphics> TVivIzudeGraphics::CreateNative(TCanvas* ACanvas) {
  return std::make_unique<TVivIzudeGraphics>(ACanvas, true);
}

std::unique_ptr<TVivIzudeGraphics> TVivIzudeGraphics::CreateBitmapCanvas(Integer AWidth, Integer AHeight, bool ANative,
                                                                         bool) {
  return std::unique_ptr<TVivIzudeGraphics>(new TVivIzudeGraphics(TBitmapCanvasTag{}, AWidth, AHeight, ANative));
}

std::unique_ptr<TVivIzudeGraphics> TVivIzudeGraphics::CreateNativeBitmapCanvas(Integer AWidth, Integer AHeight) {
  return CreateBitmapCanvas(AWidth, AHeight, true, true);
}

void TVivIzudeGraphics::Construct(bool ANative, float AWidth, float AHeight) {
  FNative = ANative;
  TVivIzudeGraphicsContextClass Make = ContextClassOverride;
  if (!Make) Make = ANative ? GetNativeContextClass() : GetGeneralContextClass();
  std::unique_ptr<TVivIzudeGraphicsContext> C = Make(this);
  (ANative ? FContextNative : FContextGeneral) = std::move(C);
  GetContext()->SetSize(AWidth, AHeight);
  FFill = std::make_unique<TVivIzudeGraphicsFill>(gfkSolid, 0xFFFFFF);
  FFill->OnChanged = [this](TObject* Sender) { FillChanged(Sender); };
  FStroke = std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, 0xC0C0C0);
  FStroke->OnChanged = [this](TObject* Sender) { StrokeChanged(Sender); };
  FFont = std::make_unique<TVivIzudeGraphicsFont>();
  FFont->OnChanged = [this](TObject* Sender) { FontChanged(Sender); };
}

void TVivIzudeGraphics::InitializeDefaults() {
  FURLColor = 0xFF0000;
  FURLUnderline = true;
  SetFill(FFill.get());
  SetStroke(FStroke.get());
  SetFont(FFont.get());
}

TVivIzudeGraphics::~TVivIzudeGraphics() {
  FContextNative.reset();
  FContextGeneral.reset();
  FFont->OnChanged = nullptr;
  FFont.reset();
  FFill->OnChanged = nullptr;
  FFill.reset();
  FStroke->OnChanged = nullptr;
  FStroke.reset();
  FBitmapContainer = nullptr;
  FImageList = nullptr;
  FBitmap.reset();
}

TVivIzudeGraphicsContext* TVivIzudeGraphics::GetContext() const {
  return FNative ? FContextNative.get() : FContextGeneral.get();
}

// ---------------------------------------------------------------- scene
void TVivIzudeGraphics::BeginScene() {
  FSceneEnded = false;
  GetContext()->BeginScene();
}

void TVivIzudeGraphics::EndScene() {
  GetContext()->EndScene();
  FSceneEnded = true;
}

TVivIzudeGraphicsContext* TVivIzudeGraphics::DrawingContext() {
  if (FSceneEnded) BeginScene();
  return GetContext();
}

void TVivIzudeGraphics::StartSpecialPen() { GetContext()->StartSpecialPen(); }
void TVivIzudeGraphics::StopSpecialPen() { GetContext()->StopSpecialPen(); }

// ---------------------------------------------------------------- state
void TVivIzudeGraphics::FillChanged(TObject*) { SetFill(FFill.get()); }
void TVivIzudeGraphics::StrokeChanged(TObject*) { SetStroke(FStroke.get()); }
void TVivIzudeGraphics::FontChanged(TObject*) { SetFont(FFont.get()); }

namespace {
// The setters' protocol: ignored while another setter runs; the context
// first, then the facade's own object, whose change event comes back here
// and is ignored.
template <class F>
void Guarded(Integer& ABlock, F&& AWork) {
  if (ABlock > 0) return;
  ++ABlock;
  struct TDone {
    Integer& B;
    ~TDone() { --B; }
  } Done{ABlock};
  AWork();
}
}  // namespace

void TVivIzudeGraphics::SetFill(TVivIzudeGraphicsFill* AFill) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetFill(AFill);
    FFill->Assign(AFill);
  });
}
void TVivIzudeGraphics::SetStroke(TVivIzudeGraphicsStroke* AStroke) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetStroke(AStroke);
    FStroke->Assign(AStroke);
  });
}
void TVivIzudeGraphics::SetFont(TVivIzudeGraphicsFont* AFont) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetFont(AFont);
    FFont->AssignSource(AFont);
  });
}
void TVivIzudeGraphics::SetFillKind(TVivIzudeGraphicsFillKind AKind) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetFillKind(AKind);
    FFill->SetKind(AKind);
  });
}
void TVivIzudeGraphics::SetFillColor(TColor AColor) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetFillColor(AColor);
    FFill->SetColor(AColor);
  });
}
void TVivIzudeGraphics::SetFontColor(TColor AColor) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetFontColor(AColor);
    FFont->SetColor(AColor);
  });
}
void TVivIzudeGraphics::SetFontName(const String& AName) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetFontName(AName);
    FFont->SetName(AName);
  });
}
void TVivIzudeGraphics::SetFontSize(Integer ASize) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetFontSize(ASize);
    FFont->SetSize(ASize);
  });
}
void TVivIzudeGraphics::SetFontStyles(TFontStyles AStyle) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetFontStyles(AStyle);
    FFont->SetStyle(AStyle);
  });
}
void TVivIzudeGraphics::SetStrokeKind(TVivIzudeGraphicsStrokeKind AKind) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetStrokeKind(AKind);
    FStroke->SetKind(AKind);
  });
}
void TVivIzudeGraphics::SetStrokeColor(TColor AColor) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetStrokeColor(AColor);
    FStroke->SetColor(AColor);
  });
}
void TVivIzudeGraphics::SetStrokeWidth(float AWidth) {
  Guarded(FBlockUpdate, [&] {
    GetContext()->SetStrokeWidth(AWidth);
    FStroke->SetWidth(AWidth);
  });
}

void TVivIzudeGraphics::Assign(const TVivIzudeGraphics* Source) {
  if (!Source) return;
  FFill->BeginUpdate();
  FFill->Assign(Source->Fill());
  FFill->EndUpdate();
  FStroke->BeginUpdate();
  FStroke->Assign(Source->Stroke());
  FStroke->EndUpdate();
  FFont->BeginUpdate();
  FFont->AssignSource(Source->Font());
  FFont->EndUpdate();
}

std::unique_ptr<TVivIzudeGraphicsSaveState> TVivIzudeGraphics::SaveState(bool ACanvasOnly) {
  auto State = std::make_unique<TVivIzudeGraphicsSaveState>();
  if (!ACanvasOnly) {
    State->SetFill(FFill.get());
    State->SetStroke(FStroke.get());
    State->SetFont(FFont.get());
  }
  GetContext()->SaveState(State.get());
  return State;
}

void TVivIzudeGraphics::RestoreState(std::unique_ptr<TVivIzudeGraphicsSaveState> AState, bool ACanvasOnly) {
  if (!AState) return;
  if (!ACanvasOnly) {
    SetFill(AState->Fill());
    SetStroke(AState->Stroke());
    SetFont(AState->Font());
  }
  GetContext()->RestoreState(AState.get());
}

// ---------------------------------------------------------------- shapes
namespace {
bool WantsFill(const TVivIzudeGraphicsFill& F) { return Layout::FillsShape(F.Kind(), F.Color()); }
// Arcs and polylines: the context fills them, textures or not.
bool WantsPlainFill(const TVivIzudeGraphicsFill& F) { return Layout::FillsShape(F.Kind(), F.Color(), false); }
bool WantsStroke(const TVivIzudeGraphicsStroke& S) { return Layout::StrokesShape(S.Kind(), S.Color()); }
}  // namespace

void TVivIzudeGraphics::DrawLine(const TPoint& AFromPoint, const TPoint& AToPoint,
                                 TVivIzudeGraphicsModifyPointMode AModifyPointModeFrom,
                                 TVivIzudeGraphicsModifyPointMode AModifyPointModeTo) {
  DrawLine(ConvertToPointF(AFromPoint), ConvertToPointF(AToPoint), AModifyPointModeFrom, AModifyPointModeTo);
}

void TVivIzudeGraphics::DrawLine(const TPointF& AFromPoint, const TPointF& AToPoint,
                                 TVivIzudeGraphicsModifyPointMode AModifyPointModeFrom,
                                 TVivIzudeGraphicsModifyPointMode AModifyPointModeTo) {
  if (!WantsStroke(*FStroke)) return;
  DrawingContext()->DrawLine(FStroke.get(), AFromPoint, AToPoint, AModifyPointModeFrom, AModifyPointModeTo);
}

void TVivIzudeGraphics::DrawFocusRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, TColor AColor,
                                           TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawFocusRectangle(TRect{ALeft, ATop, ARight, ABottom}, AColor, AModifyRectMode);
}
void TVivIzudeGraphics::DrawFocusRectangle(const TRect& ARect, TColor AColor,
                                           TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawFocusRectangle(ConvertToRectF(ARect), AColor, AModifyRectMode);
}
void TVivIzudeGraphics::DrawFocusRectangle(const TRectF& ARect, TColor AColor,
                                           TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawFocusRectangle(static_cast<double>(ARect.Left), ARect.Top, ARect.Right, ARect.Bottom, AColor, AModifyRectMode);
}
void TVivIzudeGraphics::DrawFocusRectangle(double ALeft, double ATop, double ARight, double ABottom, TColor AColor,
                                           TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawingContext()->DrawFocusRectangle(FStroke.get(), RectF(ALeft, ATop, ARight, ABottom), AColor, AModifyRectMode);
}
void TVivIzudeGraphics::DrawFocusPath(TVivIzudeGraphicsPath* APath, TColor AColor) {
  DrawingContext()->DrawFocusPath(FStroke.get(), APath, AColor);
}

// The texture of a texture fill, over ABounds and cut to the shape (AShape;
// the rectangle itself when nullptr), so that neither the corners outside a
// rounded shape nor tiles running past the shape are painted. The cut is a
// path in every case: a path narrows the clip in force on every back end,
// where a clip rectangle may replace it.
void TVivIzudeGraphics::FillWithTexture(const TRectF& ABounds, TVivIzudeGraphicsPath* AShape) {
  if (IsPictureEmpty(FFill->Texture())) return;
  TVivIzudeGraphicsPath Box;
  if (!AShape) {
    Box.AddRectangle(ABounds);
    AShape = &Box;
  }
  auto State = SaveState(true);
  TScopeExit Restore([&] { RestoreState(std::move(State), true); });
  GetContext()->ClipPath(AShape);
  DrawTexture(ABounds, FFill->Texture(), FFill->TextureMode());
}

void TVivIzudeGraphics::DrawPolygon(const TVivIzudeGraphicsPathPolygon& APolygon) {
  TVivIzudeGraphicsContext* C = DrawingContext();
  if (WantsFill(*FFill)) {
    if (FFill->Kind() == gfkTexture) {
      TVivIzudeGraphicsPath P;
      P.AddPolygon(APolygon);
      FillWithTexture(P.GetBounds(), &P);
    } else {
      C->FillPolygon(FFill.get(), APolygon);
    }
  }
  if (WantsStroke(*FStroke)) C->DrawPolygon(FStroke.get(), APolygon);
}

void TVivIzudeGraphics::DrawPolyline(const TVivIzudeGraphicsPathPolygon& APolyline) {
  TVivIzudeGraphicsContext* C = DrawingContext();
  if (WantsPlainFill(*FFill)) C->FillPolyline(FFill.get(), APolyline);
  if (WantsStroke(*FStroke)) C->DrawPolyline(FStroke.get(), APolyline);
}

void TVivIzudeGraphics::DrawPath(TVivIzudeGraphicsPath* APath, TVivIzudeGraphicsPathDrawMode APathMode) {
  if (!APath) return;
  TVivIzudeGraphicsContext* C = DrawingContext();
  if (WantsFill(*FFill)) {
    if (FFill->Kind() == gfkTexture)
      FillWithTexture(APath->GetBounds(), APath);
    else
      C->FillPath(FFill.get(), APath, APathMode);
  }
  if (WantsStroke(*FStroke)) C->DrawPath(FStroke.get(), APath, APathMode);
}

void TVivIzudeGraphics::DrawArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle) {
  TVivIzudeGraphicsContext* C = DrawingContext();
  if (WantsPlainFill(*FFill)) C->FillArc(FFill.get(), Center, Radius, StartAngle, SweepAngle);
  if (WantsStroke(*FStroke)) C->DrawArc(FStroke.get(), Center, Radius, StartAngle, SweepAngle);
}

void TVivIzudeGraphics::DrawArc(const TPoint& Center, const TPoint& Radius, Integer StartAngle, Integer SweepAngle) {
  DrawArc(ConvertToPointF(Center), ConvertToPointF(Radius), static_cast<float>(StartAngle),
          static_cast<float>(SweepAngle));
}

void TVivIzudeGraphics::DrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
                                      TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(ALeft, ATop, ARight, ABottom, AllSides, AModifyRectMode);
}

void TVivIzudeGraphics::DrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
                                      TVivIzudeGraphicsSides ASides, TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  const TRectF R = RectF(ALeft, ATop, ARight, ABottom);
  TVivIzudeGraphicsContext* C = DrawingContext();
  if (WantsFill(*FFill)) {
    if (FFill->Kind() == gfkTexture)
      FillWithTexture(R, nullptr);
    else
      C->FillRect(FFill.get(), R, AModifyRectMode);
  }
  if (WantsStroke(*FStroke)) C->DrawRect(FStroke.get(), R, ASides, AModifyRectMode);
}

void TVivIzudeGraphics::DrawRectangle(const TRectF& ARect, TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(static_cast<double>(ARect.Left), ARect.Top, ARect.Right, ARect.Bottom, AllSides, AModifyRectMode);
}
void TVivIzudeGraphics::DrawRectangle(const TRectF& ARect, TVivIzudeGraphicsSides ASides,
                                      TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(static_cast<double>(ARect.Left), ARect.Top, ARect.Right, ARect.Bottom, ASides, AModifyRectMode);
}
void TVivIzudeGraphics::DrawRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                      TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(ConvertToRectF(TRect{ALeft, ATop, ARight, ABottom}), AModifyRectMode);
}
void TVivIzudeGraphics::DrawRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                      TVivIzudeGraphicsSides ASides, TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(ConvertToRectF(TRect{ALeft, ATop, ARight, ABottom}), ASides, AModifyRectMode);
}
void TVivIzudeGraphics::DrawRectangle(const TRect& ARect, TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(ConvertToRectF(ARect), AModifyRectMode);
}
void TVivIzudeGraphics::DrawRectangle(const TRect& ARect, TVivIzudeGraphicsSides ASides,
                                      TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRectangle(ConvertToRectF(ARect), ASides, AModifyRectMode);
}

void TVivIzudeGraphics::DrawEllipse(double ALeft, double ATop, double ARight, double ABottom,
                                    TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  const TRectF R = RectF(ALeft, ATop, ARight, ABottom);
  TVivIzudeGraphicsContext* C = DrawingContext();
  if (WantsFill(*FFill)) {
    if (FFill->Kind() == gfkTexture) {
      TVivIzudeGraphicsPath P;
      P.AddEllipse(R);
      FillWithTexture(R, &P);
    } else {
      C->FillEllipse(FFill.get(), R, AModifyRectMode);
    }
  }
  if (WantsStroke(*FStroke)) C->DrawEllipse(FStroke.get(), R, AModifyRectMode);
}
void TVivIzudeGraphics::DrawEllipse(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                    TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawEllipse(ConvertToRectF(TRect{ALeft, ATop, ARight, ABottom}), AModifyRectMode);
}
void TVivIzudeGraphics::DrawEllipse(const TRectF& ARect, TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawEllipse(static_cast<double>(ARect.Left), ARect.Top, ARect.Right, ARect.Bottom, AModifyRectMode);
}
void TVivIzudeGraphics::DrawEllipse(const TRect& ARect, TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawEllipse(ConvertToRectF(ARect), AModifyRectMode);
}

void TVivIzudeGraphics::DrawRoundRectangle(double ALeft, double ATop, double ARight, double ABottom, float ARounding,
                                           TVivIzudeGraphicsCorners ACorners,
                                           TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  const TRectF R = RectF(ALeft, ATop, ARight, ABottom);
  TVivIzudeGraphicsContext* C = DrawingContext();
  if (WantsFill(*FFill)) {
    if (FFill->Kind() == gfkTexture) {
      TVivIzudeGraphicsPath P;
      AddRoundRect(P, R, ARounding, ACorners);
      FillWithTexture(R, &P);
    } else {
      C->FillRoundRect(FFill.get(), R, ARounding, ACorners, AModifyRectMode);
    }
  }
  if (WantsStroke(*FStroke)) C->DrawRoundRect(FStroke.get(), R, ARounding, ACorners, AModifyRectMode);
}
void TVivIzudeGraphics::DrawRoundRectangle(const TRectF& ARect, float ARounding, TVivIzudeGraphicsCorners ACorners,
                                           TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRoundRectangle(static_cast<double>(ARect.Left), ARect.Top, ARect.Right, ARect.Bottom, ARounding, ACorners,
                     AModifyRectMode);
}
void TVivIzudeGraphics::DrawRoundRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                           Integer ARounding, TVivIzudeGraphicsCorners ACorners,
                                           TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRoundRectangle(ConvertToRectF(TRect{ALeft, ATop, ARight, ABottom}), static_cast<float>(ARounding), ACorners,
                     AModifyRectMode);
}
void TVivIzudeGraphics::DrawRoundRectangle(const TRect& ARect, Integer ARounding, TVivIzudeGraphicsCorners ACorners,
                                           TVivIzudeGraphicsModifyRectMode AModifyRectMode) {
  DrawRoundRectangle(ConvertToRectF(ARect), static_cast<float>(ARounding), ACorners, AModifyRectMode);
}

void TVivIzudeGraphics::DrawTexture(const TRectF& ARect, TPicture* ATexture, TVivIzudeGraphicsTextureMode AMode) {
  if (IsPictureEmpty(ATexture)) return;
  TGraphic* G = ATexture->Graphic();
  const float W = static_cast<float>(G->Width()), H = static_cast<float>(G->Height());
  const TRectF Whole{0, 0, W, H};
  switch (AMode) {
    case gtmOriginal: {
      const TRectF C = IntersectRectF(ARect, {ARect.Left, ARect.Top, ARect.Left + W, ARect.Top + H});
      const float CW = RectWidthF(C), CH = RectHeightF(C);
      DrawBitmapPart(TRectF{0, 0, CW, CH}, TRectF{ARect.Left, ARect.Top, ARect.Left + CW, ARect.Top + CH}, G, false,
                     false, false, false);
      break;
    }
    case gtmFit:
      DrawBitmapPart(Whole, SnapRectF(FitRectF(Whole, ARect), false, 1), G, false, true, false, false);
      break;
    case gtmStretch:
      DrawBitmapPart(Whole, ARect, G, false, true, false, false);
      break;
    case gtmCenter:
      DrawBitmapPart(Whole, SnapRectF(CenterInRectF(Whole, ARect), false, 1), G, true, false, true, false);
      break;
    case gtmTile:
      for (const TRectF& T : Layout::TextureTiles(ARect, W, H)) DrawBitmap(T, G, false, false, false, false);
      break;
  }
}

// ---------------------------------------------------------------- pictures
TRectF TVivIzudeGraphics::GetBitmapDrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
                                                 TGraphic* ABitmap, bool AAspectRatio, bool AStretch, bool ACenter,
                                                 bool ACropping) {
  if (!ABitmap) return {};
  return Layout::BitmapDrawRectangle(ALeft, ATop, ARight, ABottom, static_cast<float>(ABitmap->Width()),
                                     static_cast<float>(ABitmap->Height()), AAspectRatio, AStretch, ACenter, ACropping);
}
TRectF TVivIzudeGraphics::GetBitmapDrawRectangle(const TRectF& ARect, TGraphic* ABitmap, bool AAspectRatio,
                                                 bool AStretch, bool ACenter, bool ACropping) {
  return GetBitmapDrawRectangle(static_cast<double>(ARect.Left), ARect.Top, ARect.Right, ARect.Bottom, ABitmap,
                                AAspectRatio, AStretch, ACenter, ACropping);
}
TRect TVivIzudeGraphics::GetBitmapDrawRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                                TGraphic* ABitmap, bool AAspectRatio, bool AStretch, bool ACenter,
                                                bool ACropping) {
  return GetBitmapDrawRectangle(TRect{ALeft, ATop, ARight, ABottom}, ABitmap, AAspectRatio, AStretch, ACenter,
                                ACropping);
}
TRect TVivIzudeGraphics::GetBitmapDrawRectangle(const TRect& ARect, TGraphic* ABitmap, bool AAspectRatio, bool AStretch,
                                                bool ACenter, bool ACropping) {
  return ConvertToRect(
      GetBitmapDrawRectangle(ConvertToRectF(ARect), ABitmap, AAspectRatio, AStretch, ACenter, ACropping));
}

void TVivIzudeGraphics::DrawBitmap(double ALeft, double ATop, double ARight, double ABottom, TGraphic* ABitmap,
                                   bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  if (!ABitmap) return;
  const TRectF Dst =
      GetBitmapDrawRectangle(ALeft, ATop, ARight, ABottom, ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
  const TRectF Src{0, 0, static_cast<float>(ABitmap->Width()), static_cast<float>(ABitmap->Height())};
  DrawingContext()->DrawBitmap(ABitmap, Src, Dst, 1.0f);
}
void TVivIzudeGraphics::DrawBitmap(const TRectF& ARect, TGraphic* ABitmap, bool AAspectRatio, bool AStretch,
                                   bool ACenter, bool ACropping) {
  DrawBitmap(static_cast<double>(ARect.Left), ARect.Top, ARect.Right, ARect.Bottom, ABitmap, AAspectRatio, AStretch,
             ACenter, ACropping);
}
void TVivIzudeGraphics::DrawBitmap(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, TGraphic* ABitmap,
                                   bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  DrawBitmap(ConvertToRectF(TRect{ALeft, ATop, ARight, ABottom}), ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
}
void TVivIzudeGraphics::DrawBitmap(const TRect& ARect, TGraphic* ABitmap, bool AAspectRatio, bool AStretch,
                                   bool ACenter, bool ACropping) {
  DrawBitmap(ConvertToRectF(ARect), ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
}
void TVivIzudeGraphics::DrawBitmap(Integer ALeft, Integer ATop, TGraphic* ABitmap) {
  if (!ABitmap) return;
  DrawBitmap(TRect{ALeft, ATop, ALeft + ABitmap->Width(), ATop + ABitmap->Height()}, ABitmap, true, false, true, false);
}
void TVivIzudeGraphics::DrawBitmap(float ALeft, float ATop, TGraphic* ABitmap) {
  if (!ABitmap) return;
  DrawBitmap(TRectF{ALeft, ATop, ALeft + ABitmap->Width(), ATop + ABitmap->Height()}, ABitmap, true, false, true,
             false);
}
void TVivIzudeGraphics::DrawBitmap(Integer ALeft, Integer ATop, TPicture* ABitmap) {
  DrawBitmap(ALeft, ATop, ABitmap ? ABitmap->Graphic() : nullptr);
}
void TVivIzudeGraphics::DrawBitmap(float ALeft, float ATop, TPicture* ABitmap) {
  DrawBitmap(ALeft, ATop, ABitmap ? ABitmap->Graphic() : nullptr);
}

// The part goes straight to the context with its source rectangle: the
// picture is handed over once, with no intermediate bitmap to convert again.
void TVivIzudeGraphics::DrawBitmapPart(double ASourceLeft, double ASourceTop, double ASourceRight, double ASourceBottom,
                                       double ADestinationLeft, double ADestinationTop, double ADestinationRight,
                                       double ADestinationBottom, TGraphic* ABitmap, bool AAspectRatio, bool AStretch,
                                       bool ACenter, bool ACropping) {
  const TRectF Src = RectF(ASourceLeft, ASourceTop, ASourceRight, ASourceBottom);
  const TRectF Dst = RectF(ADestinationLeft, ADestinationTop, ADestinationRight, ADestinationBottom);
  if (!ABitmap || IsRectEmptyF(Src) || IsRectEmptyF(Dst)) return;
  const TRectF Placed = Layout::BitmapDrawRectangle(
      Dst.Left, Dst.Top, Dst.Right, Dst.Bottom, static_cast<float>(std::nearbyint(RectWidthF(Src))),
      static_cast<float>(std::nearbyint(RectHeightF(Src))), AAspectRatio, AStretch, ACenter, ACropping);
  DrawingContext()->DrawBitmap(ABitmap, Src, Placed, 1.0f);
}
void TVivIzudeGraphics::DrawBitmapPart(const TRectF& ASourceRect, const TRectF& ADestinationRect, TGraphic* ABitmap,
                                       bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  DrawBitmapPart(ASourceRect.Left, ASourceRect.Top, ASourceRect.Right, ASourceRect.Bottom, ADestinationRect.Left,
                 ADestinationRect.Top, ADestinationRect.Right, ADestinationRect.Bottom, ABitmap, AAspectRatio, AStretch,
                 ACenter, ACropping);
}
void TVivIzudeGraphics::DrawBitmapPart(Integer ASourceLeft, Integer ASourceTop, Integer ASourceRight,
                                       Integer ASourceBottom, Integer ADestinationLeft, Integer ADestinationTop,
                                       Integer ADestinationRight, Integer ADestinationBottom, TGraphic* ABitmap,
                                       bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  DrawBitmapPart(TRect{ASourceLeft, ASourceTop, ASourceRight, ASourceBottom},
                 TRect{ADestinationLeft, ADestinationTop, ADestinationRight, ADestinationBottom}, ABitmap, AAspectRatio,
                 AStretch, ACenter, ACropping);
}
void TVivIzudeGraphics::DrawBitmapPart(const TRect& ASourceRect, const TRect& ADestinationRect, TGraphic* ABitmap,
                                       bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  DrawBitmapPart(ConvertToRectF(ASourceRect), ConvertToRectF(ADestinationRect), ABitmap, AAspectRatio, AStretch,
                 ACenter, ACropping);
}

void TVivIzudeGraphics::DrawBitmapWithName(const TRectF& ARect, const String& ABitmapName, bool AApplyScale,
                                           float AScale, bool AAspectRatio, bool AStretch, bool ACenter,
                                           bool ACropping) {
  if (TPicture* P = GetBitmapFromBitmapContainer(FBitmapContainer, ABitmapName, AApplyScale, AScale))
    DrawBitmap(ARect, P->Graphic(), AAspectRatio, AStretch, ACenter, ACropping);
}
void TVivIzudeGraphics::DrawBitmapWithName(double ALeft, double ATop, double ARight, double ABottom,
                                           const String& ABitmapName, bool AApplyScale, float AScale, bool AAspectRatio,
                                           bool AStretch, bool ACenter, bool ACropping) {
  if (TPicture* P = GetBitmapFromBitmapContainer(FBitmapContainer, ABitmapName, AApplyScale, AScale))
    DrawBitmap(ALeft, ATop, ARight, ABottom, P->Graphic(), AAspectRatio, AStretch, ACenter, ACropping);
}
void TVivIzudeGraphics::DrawBitmapWithName(const TRect& ARect, const String& ABitmapName, bool AApplyScale,
                                           float AScale, bool AAspectRatio, bool AStretch, bool ACenter,
                                           bool ACropping) {
  DrawBitmapWithName(ConvertToRectF(ARect), ABitmapName, AApplyScale, AScale, AAspectRatio, AStretch, ACenter,
                     ACropping);
}
void TVivIzudeGraphics::DrawBitmapWithName(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                           const String& ABitmapName, bool AApplyScale, float AScale, bool AAspectRatio,
                                           bool AStretch, bool ACenter, bool ACropping) {
  DrawBitmapWithName(TRect{ALeft, ATop, ARight, ABottom}, ABitmapName, AApplyScale, AScale, AAspectRatio, AStretch,
                     ACenter, ACropping);
}

void TVivIzudeGraphics::DrawScaledBitmap(const TRectF& ARect, TVivScaledBitmaps* ABitmaps, float AScale,
                                         bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  if (!ABitmaps) return;
  TVivScaledBitmap* Item = ABitmaps->GetItemByScale(AScale > 0 ? AScale : DisplayScale());
  if (!Item) return;
  if (!IsPictureEmpty(Item->Bitmap())) {
    DrawBitmap(ARect, Item->Bitmap()->Graphic(), AAspectRatio, AStretch, ACenter, ACropping);
    return;
  }
  TPicture* P = GetBitmapFromBitmapContainer(FBitmapContainer, Item->BitmapName(), true, AScale);
  if (!IsPictureEmpty(P))
    DrawBitmap(ARect, P->Graphic(), AAspectRatio, AStretch, ACenter, ACropping);
  else
    DrawBitmapWithName(ARect, Item->BitmapName(), false, Item->Scale(), AAspectRatio, AStretch, ACenter, ACropping);
}
void TVivIzudeGraphics::DrawScaledBitmap(double ALeft, double ATop, double ARight, double ABottom,
                                         TVivScaledBitmaps* ABitmaps, float AScale, bool AAspectRatio, bool AStretch,
                                         bool ACenter, bool ACropping) {
  DrawScaledBitmap(RectF(ALeft, ATop, ARight, ABottom), ABitmaps, AScale, AAspectRatio, AStretch, ACenter, ACropping);
}
void TVivIzudeGraphics::DrawScaledBitmap(const TRect& ARect, TVivScaledBitmaps* ABitmaps, float AScale,
                                         bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  DrawScaledBitmap(ConvertToRectF(ARect), ABitmaps, AScale, AAspectRatio, AStretch, ACenter, ACropping);
}
void TVivIzudeGraphics::DrawScaledBitmap(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                                         TVivScaledBitmaps* ABitmaps, float AScale, bool AAspectRatio, bool AStretch,
                                         bool ACenter, bool ACropping) {
  DrawScaledBitmap(TRect{ALeft, ATop, ARight, ABottom}, ABitmaps, AScale, AAspectRatio, AStretch, ACenter, ACropping);
}

// ---------------------------------------------------------------- clip
void TVivIzudeGraphics::ClipRect(const TRectF& ARect) { GetContext()->ClipRect(ARect); }
void TVivIzudeGraphics::ClipRect(const TRect& ARect) { ClipRect(ConvertToRectF(ARect)); }

// ---------------------------------------------------------------- text
TRectF TVivIzudeGraphics::CalculateMarkupText(const String& AText, const TRectF& ARect, bool AWordWrapping,
                                              bool ASupportHTML) {
  TRectF Result = ARect;
  if (std::nearbyint(RectWidthF(ARect)) <= 0) {
    Result.Bottom = Result.Top;
    return Result;
  }
  if (AText.empty()) {
    Result.Right = Result.Left;
    Result.Bottom = Result.Top;
    return Result;
  }
  if (!ASupportHTML || !Layout::IsMarkup(AText)) {
    Result = GetContext()->CalculateText(AText, ARect, AWordWrapping);
    Result.Bottom += 1;
    return Result;
  }
  String Anchor, Strip, FocusAnchor, ControlID, ControlValue, ControlType;
  float XSize = 0, YSize = 0;
  Integer Links = 0, MouseLink = -1, Lines = 0;
  TRectF HoverRect{}, ControlRect{};
  RenderMarkup(this, AText, ARect, -1, -1, -1, -1, 0, false, true, false, false, false, false, AWordWrapping, false,
               u"", 1.0, FURLColor, -1, -1, -1, Anchor, Strip, FocusAnchor, XSize, YSize, Links, MouseLink, HoverRect,
               ControlRect, ControlID, ControlValue, ControlType, Lines, 0, FBitmapContainer, FURLUnderline, FImageList,
               FHighlightColor, FHighlightTextColor, FHighlightFontStyles);
  return {ARect.Left, ARect.Top, ARect.Left + XSize, ARect.Top + YSize + 1};
}

String TVivIzudeGraphics::DrawMarkupText(const TRectF& ARect, const String& AText, String& AControlID,
                                         String& AControlValue, String& AControlType, bool AWordWrapping,
                                         TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                         TVivIzudeGraphicsTextAlign AVerticalAlign,
                                         TVivIzudeGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth,
                                         float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY) {
  AControlID.clear();
  AControlValue.clear();
  AControlType.clear();
  TVivIzudeGraphicsContext* C = DrawingContext();
  const TColor OldFill = C->GetFillColor();
  C->SetFillColor(FFont->Color());
  TRectF R = ARect;
  if (AMinHeight > -1 && AMinHeight > RectHeightF(R)) R.Bottom = R.Top + AMinHeight;
  if (AMinWidth > -1 && AMinWidth > RectWidthF(R)) R.Right = R.Left + AMinWidth;
  R = C->SetTextAngle(R, AAngle);
  // The text angle and the fill colour come back however the call ends.
  TScopeExit Reset([&] {
    C->ResetTextAngle(AAngle);
    C->SetFillColor(OldFill);
  });
  String Result;
  if (ASupportHTML && Layout::IsMarkup(AText)) {
    String Anchor, Strip, FocusAnchor, MeasureID, MeasureValue, MeasureType;
    float XSize = 0, YSize = 0;
    Integer Links = 0, MouseLink = -1, Lines = 0;
    TRectF HoverRect{}, ControlRect{};
    RenderMarkup(this, AText, R, -1, -1, -1, -1, 0, false, true, false, false, false, false, AWordWrapping, false, u"",
                 1.0, FURLColor, -1, -1, -1, Anchor, Strip, FocusAnchor, XSize, YSize, Links, MouseLink, HoverRect,
                 ControlRect, MeasureID, MeasureValue, MeasureType, Lines, 0, FBitmapContainer, FURLUnderline,
                 FImageList, FHighlightColor, FHighlightTextColor, FHighlightFontStyles);
    YSize += 1;
    const TRectF D =
        (!AWordWrapping || Lines < 2) ? Layout::AlignBlock(R, XSize, YSize, AHorizontalAlign, AVerticalAlign) : R;
    auto State = SaveState(true);
    TScopeExit Restore([&] { RestoreState(std::move(State), true); });
    ClipRect(R);
    Anchor.clear();
    HoverRect = {};
    const bool Hit =
        RenderMarkup(this, AText, D, static_cast<Integer>(std::nearbyint(AX)), static_cast<Integer>(std::nearbyint(AY)),
                     -1, -1, 0, ATestAnchor, false, false, false, false, false, AWordWrapping, false, u"", 1.0,
                     FURLColor, -1, -1, -1, Anchor, Strip, FocusAnchor, XSize, YSize, Links, MouseLink, HoverRect,
                     ControlRect, AControlID, AControlValue, AControlType, Lines, 0, FBitmapContainer, FURLUnderline,
                     FImageList, FHighlightColor, FHighlightTextColor, FHighlightFontStyles);
    if (Hit) Result = Anchor;
  } else if (!ATestAnchor) {
    C->DrawText(AText, R, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle);
  }
  return Result;
}

TRectF TVivIzudeGraphics::CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping,
                                        bool ASupportHTML) {
  if (FOptimizedHTMLDrawing && Layout::IsMarkup(AText)) {
    const std::vector<String> Lines = Layout::SplitAtLineBreaks(AText);
    if (Lines.size() > 1) {
      TRectF Result = ARect;
      Result.Bottom = Result.Top;
      for (const String& Line : Lines)
        Result.Bottom += RectHeightF(CalculateMarkupText(Line, ARect, AWordWrapping, ASupportHTML));
      return Result;
    }
  }
  return CalculateMarkupText(AText, ARect, AWordWrapping, ASupportHTML);
}

namespace {
const TRectF NoLayoutLimit{0, 0, 10000, 10000};
}

TSizeF TVivIzudeGraphics::CalculateTextSize(const String& AText, const TRectF& ARect, bool AWordWrapping,
                                            bool ASupportHTML) {
  const TRectF R = CalculateText(AText, ARect, AWordWrapping, ASupportHTML);
  return {RectWidthF(R), RectHeightF(R)};
}
float TVivIzudeGraphics::CalculateTextWidth(const String& AText, const TRectF& ARect, bool AWordWrapping,
                                            bool ASupportHTML) {
  return RectWidthF(CalculateText(AText, ARect, AWordWrapping, ASupportHTML));
}
float TVivIzudeGraphics::CalculateTextHeight(const String& AText, const TRectF& ARect, bool AWordWrapping,
                                             bool ASupportHTML) {
  return RectHeightF(CalculateText(AText, ARect, AWordWrapping, ASupportHTML));
}
TRectF TVivIzudeGraphics::CalculateText(const String& AText) {
  return CalculateText(AText, NoLayoutLimit, false, true);
}
TSizeF TVivIzudeGraphics::CalculateTextSize(const String& AText) {
  return CalculateTextSize(AText, NoLayoutLimit, false, true);
}
float TVivIzudeGraphics::CalculateTextWidth(const String& AText) {
  return CalculateTextWidth(AText, NoLayoutLimit, false, true);
}
float TVivIzudeGraphics::CalculateTextHeight(const String& AText) {
  return CalculateTextHeight(AText, NoLayoutLimit, false, true);
}
TRect TVivIzudeGraphics::CalculateText(const String& AText, const TRect& ARect, bool AWordWrapping, bool ASupportHTML) {
  return ConvertToRect(CalculateText(AText, ConvertToRectF(ARect), AWordWrapping, ASupportHTML));
}
TSize TVivIzudeGraphics::CalculateTextSize(const String& AText, const TRect& ARect, bool AWordWrapping,
                                           bool ASupportHTML) {
  return ConvertToSize(CalculateTextSize(AText, ConvertToRectF(ARect), AWordWrapping, ASupportHTML));
}
Integer TVivIzudeGraphics::CalculateTextWidth(const String& AText, const TRect& ARect, bool AWordWrapping,
                                              bool ASupportHTML) {
  return static_cast<Integer>(
      std::nearbyint(CalculateTextWidth(AText, ConvertToRectF(ARect), AWordWrapping, ASupportHTML)));
}
Integer TVivIzudeGraphics::CalculateTextHeight(const String& AText, const TRect& ARect, bool AWordWrapping,
                                               bool ASupportHTML) {
  return static_cast<Integer>(
      std::nearbyint(CalculateTextHeight(AText, ConvertToRectF(ARect), AWordWrapping, ASupportHTML)));
}
TSize TVivIzudeGraphics::CalculateTextSizeInt(const String& AText) { return ConvertToSize(CalculateTextSize(AText)); }
Integer TVivIzudeGraphics::CalculateTextWidthInt(const String& AText) {
  return static_cast<Integer>(std::nearbyint(CalculateTextWidth(AText)));
}
Integer TVivIzudeGraphics::CalculateTextHeightInt(const String& AText) {
  return static_cast<Integer>(std::nearbyint(CalculateTextHeight(AText)));
}
TRect TVivIzudeGraphics::CalculateTextInt(const String& AText) { return ConvertToRect(CalculateText(AText)); }

String TVivIzudeGraphics::DrawText(const TRectF& ARect, const String& AText, String& AControlID, String& AControlValue,
                                   String& AControlType, bool AWordWrapping,
                                   TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                   TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming,
                                   float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                   float AX, float AY) {
  if (FOptimizedHTMLDrawing && !ATestAnchor && Layout::IsMarkup(AText)) {
    const std::vector<String> Lines = Layout::SplitAtLineBreaks(AText);
    if (Lines.size() > 1) {
      AControlID.clear();
      AControlValue.clear();
      AControlType.clear();
      TRectF Running = ARect;
      for (const String& Line : Lines) {
        const TRectF R = CalculateText(Line, Running, AWordWrapping, ASupportHTML);
        String ID, Value, Type;
        DrawMarkupText({R.Left, R.Top, R.Right + 1, R.Bottom}, Line, ID, Value, Type, AWordWrapping, AHorizontalAlign,
                       AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
        Running.Top += RectHeightF(R);
      }
      return {};
    }
  }
  return DrawMarkupText(ARect, AText, AControlID, AControlValue, AControlType, AWordWrapping, AHorizontalAlign,
                        AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

String TVivIzudeGraphics::DrawText(const TPointF& APoint, const String& AText, float AAngle, bool ASupportHTML,
                                   bool ATestAnchor, float AX, float AY) {
  return DrawText(TRectF{APoint.X, APoint.Y, APoint.X + 10000, APoint.Y + 10000}, AText, false, gtaLeading, gtaLeading,
                  gttNone, AAngle, -1, -1, ASupportHTML, ATestAnchor, AX, AY);
}
String TVivIzudeGraphics::DrawText(const TRectF& ARect, const String& AText, bool AWordWrapping,
                                   TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                   TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming,
                                   float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                   float AX, float AY) {
  String ID, Value, Type;
  return DrawText(ARect, AText, ID, Value, Type, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle,
                  AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}
String TVivIzudeGraphics::DrawText(double ALeft, double ATop, double ARight, double ABottom, const String& AText,
                                   bool AWordWrapping, TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                   TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming,
                                   float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                   float AX, float AY) {
  return DrawText(RectF(ALeft, ATop, ARight, ABottom), AText, AWordWrapping, AHorizontalAlign, AVerticalAlign,
                  ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}
String TVivIzudeGraphics::DrawText(const TRect& ARect, const String& AText, bool AWordWrapping,
                                   TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                   TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming,
                                   float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                   float AX, float AY) {
  return DrawText(ConvertToRectF(ARect), AText, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle,
                  AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}
String TVivIzudeGraphics::DrawText(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, const String& AText,
                                   bool AWordWrapping, TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                   TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming,
                                   float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                   float AX, float AY) {
  return DrawText(TRect{ALeft, ATop, ARight, ABottom}, AText, AWordWrapping, AHorizontalAlign, AVerticalAlign,
                  ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}
String TVivIzudeGraphics::DrawText(double ALeft, double ATop, double ARight, double ABottom, const String& AText,
                                   String& AControlID, String& AControlValue, String& AControlType, bool AWordWrapping,
                                   TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                   TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming,
                                   float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                   float AX, float AY) {
  return DrawText(RectF(ALeft, ATop, ARight, ABottom), AText, AControlID, AControlValue, AControlType, AWordWrapping,
                  AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor,
                  AX, AY);
}
String TVivIzudeGraphics::DrawText(const TRect& ARect, const String& AText, String& AControlID, String& AControlValue,
                                   String& AControlType, bool AWordWrapping,
                                   TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                   TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming,
                                   float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                   float AX, float AY) {
  return DrawText(ConvertToRectF(ARect), AText, AControlID, AControlValue, AControlType, AWordWrapping,
                  AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor,
                  AX, AY);
}
String TVivIzudeGraphics::DrawText(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, const String& AText,
                                   String& AControlID, String& AControlValue, String& AControlType, bool AWordWrapping,
                                   TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                   TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming,
                                   float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                   float AX, float AY) {
  return DrawText(TRect{ALeft, ATop, ARight, ABottom}, AText, AControlID, AControlValue, AControlType, AWordWrapping,
                  AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor,
                  AX, AY);
}

// ---------------------------------------------------------------- widgets
void TVivIzudeGraphics::DrawButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle) {
  SetStrokeKind(gskSolid);
  SetStrokeWidth(1);
  SetFillKind(gfkSolid);
  const Layout::TButtonColors Colors = Layout::ButtonColors(AFocused, AEnabled, AAdaptToStyle);
  SetStrokeColor(Colors.Frame);
  SetFillColor(Colors.Fill);
  DrawRectangle(ARect);
  SetFillKind(gfkNone);
  SetStrokeColor(Layout::ButtonInnerFrame(Colors, ADown));
  DrawRectangle(TRectF{ARect.Left + 1, ARect.Top + 1, ARect.Right - 1, ARect.Bottom - 1});
}

// A glyph drawn with lines in the style's focus colour on a bitmap whose
// white is transparent, centred in AArea at its own size.
void TVivIzudeGraphics::DrawStyledGlyph(const TRectF& AArea, Integer ASize, float ALineWidth,
                                        std::initializer_list<TGlyphLineF> ALines) {
  TBitmap Glyph;
  Glyph.SetSize(ASize, ASize);
  Glyph.SetTransparentColor(0xFFFFFF);
  Glyph.SetTransparentMode(tmFixed);
  Glyph.SetTransparent(true);
  {
    TVivIzudeGraphics G(Glyph.Canvas(), false);
    G.BeginScene();
    G.SetFillKind(gfkSolid);
    G.SetFillColor(0xFFFFFF);
    G.SetStrokeKind(gskSolid);
    G.SetStrokeColor(0xFFFFFF);
    G.DrawRectangle(0, 0, ASize, ASize);
    G.SetStrokeKind(gskSolid);
    G.SetStrokeWidth(ALineWidth);
    G.SetStrokeColor(DefaultFocusColor);
    for (const TGlyphLineF& L : ALines) G.DrawLine(L.From, L.To, gcpmRightDown, gcpmRightDown);
    G.EndScene();
  }
  DrawBitmap(AArea, &Glyph, true, false, true, false);
}

void TVivIzudeGraphics::DrawResourceGlyph(const TRectF& AArea, const String& AName) {
  std::unique_ptr<TPicture> P = CreatePictureFromResource(AName);
  if (!IsPictureEmpty(P.get())) DrawBitmap(AArea, P->Graphic(), true, false, true, false);
}

void TVivIzudeGraphics::DrawCloseButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled,
                                        bool AAdaptToStyle) {
  DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle);
  if (AAdaptToStyle)
    DrawStyledGlyph(ARect, 16, 2, {{{3, 3}, {12, 12}}, {{3, 12}, {12, 3}}});
  else
    DrawResourceGlyph(ARect, GlyphClose);
}

void TVivIzudeGraphics::DrawExpanderButton(const TRectF& ARect, TVivIzudeGraphicsExpanderState AState, bool ADown,
                                           bool AFocused, bool AEnabled, bool AAdaptToStyle) {
  DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle);
  if (!AAdaptToStyle)
    DrawResourceGlyph(ARect, AState == gesCollapsed ? GlyphDown : GlyphUp);
  else if (AState == gesCollapsed)
    DrawStyledGlyph(ARect, 16, 2, {{{5, 6}, {8, 9}}, {{8, 9}, {11, 6}}});
  else
    DrawStyledGlyph(ARect, 16, 2, {{{5, 9}, {8, 6}}, {{8, 6}, {11, 9}}});
}

void TVivIzudeGraphics::DrawCompactButton(const TRectF& ARect, TVivIzudeGraphicsCompactState AState, bool ADown,
                                          bool AFocused, bool AEnabled, bool AAdaptToStyle) {
  DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle);
  if (!AAdaptToStyle)
    DrawResourceGlyph(ARect, AState == gcsCollapsed ? GlyphRight : GlyphLeft);
  else if (AState == gcsCollapsed)
    DrawStyledGlyph(ARect, 16, 2, {{{6, 5}, {9, 8}}, {{9, 8}, {6, 11}}});
  else
    DrawStyledGlyph(ARect, 16, 2, {{{9, 5}, {6, 8}}, {{6, 8}, {9, 11}}});
}

void TVivIzudeGraphics::DrawDropDownButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
                                           bool AAdaptToStyle) {
  DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle);
  if (AAdaptToStyle) {
    DrawStyledGlyph(Layout::DropDownGlyphArea(ARect, 7, ACenter), 7, 1,
                    {{{0, 1}, {6, 1}}, {{0, 2}, {6, 2}}, {{1, 3}, {5, 3}}, {{2, 4}, {4, 4}}, {{3, 5}, {3, 5}}});
    return;
  }
  std::unique_ptr<TPicture> P = CreatePictureFromResource(GlyphExpand);
  if (IsPictureEmpty(P.get())) return;
  DrawBitmap(Layout::DropDownGlyphArea(ARect, static_cast<float>(P->Width()), ACenter), P->Graphic(), true, false, true,
             false);
}

void TVivIzudeGraphics::DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled) {
  const TRectF Box{ARect.Left + 1, ARect.Top + 1, ARect.Right - 1, ARect.Bottom - 1};
  const TColor Mark = Layout::CheckMarkColor(AFocused, AEnabled);
  SetFillKind(gfkSolid);
  SetFillColor(Layout::CheckBoxGround(AEnabled));
  SetStrokeKind(gskSolid);
  SetStrokeWidth(1);
  SetStrokeColor(Mark);
  DrawRectangle(Box);
  const TRectF M = Layout::CheckMarkRect(Box);
  SetStrokeWidth(2);
  SetStrokeColor(Mark);
  if (AChecked) {
    DrawLine(TPointF{M.Left, M.Top}, TPointF{M.Right - 1, M.Bottom - 1});
    DrawLine(TPointF{M.Right - 1, M.Top}, TPointF{M.Left, M.Bottom - 1});
  }
}

void TVivIzudeGraphics::DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled) {
  const TRectF Box{ARect.Left + 1, ARect.Top + 1, ARect.Right - 1, ARect.Bottom - 1};
  const TColor Mark = Layout::CheckMarkColor(AFocused, AEnabled);
  SetFillKind(gfkSolid);
  SetFillColor(Layout::CheckBoxGround(AEnabled));
  SetStrokeKind(gskSolid);
  SetStrokeWidth(1);
  SetStrokeColor(Mark);
  DrawEllipse(Box);
  SetFillKind(gfkSolid);
  SetFillColor(Mark);
  if (AChecked) DrawEllipse(Layout::CheckMarkRect(Box));
}

void TVivIzudeGraphics::DrawProgressBar(const TRectF& ARect, float AValue, const String& AFormat, float AMax,
                                        TColor AColor, TColor ATextColor, bool AShowText, bool AEnabled) {
  SetFillKind(gfkSolid);
  SetFillColor(Layout::ProgressBarGround(AEnabled));
  SetStrokeKind(gskSolid);
  SetStrokeColor(0xA9A9A9);
  DrawRectangle(ARect);
  if (!(AMax > 0)) return;
  const float V = Layout::ProgressValue(AValue, AMax);
  SetFillColor(AColor);
  SetStrokeColor(AColor);
  DrawRectangle(Layout::ProgressBarRect(ARect, AValue, AMax));
  if (!AShowText) return;
  SetFontColor(ATextColor);
  String Text;
  try {
    Text = Format(AFormat, {static_cast<double>(V) / AMax * 100});
  } catch (const Exception&) {
    return;  // a format that does not take one number shows no text
  }
  DrawText(ARect, Text, false, gtaCenter, gtaCenter, gttNone, 0, -1, -1, true, false);
}

void TVivIzudeGraphics::DrawCheckBox(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled) {
  DrawCheckBox(ConvertToRectF(ARect), AChecked, AFocused, AEnabled);
}
void TVivIzudeGraphics::DrawButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle) {
  DrawButton(ConvertToRectF(ARect), ADown, AFocused, AEnabled, AAdaptToStyle);
}
void TVivIzudeGraphics::DrawCloseButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled,
                                        bool AAdaptToStyle) {
  DrawCloseButton(ConvertToRectF(ARect), ADown, AFocused, AEnabled, AAdaptToStyle);
}
void TVivIzudeGraphics::DrawExpanderButton(const TRect& ARect, TVivIzudeGraphicsExpanderState AState, bool ADown,
                                           bool AFocused, bool AEnabled, bool AAdaptToStyle) {
  DrawExpanderButton(ConvertToRectF(ARect), AState, ADown, AFocused, AEnabled, AAdaptToStyle);
}
void TVivIzudeGraphics::DrawCompactButton(const TRect& ARect, TVivIzudeGraphicsCompactState AState, bool ADown,
                                          bool AFocused, bool AEnabled, bool AAdaptToStyle) {
  DrawCompactButton(ConvertToRectF(ARect), AState, ADown, AFocused, AEnabled, AAdaptToStyle);
}
void TVivIzudeGraphics::DrawDropDownButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
                                           bool AAdaptToStyle) {
  DrawDropDownButton(ConvertToRectF(ARect), ADown, AFocused, AEnabled, ACenter, AAdaptToStyle);
}
void TVivIzudeGraphics::DrawRadioButton(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled) {
  DrawRadioButton(ConvertToRectF(ARect), AChecked, AFocused, AEnabled);
}
void TVivIzudeGraphics::DrawProgressBar(const TRect& ARect, float AValue, const String& AFormat, float AMax,
                                        TColor AColor, TColor ATextColor, bool AShowText, bool AEnabled) {
  DrawProgressBar(ConvertToRectF(ARect), AValue, AFormat, AMax, AColor, ATextColor, AShowText, AEnabled);
}

// ---------------------------------------------------------------- class methods
TPicture* TVivIzudeGraphics::GetBitmapFromBitmapContainer(TVivIzudeBitmapContainer* ABitmapContainer,
                                                          const String& AName, bool AApplyScale, float AScale) {
  if (!ABitmapContainer || AName.empty() || !FindBitmapInContainer) return nullptr;
  TPicture* Found = nullptr;
  if (AApplyScale)
    Found = FindBitmapInContainer(ABitmapContainer, AName + u"_" + FloatToStr(AScale > 0 ? AScale : DisplayScale()));
  if (!Found) Found = FindBitmapInContainer(ABitmapContainer, AName);
  return Found;
}

TPicture* TVivIzudeGraphics::GetScaledBitmap(TVivScaledBitmaps* ABitmaps, float AScale,
                                             TVivIzudeBitmapContainer* ABitmapContainer) {
  if (!ABitmaps) return nullptr;
  TVivScaledBitmap* Item = ABitmaps->GetItemByScale(AScale > 0 ? AScale : DisplayScale());
  if (!Item) return nullptr;
  if (!IsPictureEmpty(Item->Bitmap())) return Item->Bitmap();
  TPicture* P = GetBitmapFromBitmapContainer(ABitmapContainer, Item->BitmapName(), true, AScale);
  if (!IsPictureEmpty(P)) return P;
  P = GetBitmapFromBitmapContainer(ABitmapContainer, Item->BitmapName(), false, 0);
  return IsPictureEmpty(P) ? nullptr : P;
}

void TVivIzudeGraphics::DrawSample(TCanvas* ACanvas, const TRectF& ARect) {
  TVivIzudeGraphics G(ACanvas, false);
  G.Font()->SetName(u"Courier New");
  G.Font()->SetSize(20);
  G.Font()->SetColor(0xFFFFFF);
  G.Fill()->BeginUpdate();
  G.Fill()->SetKind(gfkGradient);
  G.Fill()->SetColor(0x008CFF);
  G.Fill()->SetColorTo(0xB48246);
  G.Fill()->EndUpdate();
  G.Stroke()->SetColor(0x8B0000);
  G.DrawRectangle(ARect);
  G.DrawText(ARect, u"Sample", false, gtaCenter, gtaCenter, gttNone, 0, -1, -1, true, false);
}

String TVivIzudeGraphics::ApplyHilight(const String& AText, const String& AHilight, const String& ATag, bool ADoCase) {
  return HighlightMarkup(AText, AHilight, ATag, ADoCase);
}
