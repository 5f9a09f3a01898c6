#pragma once
// A graphics context that records every request instead of drawing, with
// fixed text metrics: each character is 7 pixels wide, each line 13 high
// (a wrapped text breaks where the next word would pass the right edge).
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "chart/drawing/VivIzudeGraphics.h"

struct TRecordedCall {
  std::string Name;
  TRectF Rect{};
  TRectF Source{};
  TPointF From{}, To{};
  TColor Color = 0;
  const void* Object = nullptr;  // the stroke, fill, graphic or path passed
  String Text;
  float Value = 0;
};

class TRecordingGraphicsContext : public TVivIzudeGraphicsContext {
public:
  static constexpr float CharWidth = 7, LineHeight = 13;
  using TVivIzudeGraphicsContext::TVivIzudeGraphicsContext;

  std::vector<TRecordedCall> Calls;
  TColor FillColor = 0;
  // Called at each SetFill, after recording it.
  std::function<void()> OnSetFill;

  // The calls of one name, in order.
  std::vector<TRecordedCall> Named(const std::string& AName) const {
    std::vector<TRecordedCall> R;
    for (const TRecordedCall& C : Calls)
      if (C.Name == AName) R.push_back(C);
    return R;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> R;
    for (const TRecordedCall& C : Calls) R.push_back(C.Name);
    return R;
  }
  // The paths this context made, as the points PathMoveTo/PathLineTo gave.
  std::vector<std::vector<TPointF>> Paths;

  void* GetNativeCanvas() override { return this; }
  void* CreatePath() override {
    Paths.emplace_back();
    return reinterpret_cast<void*>(Paths.size());
  }
  TColor GetFillColor() override { return FillColor; }
  TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) override {
    Add("CalculateText", ARect).Text = AText;
    const float Width = static_cast<float>(AText.size()) * CharWidth;
    float Lines = 1;
    if (AWordWrapping && ARect.Right - ARect.Left > 0)
      Lines = std::max(1.0f, std::ceil(Width / (ARect.Right - ARect.Left)));
    const float Used = AWordWrapping ? std::min(Width, ARect.Right - ARect.Left) : Width;
    return {ARect.Left, ARect.Top, ARect.Left + Used, ARect.Top + Lines * LineHeight};
  }
  TRectF SetTextAngle(const TRectF& ARect, float AAngle) override {
    Add("SetTextAngle", ARect).Value = AAngle;
    return ARect;
  }
  void Render() override { Add("Render"); }
  void PathOpen(void*) override {}
  void PathMoveTo(void* APath, const TPointF& APoint) override { Path(APath).push_back(APoint); }
  void PathLineTo(void* APath, const TPointF& APoint) override { Path(APath).push_back(APoint); }
  void PathClose(void*) override {}
  void ResetClip() override { Add("ResetClip"); }
  void ResetTransform() override { Add("ResetTransform"); }
  void ScaleTransform(float, float) override { Add("ScaleTransform"); }
  void RotateTransform(float) override { Add("RotateTransform"); }
  void TranslateTransform(float, float) override { Add("TranslateTransform"); }
  void SetTextQuality(TVivIzudeGraphicsTextQuality) override { Add("SetTextQuality"); }
  void SetAntiAliasing(bool) override { Add("SetAntiAliasing"); }
  void SetShowAcceleratorChar(bool) override { Add("SetShowAcceleratorChar"); }
  void SetSize(float AWidth, float AHeight) override { Add("SetSize", {0, 0, AWidth, AHeight}); }
  void ResetTextAngle(float AAngle) override { Add("ResetTextAngle").Value = AAngle; }
  void BeginScene() override { Add("BeginScene"); }
  void EndScene() override { Add("EndScene"); }
  void StartSpecialPen() override { Add("StartSpecialPen"); }
  void StopSpecialPen() override { Add("StopSpecialPen"); }
  void RestoreState(TVivIzudeGraphicsSaveState* AState) override { Add("RestoreState").Object = AState; }
  void SaveState(TVivIzudeGraphicsSaveState* AState) override { Add("SaveState").Object = AState; }
  void SetFontSize(Integer ASize) override { Add("SetFontSize").Value = static_cast<float>(ASize); }
  void SetFontColor(TColor AColor) override { Add("SetFontColor").Color = AColor; }
  void SetFontName(const String& AName) override { Add("SetFontName").Text = AName; }
  void SetFont(TVivIzudeGraphicsFont* AFont) override { Add("SetFont").Object = AFont; }
  void SetFontStyles(TFontStyles) override { Add("SetFontStyles"); }
  void SetFill(TVivIzudeGraphicsFill* AFill) override {
    Add("SetFill").Object = AFill;
    if (OnSetFill) OnSetFill();
  }
  void SetFillKind(TVivIzudeGraphicsFillKind AKind) override { Add("SetFillKind").Value = AKind; }
  void SetFillColor(TColor AColor) override {
    Add("SetFillColor").Color = AColor;
    FillColor = AColor;
  }
  void SetStroke(TVivIzudeGraphicsStroke* AStroke) override { Add("SetStroke").Object = AStroke; }
  void SetStrokeKind(TVivIzudeGraphicsStrokeKind AKind) override { Add("SetStrokeKind").Value = AKind; }
  void SetStrokeColor(TColor AColor) override { Add("SetStrokeColor").Color = AColor; }
  void SetStrokeWidth(float AWidth) override { Add("SetStrokeWidth").Value = AWidth; }
  void DrawLine(TVivIzudeGraphicsStroke* AStroke, const TPointF& AFromPoint, const TPointF& AToPoint,
                TVivIzudeGraphicsModifyPointMode, TVivIzudeGraphicsModifyPointMode) override {
    TRecordedCall& C = Add("DrawLine");
    C.From = AFromPoint;
    C.To = AToPoint;
    C.Object = AStroke;
  }
  void DrawPolygon(TVivIzudeGraphicsStroke* AStroke, const TVivIzudeGraphicsPathPolygon&) override {
    Add("DrawPolygon").Object = AStroke;
  }
  void FillPolygon(TVivIzudeGraphicsFill* AFill, const TVivIzudeGraphicsPathPolygon&) override {
    Add("FillPolygon").Object = AFill;
  }
  void DrawPolyline(TVivIzudeGraphicsStroke* AStroke, const TVivIzudeGraphicsPathPolygon&) override {
    Add("DrawPolyline").Object = AStroke;
  }
  void FillPolyline(TVivIzudeGraphicsFill* AFill, const TVivIzudeGraphicsPathPolygon&) override {
    Add("FillPolyline").Object = AFill;
  }
  void FillArc(TVivIzudeGraphicsFill* AFill, const TPointF& ACenter, const TPointF&, float, float) override {
    TRecordedCall& C = Add("FillArc");
    C.From = ACenter;
    C.Object = AFill;
  }
  void DrawArc(TVivIzudeGraphicsStroke* AStroke, const TPointF& ACenter, const TPointF&, float, float) override {
    TRecordedCall& C = Add("DrawArc");
    C.From = ACenter;
    C.Object = AStroke;
  }
  void FillRect(TVivIzudeGraphicsFill* AFill, const TRectF& ARect, TVivIzudeGraphicsModifyRectMode) override {
    Add("FillRect", ARect).Object = AFill;
  }
  void DrawRect(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, TVivIzudeGraphicsSides ASides,
                TVivIzudeGraphicsModifyRectMode) override {
    TRecordedCall& C = Add("DrawRect", ARect);
    C.Object = AStroke;
    C.Value = static_cast<float>(ASides.Contains(gsLeft) + ASides.Contains(gsTop) + ASides.Contains(gsRight) +
                                 ASides.Contains(gsBottom));
  }
  void FillRoundRect(TVivIzudeGraphicsFill* AFill, const TRectF& ARect, float ARounding, TVivIzudeGraphicsCorners,
                     TVivIzudeGraphicsModifyRectMode) override {
    TRecordedCall& C = Add("FillRoundRect", ARect);
    C.Object = AFill;
    C.Value = ARounding;
  }
  void DrawRoundRect(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, float ARounding, TVivIzudeGraphicsCorners,
                     TVivIzudeGraphicsModifyRectMode) override {
    TRecordedCall& C = Add("DrawRoundRect", ARect);
    C.Object = AStroke;
    C.Value = ARounding;
  }
  void FillEllipse(TVivIzudeGraphicsFill* AFill, const TRectF& ARect, TVivIzudeGraphicsModifyRectMode) override {
    Add("FillEllipse", ARect).Object = AFill;
  }
  void DrawEllipse(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, TVivIzudeGraphicsModifyRectMode) override {
    Add("DrawEllipse", ARect).Object = AStroke;
  }
  void DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float AOpacity) override {
    TRecordedCall& C = Add("DrawBitmap", ADstRect);
    C.Source = ASrcRect;
    C.Object = ABitmap;
    C.Value = AOpacity;
  }
  void ClipRect(const TRectF& ARect) override { Add("ClipRect", ARect); }
  // Rect: the path's bounds at the time of the call.
  void ClipPath(TVivIzudeGraphicsPath* APath) override {
    Add("ClipPath", APath ? APath->GetBounds() : TRectF{}).Object = APath;
  }
  void DrawFocusPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath*, TColor AColor) override {
    TRecordedCall& C = Add("DrawFocusPath");
    C.Object = AStroke;
    C.Color = AColor;
  }
  void DrawFocusRectangle(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
                          TVivIzudeGraphicsModifyRectMode) override {
    TRecordedCall& C = Add("DrawFocusRectangle", ARect);
    C.Object = AStroke;
    C.Color = AColor;
  }
  void DrawText(const String& AText, const TRectF& ARect, bool, TVivIzudeGraphicsTextAlign, TVivIzudeGraphicsTextAlign,
                TVivIzudeGraphicsTextTrimming, float AAngle) override {
    TRecordedCall& C = Add("DrawText", ARect);
    C.Text = AText;
    C.Value = AAngle;
  }
  void DrawPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath*, TVivIzudeGraphicsPathDrawMode) override {
    Add("DrawPath").Object = AStroke;
  }
  void FillPath(TVivIzudeGraphicsFill* AFill, TVivIzudeGraphicsPath*, TVivIzudeGraphicsPathDrawMode) override {
    Add("FillPath").Object = AFill;
  }

private:
  TRecordedCall& Add(const char* AName, const TRectF& ARect = {}) {
    Calls.push_back({});
    Calls.back().Name = AName;
    Calls.back().Rect = ARect;
    return Calls.back();
  }
  std::vector<TPointF>& Path(void* APath) { return Paths.at(reinterpret_cast<std::size_t>(APath) - 1); }
};
