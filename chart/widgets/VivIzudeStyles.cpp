#include "chart/widgets/VivIzudeStyles.h"

#include "chart/drawing/VivIzudeGraphics.h"

namespace {

class TSystemStyle : public TVivIzudeStyleServices {
public:
  bool Enabled() const override { return true; }
  String Name() const override { return u"Windows"; }
  bool GetElementColor(const TThemedElementDetails&, TElementColor, TColor&) const override { return false; }
  void DrawElement(const TThemedElementDetails&, TRasterImage&, const TRect&) const override {}
};

const TSystemStyle SystemStyle;
const TVivIzudeStyleServices* ActiveStyleServices = &SystemStyle;

TColor SamplePixel(const TThemedElementDetails& Details, bool ATop) {
  constexpr Integer Size = 200;
  TRasterImage Bitmap;
  Bitmap.SetSize(Size, Size);
  TVivIzudeStyleManager::ActiveStyle().DrawElement(Details, Bitmap, TRect{0, 0, Size, Size});
  const Byte* P = Bitmap.Row(ATop ? 2 : Bitmap.Height - 2) + (Bitmap.Width / 2) * 4;
  return static_cast<TColor>(P[2] | (P[1] << 8) | (P[0] << 16));
}

// The style's colour, or the marker when it has none.
TColor ElementColor(const TThemedElementDetails& Details, TElementColor Which) {
  TColor C = StyleColorMarker;
  TVivIzudeStyleManager::ActiveStyle().GetElementColor(Details, Which, C);
  return C;
}

bool Deliver(TColor C, TColor& AColor) {
  AColor = C;
  return C != StyleColorMarker;
}

bool FromElement(const TThemedElementDetails& Details, TElementColor Which, TColor& AColor) {
  if (!TVivIzudeStyles::StyleServicesEnabled()) return false;
  return Deliver(ElementColor(Details, Which), AColor);
}

bool FromElementOrSample(const TThemedElementDetails& Details, TElementColor Which, bool ATop, TColor& AColor) {
  if (!TVivIzudeStyles::StyleServicesEnabled()) return false;
  TColor C = ElementColor(Details, Which);
  if (C == StyleColorMarker)
    C = ATop ? TVivIzudeStyles::SampleTopColor(Details) : TVivIzudeStyles::SampleBottomColor(Details);
  return Deliver(C, AColor);
}

bool FromSample(const TThemedElementDetails& Details, bool ATop, TColor& AColor) {
  if (!TVivIzudeStyles::StyleServicesEnabled()) return false;
  return Deliver(ATop ? TVivIzudeStyles::SampleTopColor(Details) : TVivIzudeStyles::SampleBottomColor(Details), AColor);
}

bool TextColor(const TThemedElementDetails& Details, TColor& AColor) {
  if (!TVivIzudeStyles::StyleServicesEnabled()) return false;
  AColor = 0;
  return Deliver(ElementColor(Details, ecTextColor), AColor);
}

}  // namespace

const TVivIzudeStyleServices& TVivIzudeStyleManager::ActiveStyle() { return *ActiveStyleServices; }

void TVivIzudeStyleManager::SetActiveStyle(const TVivIzudeStyleServices* AStyle) {
  ActiveStyleServices = AStyle ? AStyle : &SystemStyle;
}

TColor TVivIzudeStyles::SampleTopColor(const TThemedElementDetails& Details) { return SamplePixel(Details, true); }

TColor TVivIzudeStyles::SampleBottomColor(const TThemedElementDetails& Details) { return SamplePixel(Details, false); }

bool TVivIzudeStyles::StyleServicesEnabled() {
  const TVivIzudeStyleServices& Style = TVivIzudeStyleManager::ActiveStyle();
  return Style.Enabled() && Style.Name() != u"Windows";
}

bool TVivIzudeStyles::GetStyleLineFillColor(TColor& AColor) {
  return FromElement(GetElementDetails(tgCellNormal), ecBorderColor, AColor);
}

bool TVivIzudeStyles::GetStyleBackgroundFillColor(TColor& AColor) {
  return FromElementOrSample(GetElementDetails(tgCellNormal), ecFillColor, true, AColor);
}

bool TVivIzudeStyles::GetStyleBackgroundFillColorTo(TColor& AColor) {
  return FromElementOrSample(GetElementDetails(tgGradientCellNormal), ecFillColor, false, AColor);
}

bool TVivIzudeStyles::GetStyleAlternativeBackgroundFillColor(TColor& AColor) {
  return FromSample(GetElementDetails(teBackgroundNormal), true, AColor);
}

bool TVivIzudeStyles::GetStyleAlternativeBackgroundFillColorTo(TColor& AColor) {
  return FromElement(GetElementDetails(teBackgroundNormal), ecGradientColor1, AColor);
}

bool TVivIzudeStyles::GetStyleBackgroundStrokeColor(TColor& AColor) {
  return FromElement(GetElementDetails(tgCellNormal), ecBorderColor, AColor);
}

bool TVivIzudeStyles::GetStyleHeaderFillColor(TColor& AColor) {
  return FromSample(GetElementDetails(tgFixedCellNormal), true, AColor);
}

bool TVivIzudeStyles::GetStyleHeaderFillColorTo(TColor& AColor) {
  return FromSample(GetElementDetails(tgFixedCellNormal), false, AColor);
}

bool TVivIzudeStyles::GetStyleHeaderStrokeColor(TColor&) { return false; }

bool TVivIzudeStyles::GetStyleSelectionFillColor(TColor& AColor) {
  return FromSample(GetElementDetails(tgCellSelected), true, AColor);
}

bool TVivIzudeStyles::GetStyleSelectionFillColorTo(TColor& AColor) {
  return FromSample(GetElementDetails(tgCellSelected), false, AColor);
}

bool TVivIzudeStyles::GetStyleTextFontColor(TColor& AColor) {
  return TextColor(GetElementDetails(tgCellNormal), AColor);
}

bool TVivIzudeStyles::GetStyleAlternativeTextFontColor(TColor& AColor) {
  return TextColor(GetElementDetails(tgCellSelected), AColor);
}

bool TVivIzudeStyles::GetStyleDefaultButtonFillColor(TColor& AColor) {
  return FromSample(GetElementDetails(tcbButtonNormal), true, AColor);
}

bool TVivIzudeStyles::GetStyleDefaultButtonStrokeColor(TColor& AColor) {
  return FromElement(GetElementDetails(tcbButtonNormal), ecBorderColor, AColor);
}

void InitializeDefaultGraphicColors() {
  // In this order: the blends use the fill and stroke colours just computed.
  TColor C = 0;
  DefaultBackgroundColor = TVivIzudeStyles::GetStyleBackgroundFillColor(C) ? C : 0xFFFFFF;
  DefaultBackgroundStrokeColor = TVivIzudeStyles::GetStyleBackgroundStrokeColor(C) ? C : 0xC0C0C0;
  DefaultFillColor = TVivIzudeStyles::GetStyleDefaultButtonFillColor(C) ? C : MakeColor(225, 225, 225);
  DefaultStrokeColor = TVivIzudeStyles::GetStyleLineFillColor(C) ? C : 0xA9A9A9;
  DefaultTextColor = TVivIzudeStyles::GetStyleTextFontColor(C) ? C : 0x000000;
  TColor S = 0;
  if (TVivIzudeStyles::GetStyleSelectionFillColor(S)) {
    DefaultFocusColor = S;
    DefaultActiveFillColor = BlendColor(S, DefaultFillColor, 25);
    DefaultActiveStrokeColor = BlendColor(S, DefaultStrokeColor, 30);
  } else {
    DefaultFocusColor = 0;
    DefaultActiveFillColor = MakeColor(229, 241, 251);
    DefaultActiveStrokeColor = MakeColor(60, 127, 177);
  }
  DefaultDisabledStrokeColor = 0xA9A9A9;
  DefaultDisabledFillColor = 0xD3D3D3;
}
