// The chart view's settings file and CSV points (the file layouts are
// ChartViewFiles.h's; the view lends them its panes and keys), printing
// and pictures.
#include "chart/model/ChartHelpers.h"
#include "chart/model/ChartPersistent.h"
#include "chart/view/VivIzudeView.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32Handles.h"

// ---------------------------------------------------------------- the view as a store
class TChartViewStore : public IChartViewStore {
public:
  explicit TChartViewStore(TVivIzudeView& View) : V(View) {}
  Integer PaneCount() const override { return V.Panes().Count(); }
  TVivIzude& PaneChart(Integer I) override { return V.Panes().Items(I)->Chart(); }
  TChartViewKeys ViewKeys() const override {
    TChartViewKeys K;
    K.Align = Integer(V.Align());
    K.Anchors = 0;
    for (unsigned A = akLeft; A <= akBottom; ++A)
      if (V.Anchors().Contains(static_cast<TAnchorKind>(A))) K.Anchors |= Byte(1u << A);
    K.Color = V.Color();
    K.DragAlphaBlend = V.DragAlphaBlend();
    K.DragAlphaBlendValue = V.DragAlphaBlendValue();
    K.Hint = V.Hint();
    K.PanesSynched = V.PanesSynched();
    K.ShowHint = V.ShowHint();
    K.TabOrder = V.TabOrder();
    K.TabStop = V.TabStop();
    K.VerticalCrossHairsSynched = V.VerticalCrossHairsSynched();
    K.Version = V.Version();
    K.Visible = V.Visible();
    K.XAxisZoomSensitivity = V.XAxisZoomSensitivity();
    K.YAxisZoomSensitivity = V.YAxisZoomSensitivity();
    K.ZoomColor = V.ZoomColor();
    K.ZoomStyle = V.ZoomStyle();
    K.EnableInteraction = V.EnableInteraction();
    return K;
  }
  void ApplyViewKeys(const TChartViewKeys& K) override {
    if (K.Align >= alNone && K.Align <= alCustom) V.SetAlign(static_cast<TAlign>(K.Align));
    TAnchors A = V.Anchors();
    for (unsigned B = akLeft; B <= akBottom; ++B)
      if (K.Anchors & (1u << B)) A.Include(static_cast<TAnchorKind>(B));
    V.SetAnchors(A);
    V.SetColor(K.Color);
    V.SetDragAlphaBlend(K.DragAlphaBlend);
    V.SetDragAlphaBlendValue(static_cast<Byte>(std::clamp<Integer>(K.DragAlphaBlendValue, 0, 255)));
    V.SetHint(K.Hint);
    V.SetPanesSynched(K.PanesSynched);
    V.SetShowHint(K.ShowHint);
    if (K.TabOrder >= 0) V.SetTabOrder(K.TabOrder);
    V.SetTabStop(K.TabStop);
    V.SetVerticalCrossHairsSynched(K.VerticalCrossHairsSynched);
    V.SetVisible(K.Visible);
    V.SetXAxisZoomSensitivity(K.XAxisZoomSensitivity);
    V.SetYAxisZoomSensitivity(K.YAxisZoomSensitivity);
    V.SetZoomColor(K.ZoomColor);
    if (K.ZoomStyle >= bsSolid && K.ZoomStyle <= bsDiagCross) V.SetZoomStyle(static_cast<TBrushStyle>(K.ZoomStyle));
    V.SetEnableInteraction(K.EnableInteraction);
  }
  TChartPaneKeys PaneKeys(Integer I) const override { return V.Panes().Items(I)->Keys(); }
  void ApplyPaneKeys(Integer I, const TChartPaneKeys& K) override { V.Panes().Items(I)->ApplyKeys(K); }
  void RecreatePanes(Integer Count) override {
    V.Panes().Clear();
    for (Integer I = 0; I < Count; ++I) V.Panes().Add();
  }
  void DeletePanes() override { V.Panes().Clear(); }
  TVivIzude& AddPane() override { return V.Panes().Add()->Chart(); }
  void BeginUpdate() override {
    ++V.FLoading;
    V.BeginUpdate();
  }
  void EndUpdate() override {
    --V.FLoading;
    V.EndUpdate();
  }
  void SaveExtra(TCustomIniFile& Ini, const String& Name) const override {
    V.Tracker().SaveToFile(Ini, Name + u".Tracker");
  }
  void LoadExtra(const TCustomIniFile& Ini, const String& Name) override {
    V.Tracker().LoadFromFile(Ini, Name + u".Tracker");
  }
  void SavePaneExtra(Integer I, TCustomIniFile& Ini, const String& Section) const override {
    V.Panes().Items(I)->SaveExtraKeys(Ini, Section);
  }
  void LoadPaneExtra(Integer I, const TCustomIniFile& Ini, const String& Section) override {
    V.Panes().Items(I)->LoadExtraKeys(Ini, Section);
  }

private:
  TVivIzudeView& V;
};

namespace {
// A pane that belongs to no view is stored through a store of its own.
class TLonePaneStore : public IChartViewStore {
public:
  explicit TLonePaneStore(TChartPane& Pane) : P(Pane) {}
  Integer PaneCount() const override { return 1; }
  TVivIzude& PaneChart(Integer) override { return P.Chart(); }
  TChartViewKeys ViewKeys() const override { return {}; }
  void ApplyViewKeys(const TChartViewKeys&) override {}
  TChartPaneKeys PaneKeys(Integer) const override { return P.Keys(); }
  void ApplyPaneKeys(Integer, const TChartPaneKeys& K) override { P.ApplyKeys(K); }
  void RecreatePanes(Integer) override {}
  void DeletePanes() override {}
  TVivIzude& AddPane() override { return P.Chart(); }
  void BeginUpdate() override {}
  void EndUpdate() override {}
  void SavePaneExtra(Integer, TCustomIniFile& Ini, const String& Section) const override {
    P.SaveExtraKeys(Ini, Section);
  }
  void LoadPaneExtra(Integer, const TCustomIniFile& Ini, const String& Section) override {
    P.LoadExtraKeys(Ini, Section);
  }

private:
  TChartPane& P;
};

String ViewSection(const TVivIzudeView& V) { return V.Name().empty() ? V.ClassName() : V.Name(); }
}  // namespace

// ---------------------------------------------------------------- pane keys
TChartPaneKeys TChartPane::Keys() const {
  TChartPaneKeys K;
  K.BorderStyle = Integer(FBorderStyle);
  K.BorderColor = FBorderColor;
  K.BorderWidth = FBorderWidth;
  K.Height = FHeight;
  K.HeightType = Integer(FHeightType);
  K.Name = FName;
  K.Options = FOptions.Bits();
  K.Visible = FVisible;
  K.Rectangle = FRectangle;
  const TChartSplitter& S = *FSplitter;
  K.Splitter = {S.Color(),  S.ColorTo(),   S.GradientSteps(), Integer(S.GradientDirection()),
                S.Height(), S.LineColor(), S.LineWidth(),     S.Visible()};
  return K;
}

void TChartPane::ApplyKeys(const TChartPaneKeys& K) {
  if (K.BorderStyle >= bsNone && K.BorderStyle <= bsSizeToolWin)
    SetBorderStyle(static_cast<TBorderStyle>(K.BorderStyle));
  SetBorderColor(K.BorderColor);
  SetBorderWidth(K.BorderWidth);
  // The height is judged under the type it was stored with.
  if (K.HeightType >= htPixels && K.HeightType <= htAuto) SetHeightType(static_cast<TPaneHeightType>(K.HeightType));
  SetHeight(K.Height);
  if (K.Name != FName) SetName(K.Name);
  SetOptions(TPaneOptions::FromBits(static_cast<Byte>(K.Options & 0x1F)));
  SetVisible(K.Visible);
  TChartSplitter& S = *FSplitter;
  S.SetColor(K.Splitter.Color);
  S.SetColorTo(K.Splitter.ColorTo);
  S.SetGradientSteps(K.Splitter.GradientSteps);
  if (K.Splitter.GradientDirection == cgdHorizontal || K.Splitter.GradientDirection == cgdVertical)
    S.SetGradientDirection(static_cast<TChartGradientDirection>(K.Splitter.GradientDirection));
  S.SetHeight(K.Splitter.Height);
  S.SetLineColor(K.Splitter.LineColor);
  S.SetLineWidth(K.Splitter.LineWidth);
  S.SetVisible(K.Splitter.Visible);
}

void TChartPane::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  TChartPane& Self = const_cast<TChartPane&>(*this);
  TVivIzudeView* V = ChartView();
  if (V) {
    TChartViewStore Store(*V);
    SaveChartPane(Store, Index(), Ini, Section);
  } else {
    TLonePaneStore Store(Self);
    SaveChartPane(Store, 0, Ini, Section);
  }
}

void TChartPane::LoadFromFile(const TCustomIniFile& Ini, const String& Section, bool AutoCreateSeries) {
  TVivIzudeView* V = ChartView();
  if (V) {
    TChartViewStore Store(*V);
    LoadChartPane(Store, Index(), Ini, Section, AutoCreateSeries);
  } else {
    TLonePaneStore Store(*this);
    LoadChartPane(Store, 0, Ini, Section, AutoCreateSeries);
  }
}

// ---------------------------------------------------------------- settings file and CSV
void TVivIzudeView::SaveToFile(const String& FileName) {
  TChartViewStore Store(*this);
  SaveChartView(Store, FileName, ViewSection(*this));
}

void TVivIzudeView::LoadFromFile(const String& FileName, bool AutoCreatePanes, bool AutoCreateSeries) {
  TChartViewStore Store(*this);
  LoadChartView(Store, FileName, ViewSection(*this), AutoCreatePanes, AutoCreateSeries);
}

void TVivIzudeView::SaveToCSV(const String& FileName) {
  TChartViewStore Store(*this);
  SaveChartViewCSV(Store, FileName);
}

TChartCSVLoadResult TVivIzudeView::LoadFromCSV(const String& FileName, bool CreateChart) {
  TChartViewStore Store(*this);
  const TChartCSVLoadResult R = LoadChartViewCSV(Store, FileName, CreateChart);
  if (R.Errors.empty()) return R;
  if (OnCSVLoadError) {
    OnCSVLoadError(this, R);
    return R;
  }
  // Nobody listens: the skipped lines still reach the user, through the
  // application's handling of exceptions.
  String Message = u"Lines of \"" + FileName + u"\" that hold no point were skipped:";
  const std::size_t Shown = std::min<std::size_t>(R.Errors.size(), 10);
  for (std::size_t I = 0; I < Shown; ++I)
    Message += u"\r\nline " + IntToStr(R.Errors[I].Line) + u": " + R.Errors[I].Reason;
  if (R.Errors.size() > Shown) Message += u"\r\n(" + IntToStr(Integer(R.Errors.size() - Shown)) + u" more)";
  throw EChartCSVError(Message);
}

// ---------------------------------------------------------------- printing and pictures
double TVivIzudeView::GetPrintScale(TCanvas& Canvas) {
  const int Own = GetDeviceCaps(TWindowDC(nullptr).Get(), LOGPIXELSY);
  return Own > 0 ? double(GetDeviceCaps(Canvas.Handle(), LOGPIXELSY)) / Own : 1.0;
}

std::vector<TVivIzudeView::TStackedPane> TVivIzudeView::StackedPanes(Integer Height) const {
  std::vector<TStackedPane> Out;
  double Total = 0;
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    const TChartPane* P = FPanes->Items(I);
    if (!P->Visible()) continue;
    Out.push_back({I, 0, std::max<Integer>(P->PixelHeight(), 0)});
    Total += Out.back().Height;
  }
  const bool Equal = Total <= 0;
  if (Equal) Total = double(Out.size());
  // Each boundary rounded from the running sum, so that the rounding of one
  // pane never leaves a row to the next, nor a blank strip at the end.
  double Sum = 0;
  Integer Top = 0;
  for (TStackedPane& S : Out) {
    Sum += Equal ? 1 : S.Height;
    const Integer Bottom = RoundI(Height * Sum / Total);
    S.Top = Top;
    S.Height = Bottom - Top;
    Top = Bottom;
  }
  return Out;
}

void TVivIzudeView::PrintAllPanes(TCanvas& Canvas, TRect R) {
  for (const TStackedPane& S : StackedPanes(R.Height()))
    RenderPane(S.Index, Canvas, true, Bounds(R.Left, R.Top + S.Top, R.Width(), S.Height));
}

namespace {
// Renders every visible pane of the view stacked into a Width x Height picture.
template <class F>
void StackPanes(TVivIzudeView& V, Integer Width, Integer Height, F Render) {
  for (const TVivIzudeView::TStackedPane& S : V.StackedPanes(Height))
    Render(S.Index, Bounds(V.Panes().Items(S.Index)->Rectangle().Left, S.Top, Width, S.Height));
}

std::unique_ptr<TBitmap> Picture(TColor Back, Integer Width, Integer Height) {
  auto B = std::make_unique<TBitmap>(std::max<Integer>(Width, 1), std::max<Integer>(Height, 1));
  B->SetPixelFormat(pf24bit);
  B->Canvas()->Brush()->SetColor(Back);
  B->Canvas()->FillRect({0, 0, B->Width(), B->Height()});
  return B;
}
}  // namespace

std::unique_ptr<TBitmap> TVivIzudeView::GenerateBitmap(Integer Width, Integer Height) {
  auto B = Picture(Color(), Width, Height);
  StackPanes(*this, Width, Height, [&](Integer I, TRect R) { RenderPane(I, *B->Canvas(), false, R); });
  return B;
}

void TVivIzudeView::SaveAllPanesToBitmap(const String& FileName, Integer Width, Integer Height) {
  GenerateBitmap(Width, Height)->SaveToFile(FileName);
}

void TVivIzudeView::SavePaneToBitmap(Integer Pane, const String& FileName, Integer Width, Integer Height) {
  (void)FPanes->Items(Pane);  // an index outside the panes raises before anything is written
  auto B = Picture(Color(), Width, Height);
  RenderPane(Pane, *B->Canvas(), false, {0, 0, Width, Height});
  B->SaveToFile(FileName);
}

std::unique_ptr<TChartMetafile> TVivIzudeView::CreateMetaFile(Integer Width, Integer Height) {
  auto M = std::make_unique<TChartMetafile>(Width, Height);
  {
    TChartMetafileCanvas C(*M);
    StackPanes(*this, Width, Height, [&](Integer I, TRect R) { RenderPane(I, C, false, R); });
  }
  return M;
}

std::unique_ptr<TChartMetafile> TVivIzudeView::CreateMetaFile(Integer Pane, Integer Width, Integer Height) {
  (void)FPanes->Items(Pane);
  auto M = std::make_unique<TChartMetafile>(Width, Height);
  {
    TChartMetafileCanvas C(*M);
    RenderPane(Pane, C, false, {0, 0, Width, Height});
  }
  return M;
}
