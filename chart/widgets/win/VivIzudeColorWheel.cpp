#include "chart/widgets/win/VivIzudeColorWheel.h"

#include <algorithm>
#include <cmath>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeUtils.h"
#include "chart/widgets/VivIzudeColorWheelResources.h"
#include "rtl/SysUtils.h"

namespace {

constexpr Integer ImageSize = 150;
constexpr Integer ImageLeft = 10;
constexpr Integer EditWidth = 35;
constexpr Integer EditRightMargin = 15;
constexpr Integer HEXEditWidth = 125;
constexpr Integer HEXEditLeft = 210;
constexpr Integer TrackBarLeft = 195;
constexpr Integer EditTops[] = {15, 45, 75};
constexpr Integer HEXEditTop = 105;
constexpr TColor White = 0xFFFFFF;
constexpr TColor Black = 0x000000;

}  // namespace

// ---------------------------------------------------------------- picture

TVivIzudeImageColor::TVivIzudeImageColor(TComponent* AOwner) : TVivIzudeImage(AOwner) {
  SetBounds(Left(), Top(), ImageSize, ImageSize);
  // The centre of the control as it is: forms here are built in code and
  // never rescaled, so the control keeps its size at any display scale.
  FX = static_cast<float>(Width()) / 2;
  FY = static_cast<float>(Height()) / 2;
  Stroke()->SetKind(gskNone);
  OnBitmapChanged = [this](TObject* Sender) { BitmapLoaded(Sender); };
}

TVivIzudeImageColor::~TVivIzudeImageColor() { UnmapPixels(); }

void TVivIzudeImageColor::BitmapLoaded(TObject*) { FImageLoaded = true; }

void TVivIzudeImageColor::Resize() {
  TVivIzudeImage::Resize();
  // The copy must have the control's size, or picks would read a stale one.
  FImageLoaded = true;
}

void TVivIzudeImageColor::MapPixels() {
  UnmapPixels();
  const Integer W = Width(), H = Height();
  if (W <= 0 || H <= 0) return;
  auto Bmp = std::make_unique<TBitmap>(W, H);
  Bmp->SetPixelFormat(pf24bit);
  {
    // Drawn again off the screen rather than read from the window, whose
    // pixels may be covered or not yet drawn.
    TVivIzudeGraphics G(Bmp->Canvas(), false);
    G.Context()->SetSize(static_cast<float>(W), static_cast<float>(H));
    const TRectF R{0, 0, static_cast<float>(W), static_cast<float>(H)};
    DrawBackground(&G, R);
    TVivIzudeImage::Draw(&G, R);
    G.Context()->Render();
  }
  FBmp = std::move(Bmp);
}

void TVivIzudeImageColor::UnmapPixels() {
  FBmp.reset();
  FPixels = nullptr;
  FRX = 0;
}

TColor TVivIzudeImageColor::XYToColor(float X, float Y) {
  if (!FBmp || !std::isfinite(X) || !std::isfinite(Y)) return -1;
  const double Column = std::nearbyint(X), Row = std::nearbyint(Y);
  if (Column < 0 || Row < 0 || Column >= FBmp->Width() || Row >= FBmp->Height()) return -1;
  FPixels = static_cast<const Byte*>(FBmp->ScanLine(static_cast<Integer>(Row)));
  FRX = static_cast<Integer>(Column);
  const Byte* P = FPixels + static_cast<std::size_t>(FRX) * 3;
  return P[2] + P[1] * 256 + P[0] * 65536;
}

TPointF TVivIzudeImageColor::GetCenterPoint() const {
  return {static_cast<float>(Width()) / 2, static_cast<float>(Height()) / 2};
}

float TVivIzudeImageColor::GetRadius() const { return static_cast<float>(Width()) / 2; }

void TVivIzudeImageColor::SetMarkerPoint(const TPointF& APoint) {
  FX = APoint.X;
  FY = APoint.Y;
  Invalidate();
}

bool TVivIzudeImageColor::IsInsideWheel(float X, float Y) const {
  // The scale the picture is shown at is the control's own (150 pixels at
  // 1), not the display's: a control left at 150 pixels on a 144 DPI display
  // would otherwise take its corners for the disc.
  return IsInsideColorWheel(X, Y, static_cast<float>(Width()) / ImageSize);
}

void TVivIzudeImageColor::PickAt(float X, float Y) {
  const TColor C = XYToColor(X, Y);
  if (C == -1) return;
  FPixelColor = C;
  if (OnColorChanged) OnColorChanged(this);
  Invalidate();
}

void TVivIzudeImageColor::Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  TVivIzudeImage::Draw(AGraphics, ARect);
  if (FImageLoaded) {
    FImageLoaded = false;
    MapPixels();
  }
  AGraphics->SetStrokeKind(gskSolid);
  AGraphics->SetStrokeColor(Black);
  AGraphics->SetFillKind(gfkNone);
  AGraphics->DrawEllipse(TRectF{FX - 5, FY - 5, FX + 5, FY + 5}, gcrmShrinkAll);
  AGraphics->SetStrokeColor(White);
  AGraphics->DrawEllipse(TRectF{FX - 4, FY - 4, FX + 4, FY + 4}, gcrmShrinkAll);
}

void TVivIzudeImageColor::HandleMouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TVivIzudeImage::HandleMouseDown(Button, Shift, X, Y);
  CaptureMouse();
  FMouseDown = true;
  if (IsInsideWheel(X, Y)) PickAt(X, Y);
}

void TVivIzudeImageColor::HandleMouseMove(TShiftState Shift, float X, float Y) {
  TVivIzudeImage::HandleMouseMove(Shift, X, Y);
  if (!FMouseDown) return;
  if (IsInsideWheel(X, Y)) {
    PickAt(X, Y);
    return;
  }
  const TPointF P = ClampToColorWheel(X, Y, GetCenterPoint(), GetRadius());
  FX = P.X;
  FY = P.Y;
  Invalidate();
  PickAt(FX, FY);
}

void TVivIzudeImageColor::HandleMouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TVivIzudeImage::HandleMouseUp(Button, Shift, X, Y);
  FMouseDown = false;
  ReleaseMouse();
}

// ---------------------------------------------------------------- track bar

TVivRGBTrackBar::TVivRGBTrackBar(TComponent* AOwner) : TTrackBar(AOwner) {
  SetTickStyle(tsNone);
  SetMax(255);
  SetBounds(Left(), Top(), 100, 22);
}

void TVivRGBTrackBar::SetValue(float AValue) { SetPosition(static_cast<Integer>(std::nearbyint(AValue))); }

// ---------------------------------------------------------------- wheel

TVivIzudeCustomColorWheel::TVivIzudeCustomColorWheel(TComponent* AOwner) : TVivIzudeCustomControl(AOwner) {
  SetBounds(Left(), Top(), 350, 175);
  Fill()->OnChanged = [this](TObject* Sender) { WheelFillChanged(Sender); };

  FImage = new TVivIzudeImageColor(this);
  FImage->SetParent(this);
  FImage->SetLeft(ImageLeft);
  CenterImage();
  for (const TVivIzudeColorWheelPicture& P : VivIzudeColorWheelPictures)
    FImage->Bitmaps()->AddBitmapFromResource(P.ResourceName, P.Scale);
  FImage->OnColorChanged = [this](TObject* Sender) { ImageColorChanged(Sender); };

  const auto NewEdit = [this](TVivIzudeEditType AType, Integer ALeft, Integer ATop, Integer AWidth, Integer AMaxLength,
                              const String& AText) {
    auto* E = new TVivIzudeEdit(this);
    E->SetParent(this);
    E->SetEditType(AType);
    E->SetBounds(ALeft, ATop, AWidth, E->Height());
    E->SetMaxLength(AMaxLength);
    E->SetText(AText);
    return E;
  };
  const Integer EditLeft = Width() - EditWidth - EditRightMargin;
  FREdit = NewEdit(etNumeric, EditLeft, EditTops[0], EditWidth, 3, u"255");
  FGEdit = NewEdit(etNumeric, EditLeft, EditTops[1], EditWidth, 3, u"255");
  FBEdit = NewEdit(etNumeric, EditLeft, EditTops[2], EditWidth, 3, u"255");
  for (TVivIzudeEdit* E : {FREdit, FGEdit, FBEdit})
    E->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { ComponentEditKeyDown(Sender, Key, Shift); };
  FHEXEdit = NewEdit(etHex, HEXEditLeft, HEXEditTop, HEXEditWidth, 6, u"FFFFFF");
  FHEXEdit->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { HEXEditKeyDown(Sender, Key, Shift); };

  const auto NewTrackBar = [this](TVivIzudeEdit* AEdit) {
    auto* T = new TVivRGBTrackBar(this);
    T->SetParent(this);
    T->SetLeft(TrackBarLeft);
    T->SetTop(AEdit->Top() - 1);
    T->SetValue(255);
    T->OnChange = [this](TObject* Sender) { TrackBarChange(Sender); };
    return T;
  };
  FRTrackBar = NewTrackBar(FREdit);
  FGTrackBar = NewTrackBar(FGEdit);
  FBTrackBar = NewTrackBar(FBEdit);
  FHSColor = RGBToHueSaturation(FRValue, FGValue, FBValue);
}

String TVivIzudeCustomColorWheel::GetVersion() const { return FormatVersionString(1, 0, 0, 0); }

void TVivIzudeCustomColorWheel::WheelFillChanged(TObject* Sender) {
  FillChanged(Sender);
  if (FImage) FImage->Fill()->SetColor(Color());
}

void TVivIzudeCustomColorWheel::ApplyStyle() {
  TVivIzudeCustomControl::ApplyStyle();
  TColor C = 0;
  if (TVivIzudeStyles::GetStyleBackgroundFillColor(C)) Fill()->SetColor(C);
}

void TVivIzudeCustomColorWheel::ResetToDefaultStyle() {
  TVivIzudeCustomControl::ResetToDefaultStyle();
  Fill()->SetColor(White);
}

void TVivIzudeCustomColorWheel::CenterImage() {
  FImage->SetTop(static_cast<Integer>(std::nearbyint(Height() / 2.0 - FImage->Height() / 2.0)));
}

void TVivIzudeCustomColorWheel::UpdateControlAfterResize() {
  TVivIzudeCustomControl::UpdateControlAfterResize();
  if (FImage) CenterImage();
}

void TVivIzudeCustomColorWheel::UpdateHEXEdit() { FHEXEdit->SetText(ColorToHEXText(FSelectedColor)); }

void TVivIzudeCustomColorWheel::UpdateHueSaturation() {
  FHSColor = RGBToHueSaturation(FRValue, FGValue, FBValue);
  UpdateColorMarker();
}

void TVivIzudeCustomColorWheel::UpdateColorMarker() {
  FImage->SetMarkerPoint(ColorWheelMarkerPoint(FHSColor, FImage->GetCenterPoint(), FImage->GetRadius()));
}

void TVivIzudeCustomColorWheel::SetSelectedColor(TColor Value) {
  if (FSelectedColor == Value) return;
  FSelectedColor = Value;
  FRValue = ::ColorToRValue(Value);
  FGValue = ::ColorToGValue(Value);
  FBValue = ::ColorToBValue(Value);
  FREdit->SetText(IntToStr(FRValue));
  FGEdit->SetText(IntToStr(FGValue));
  FBEdit->SetText(IntToStr(FBValue));
  UpdateHEXEdit();
  // A track bar moved here calls back into the component setter, which
  // finds the component already stored and does nothing.
  if (FRTrackBar->Position() != FRValue) {
    FRTrackBar->SetValue(static_cast<float>(FRValue));
    DoRValueChanged(FRValue, FSelectedColor);
  }
  if (FGTrackBar->Position() != FGValue) {
    FGTrackBar->SetValue(static_cast<float>(FGValue));
    DoGValueChanged(FGValue, FSelectedColor);
  }
  if (FBTrackBar->Position() != FBValue) {
    FBTrackBar->SetValue(static_cast<float>(FBValue));
    DoBValueChanged(FBValue, FSelectedColor);
  }
  UpdateHueSaturation();
  DoSelectedColorChanged(FSelectedColor);
  Invalidate();
}

void TVivIzudeCustomColorWheel::SetComponentValue(TComponentIndex AIndex, Integer Value) {
  Integer& Field = AIndex == TComponentIndex::R ? FRValue : AIndex == TComponentIndex::G ? FGValue : FBValue;
  if (Field == Value) return;
  Field = Value;
  TVivIzudeEdit* Edit = AIndex == TComponentIndex::R ? FREdit : AIndex == TComponentIndex::G ? FGEdit : FBEdit;
  TVivRGBTrackBar* Bar = AIndex == TComponentIndex::R   ? FRTrackBar
                         : AIndex == TComponentIndex::G ? FGTrackBar
                                                        : FBTrackBar;
  Edit->SetText(IntToStr(Value));
  FSelectedColor = ::RGBToGraphicsColor(FRValue, FGValue, FBValue);
  UpdateHEXEdit();
  Bar->SetValue(static_cast<float>(Value));
  UpdateHueSaturation();
  switch (AIndex) {
    case TComponentIndex::R:
      DoRValueChanged(Value, FSelectedColor);
      break;
    case TComponentIndex::G:
      DoGValueChanged(Value, FSelectedColor);
      break;
    case TComponentIndex::B:
      DoBValueChanged(Value, FSelectedColor);
      break;
  }
  DoSelectedColorChanged(FSelectedColor);
  Invalidate();
}

void TVivIzudeCustomColorWheel::SetRValue(Integer Value) { SetComponentValue(TComponentIndex::R, Value); }
void TVivIzudeCustomColorWheel::SetGValue(Integer Value) { SetComponentValue(TComponentIndex::G, Value); }
void TVivIzudeCustomColorWheel::SetBValue(Integer Value) { SetComponentValue(TComponentIndex::B, Value); }

String TVivIzudeCustomColorWheel::HEXValue() const { return FHEXEdit->Text(); }

void TVivIzudeCustomColorWheel::SetHEXValue(const String& Value) {
  if (Value.size() != 6) return;
  SetSelectedColor(HEXTextToColor(Value));
}

void TVivIzudeCustomColorWheel::ComponentEditKeyDown(TObject* Sender, Word& Key, TShiftState) {
  if (Key != VK_RETURN) return;
  auto* Edit = static_cast<TVivIzudeEdit*>(Sender);
  const Integer V = std::clamp(Edit->IntValue(), 0, 255);
  const Integer Current = Edit == FREdit ? FRValue : Edit == FGEdit ? FGValue : FBValue;
  if (V == Current) {
    Edit->SetText(IntToStr(V));
    return;
  }
  const Integer R = Edit == FREdit ? V : FRValue, G = Edit == FGEdit ? V : FGValue, B = Edit == FBEdit ? V : FBValue;
  SetSelectedColor(::RGBToGraphicsColor(R, G, B));
}

void TVivIzudeCustomColorWheel::HEXEditKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_RETURN && FHEXEdit->Text().size() == 6) SetHEXValue(FHEXEdit->Text());
}

void TVivIzudeCustomColorWheel::TrackBarChange(TObject* Sender) {
  auto* Bar = static_cast<TVivRGBTrackBar*>(Sender);
  const Integer V = static_cast<Integer>(std::nearbyint(Bar->Value()));
  if (Bar == FRTrackBar)
    SetRValue(V);
  else if (Bar == FGTrackBar)
    SetGValue(V);
  else
    SetBValue(V);
}

void TVivIzudeCustomColorWheel::ImageColorChanged(TObject*) { SetSelectedColor(FImage->PixelColor()); }

void TVivIzudeCustomColorWheel::DoBeforeDrawSelectedColorPanel(TVivIzudeGraphics* AGraphics, const TRectF& ARectF,
                                                               TColor ASelectedColor, bool& AAllow,
                                                               bool& ADefaultDraw) {
  if (OnBeforeDrawSelectedColorPanel)
    OnBeforeDrawSelectedColorPanel(this, AGraphics, ARectF, ASelectedColor, AAllow, ADefaultDraw);
}

void TVivIzudeCustomColorWheel::DoAfterDrawSelectedColorPanel(TVivIzudeGraphics* AGraphics, const TRectF& ARectF,
                                                              TColor ASelectedColor) {
  if (OnAfterDrawSelectedColorPanel) OnAfterDrawSelectedColorPanel(this, AGraphics, ARectF, ASelectedColor);
}

void TVivIzudeCustomColorWheel::DoSelectedColorChanged(TColor ASelectedColor) {
  if (OnSelectedColorChanged) OnSelectedColorChanged(this, ASelectedColor);
}

void TVivIzudeCustomColorWheel::DoRValueChanged(Integer AR, TColor ASelectedColor) {
  if (OnRValueChanged) OnRValueChanged(this, AR, ASelectedColor);
}

void TVivIzudeCustomColorWheel::DoGValueChanged(Integer AG, TColor ASelectedColor) {
  if (OnGValueChanged) OnGValueChanged(this, AG, ASelectedColor);
}

void TVivIzudeCustomColorWheel::DoBValueChanged(Integer AB, TColor ASelectedColor) {
  if (OnBValueChanged) OnBValueChanged(this, AB, ASelectedColor);
}

TRectF TVivIzudeCustomColorWheel::SelectedColorPanelRect() const {
  const float Left = static_cast<float>(FImage->Width() + 30);
  const float Top =
      static_cast<float>(FREdit->Height() + FGEdit->Height() + FBEdit->Height() + FHEXEdit->Height() + 60);
  return {Left, Top, static_cast<float>(FREdit->Left() + FREdit->Width()), Top + 25};
}

void TVivIzudeCustomColorWheel::DrawSelectedColorPanel(TVivIzudeGraphics* AGraphics) {
  const TRectF R = SelectedColorPanelRect();
  AGraphics->SetFillColor(FSelectedColor);
  bool Allow = true, DefaultDraw = true;
  DoBeforeDrawSelectedColorPanel(AGraphics, R, FSelectedColor, Allow, DefaultDraw);
  if (!Allow) return;
  if (DefaultDraw) AGraphics->DrawRectangle(R, gcrmShrinkAll);
  DoAfterDrawSelectedColorPanel(AGraphics, R, FSelectedColor);
}

void TVivIzudeCustomColorWheel::DrawEditLabels(TVivIzudeGraphics* AGraphics) {
  const float X = static_cast<float>(FImage->Width() + 30);
  const struct {
    const char16_t* Text;
    TVivIzudeEdit* Edit;
  } Labels[] = {{u"R", FREdit}, {u"G", FGEdit}, {u"B", FBEdit}, {u"HEX", FHEXEdit}};
  for (const auto& L : Labels) AGraphics->DrawText(TPointF{X, static_cast<float>(L.Edit->Top() + 3)}, L.Text);
}

void TVivIzudeCustomColorWheel::Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  TVivIzudeCustomControl::Draw(AGraphics, ARect);
  DrawSelectedColorPanel(AGraphics);
  DrawEditLabels(AGraphics);
}

TVivIzudeColorWheel::TVivIzudeColorWheel(TComponent* AOwner) : TVivIzudeCustomColorWheel(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeColorWheel::RegisterRuntimeClasses() {
  TVivIzudeCustomColorWheel::RegisterRuntimeClasses();
  RegisterVivIzudeColorWheelClasses();
}

void RegisterVivIzudeColorWheelClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomControlClasses();
    using W = TVivIzudeColorWheel;
    VivIzudeRegisterClass<W>(u"TVivIzudeColorWheel")
        .Inherits<TVivIzudeCustomControl>()
        .Object(u"Fill", static_cast<TVivIzudeGraphicsFill* (W::*)() const>(&W::Fill))
        .Object(u"Stroke", static_cast<TVivIzudeGraphicsStroke* (W::*)() const>(&W::Stroke))
        .Color(u"SelectedColor", static_cast<TColor (W::*)() const>(&W::SelectedColor),
               static_cast<void (W::*)(TColor)>(&W::SetSelectedColor))
        .Property(u"RValue", static_cast<Integer (W::*)() const>(&W::RValue),
                  static_cast<void (W::*)(Integer)>(&W::SetRValue))
        .Property(u"GValue", static_cast<Integer (W::*)() const>(&W::GValue),
                  static_cast<void (W::*)(Integer)>(&W::SetGValue))
        .Property(u"BValue", static_cast<Integer (W::*)() const>(&W::BValue),
                  static_cast<void (W::*)(Integer)>(&W::SetBValue))
        .Property(u"HEXValue", static_cast<String (W::*)() const>(&W::HEXValue),
                  static_cast<void (W::*)(const String&)>(&W::SetHEXValue))
        .Event(u"OnBeforeDrawSelectedColorPanel")
        .Event(u"OnAfterDrawSelectedColorPanel")
        .Event(u"OnSelectedColorChanged")
        .Event(u"OnRValueChanged")
        .Event(u"OnGValueChanged")
        .Event(u"OnBValueChanged");
    return true;
  }();
  (void)Registered;
}
