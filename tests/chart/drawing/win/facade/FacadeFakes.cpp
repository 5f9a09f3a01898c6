#include "FacadeFakes.h"

#include <stdexcept>

#include "chart/drawing/VivIzudeHTMLEngine.h"
#include "chart/drawing/VivIzudeTypes.h"

std::vector<TFakeContext*> TFakes::Contexts;
std::vector<TMarkupCall> TFakes::MarkupCalls;

namespace {
template <const char* Kind>
std::unique_ptr<TVivIzudeGraphicsContext> Make(TVivIzudeGraphics* AGraphics) {
  auto C = std::make_unique<TFakeContext>(AGraphics, Kind);
  TFakes::Contexts.push_back(C.get());
  return C;
}
constexpr char General[] = "general";
constexpr char Native[] = "native";

float VisibleLength(const String& AText) {
  float N = 0;
  bool InTag = false;
  for (Char C : AText) {
    if (C == u'<')
      InTag = true;
    else if (C == u'>')
      InTag = false;
    else if (!InTag)
      ++N;
  }
  return N;
}
}  // namespace

TVivIzudeGraphicsContextClass GetGeneralContextClass() { return &Make<General>; }
TVivIzudeGraphicsContextClass GetNativeContextClass() { return &Make<Native>; }

bool RenderMarkup(TVivIzudeGraphics*, const String& AText, const TRectF& ARect, Integer AX, Integer AY, Integer,
                  Integer, Integer, bool AHitTestOnly, bool AMeasureOnly, bool, bool, bool, bool, bool AWordWrapping,
                  bool, const String&, double, TColor, TColor, TColor, TColor, String& AAnchorValue, String&, String&,
                  float& AXSize, float& AYSize, Integer&, Integer&, TRectF&, TRectF&, String& AControlID,
                  String& AControlValue, String& AControlType, Integer& ALineCount, Integer, TVivIzudeBitmapContainer*,
                  bool, TCustomImageList*, TColor, TColor, TFontStyles, bool) {
  TFakes::MarkupCalls.push_back({AText, ARect, AHitTestOnly, AMeasureOnly, AWordWrapping, AX, AY});
  AXSize = VisibleLength(AText) * TRecordingGraphicsContext::CharWidth;
  AYSize = TRecordingGraphicsContext::LineHeight;
  ALineCount = 1;
  if (AMeasureOnly) return false;
  if (AText.find(u"<boom/>") != String::npos) throw std::runtime_error("engine failure");
  if (AText.find(u"<a") != String::npos && PtInRectF(ARect, {static_cast<float>(AX), static_cast<float>(AY)})) {
    AAnchorValue = u"link";
    AControlID = u"id";
    AControlValue = u"value";
    AControlType = u"type";
    return true;
  }
  return false;
}

String HighlightMarkup(const String& AText, const String&, const String&, bool) { return AText; }
