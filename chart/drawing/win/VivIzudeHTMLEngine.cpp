// The markup engine on the drawing facade: the facade is the engine's
// surface. Kept apart from the portable engine so that a program may link
// the facade with an engine of its own.
#include "chart/drawing/VivIzudeHTMLEngine.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "rtl/Exceptions.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Pictures.h"

namespace {

class TFacadePicture : public TVivIzudeMarkupPicture {
public:
  // AGraphic belongs to AOwned when given, else to the bitmap container.
  TFacadePicture(TGraphic* AGraphic, std::unique_ptr<TPicture> AOwned) : Graphic(AGraphic), Owned(std::move(AOwned)) {}
  Integer Width() const override { return Graphic ? Graphic->Width() : 0; }
  Integer Height() const override { return Graphic ? Graphic->Height() : 0; }
  TGraphic* Graphic;
  std::unique_ptr<TPicture> Owned;
};

class TFacadeSurface : public TVivIzudeMarkupSurface {
public:
  TFacadeSurface(TVivIzudeGraphics& AGraphics, TVivIzudeBitmapContainer* AContainer, TCustomImageList* AImageList)
      : G(AGraphics), Container(AContainer), Images(AImageList) {}

  TVivIzudeMarkupFont GetFont() override {
    TVivIzudeGraphicsFont* F = G.Font();
    return {F->Name(), F->Size(), F->Style(), F->Color()};
  }
  void SetFont(const TVivIzudeMarkupFont& AFont) override {
    TVivIzudeGraphicsFont* F = G.Font();
    if (F->Name() != AFont.Name) G.SetFontName(AFont.Name);
    if (F->Size() != AFont.Size) G.SetFontSize(AFont.Size);
    if (F->Style() != AFont.Style) G.SetFontStyles(AFont.Style);
    if (F->Color() != AFont.Color) G.SetFontColor(AFont.Color);
  }
  TColor GetFillColor() override { return G.Fill()->Color(); }
  void SetFillColor(TColor AColor) override { G.SetFillColor(AColor); }
  TColor GetStrokeColor() override { return G.Stroke()->Color(); }
  void SetStrokeColor(TColor AColor) override { G.SetStrokeColor(AColor); }
  void SetSolidStroke(float AWidth) override {
    G.SetStrokeKind(gskSolid);
    G.SetStrokeWidth(AWidth);
  }
  TSizeF MeasureText(const String& AText) override {
    const TRectF R = G.CalculateText(AText, TRectF{0, 0, 10000, 10000}, false, false);
    return {R.Width(), R.Height()};
  }
  void DrawText(const TRectF& ARect, const String& AText) override {
    G.DrawText(ARect, AText, false, gtaLeading, gtaCenter, gttNone, 0, -1, -1, false, false, -1, -1);
  }
  void DrawCaption(const TRectF& ARect, const String& AText) override {
    G.DrawText(ARect, AText, false, gtaCenter, gtaCenter, gttNone, 0, -1, -1, true, false, -1, -1);
  }
  void DrawRectangle(const TRectF& ARect) override { G.DrawRectangle(ARect); }
  void DrawEllipse(const TRectF& ARect) override { G.DrawEllipse(ARect); }
  void DrawLine(const TPointF& AFrom, const TPointF& ATo) override { G.DrawLine(AFrom, ATo); }
  void DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused) override {
    G.DrawCheckBox(ARect, AChecked, AFocused, true);
  }
  void DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused) override {
    G.DrawRadioButton(ARect, AChecked, AFocused, true);
  }
  void DrawButton(const TRectF& ARect, bool ADown, bool AFocused) override {
    G.DrawButton(ARect, ADown, AFocused, true);
  }
  std::unique_ptr<TVivIzudeMarkupPicture> FindPicture(const String& AName) override {
    TPicture* P = TVivIzudeGraphics::GetBitmapFromBitmapContainer(Container, AName);
    if (!P || !P->Graphic()) return nullptr;
    return std::make_unique<TFacadePicture>(P->Graphic(), nullptr);
  }
  std::unique_ptr<TVivIzudeMarkupPicture> LoadPicture(const String& AFileName) override {
    std::error_code Error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(AFileName), Error)) return nullptr;
    auto P = std::make_unique<TPicture>();
    try {
      P->LoadFromFile(AFileName);
    } catch (const Exception&) {
      return nullptr;  // not a picture: drawn as none
    }
    TGraphic* Graphic = P->Graphic();
    return std::make_unique<TFacadePicture>(Graphic, std::move(P));
  }
  Integer ImageListCount() override { return Images ? Images->Count() : 0; }
  TSize ImageListCellSize() override {
    if (!Images) return {};
    const Integer PPI = Screen ? Screen->PixelsPerInch() : 96;
    return {Images->Width() * PPI / 96, Images->Height() * PPI / 96};
  }
  void DrawImageListPicture(Integer AIndex, float ALeft, float ATop) override {
    if (!Images || !G.Canvas()) return;
    Images->Draw(G.Canvas(), static_cast<Integer>(std::nearbyint(ALeft)), static_cast<Integer>(std::nearbyint(ATop)),
                 AIndex);
  }
  void DrawPicture(const TVivIzudeMarkupPicture& APicture, const TRectF& ARect) override {
    G.DrawBitmap(ARect, static_cast<const TFacadePicture&>(APicture).Graphic, false, true, false, false);
  }

private:
  TVivIzudeGraphics& G;
  TVivIzudeBitmapContainer* Container;  // not owned
  TCustomImageList* Images;             // not owned
};

}  // namespace

bool RenderMarkup(TVivIzudeGraphics* AGraphics, const String& AText, const TRectF& ARect, Integer AX, Integer AY,
                  Integer AFocusIndex, Integer AHoverIndex, Integer AShadowOffset, bool AHitTestOnly, bool AMeasureOnly,
                  bool ANoImageListPictures, bool AIgnoreColors, bool ABlinkPhase, bool AHoverOnly, bool AWordWrapping,
                  bool AControlFocus, const String& AFocusedControlID, double AResolutionFactor, TColor AURLColor,
                  TColor AHoverColor, TColor AHoverTextColor, TColor AShadowColor, String& AAnchorValue,
                  String& APlainText, String& AFocusAnchor, float& AXSize, float& AYSize, Integer& AAnchorCount,
                  Integer& AAnchorHit, TRectF& AAnchorRect, TRectF& AControlRect, String& AControlID,
                  String& AControlValue, String& AControlType, Integer& ALineCount, Integer ALineSpacing,
                  TVivIzudeBitmapContainer* ABitmapContainer, bool AURLUnderline, TCustomImageList* AImageList,
                  TColor AHighlightColor, TColor AHighlightTextColor, TFontStyles AHighlightFontStyles,
                  bool AAllowFilePictures) {
  if (!AGraphics) return false;
  TVivIzudeMarkupOptions O;
  O.X = AX;
  O.Y = AY;
  O.FocusIndex = AFocusIndex;
  O.HoverIndex = AHoverIndex;
  O.ShadowOffset = AShadowOffset;
  O.HitTestOnly = AHitTestOnly;
  O.MeasureOnly = AMeasureOnly;
  O.NoImageListPictures = ANoImageListPictures;
  O.IgnoreColors = AIgnoreColors;
  O.BlinkPhase = ABlinkPhase;
  O.HoverOnly = AHoverOnly;
  O.WordWrapping = AWordWrapping;
  O.ControlFocus = AControlFocus;
  O.FocusedControlID = AFocusedControlID;
  O.ResolutionFactor = AResolutionFactor;
  O.URLColor = AURLColor;
  O.HoverColor = AHoverColor;
  O.HoverTextColor = AHoverTextColor;
  O.ShadowColor = AShadowColor;
  O.LineSpacing = ALineSpacing;
  O.URLUnderline = AURLUnderline;
  O.HighlightColor = AHighlightColor;
  O.HighlightTextColor = AHighlightTextColor;
  O.HighlightFontStyles = AHighlightFontStyles;
  O.AllowFilePictures = AAllowFilePictures;

  TVivIzudeMarkupResults R;
  R.AnchorValue = AAnchorValue;
  R.AnchorRect = AAnchorRect;
  R.ControlID = AControlID;
  TFacadeSurface Surface(*AGraphics, ABitmapContainer, AImageList);
  const bool Result = RenderMarkupOn(Surface, AText, ARect, O, R);
  AAnchorValue = R.AnchorValue;
  APlainText = R.PlainText;
  AFocusAnchor = R.FocusAnchor;
  AXSize = R.XSize;
  AYSize = R.YSize;
  AAnchorCount = R.AnchorCount;
  AAnchorHit = R.AnchorHit;
  AAnchorRect = R.AnchorRect;
  AControlRect = R.ControlRect;
  AControlID = R.ControlID;
  AControlValue = R.ControlValue;
  AControlType = R.ControlType;
  ALineCount = R.LineCount;
  return Result;
}
