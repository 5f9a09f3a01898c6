// Fill, stroke and font value objects: colour translation, change
// notifications held back by the update counter, and copying between kinds.
#include <gtest/gtest.h>

#include "chart/drawing/win/VivIzudeGraphicsTypes.h"

namespace {
// Counts a value object's OnChanged notifications.
struct TCounter {
  int Count = 0;
  TNotifyEvent Event() {
    return [this](TObject*) { ++Count; };
  }
};
}  // namespace

TEST(GraphicsFill, ColourTranslationAndNotifications) {
  TVivIzudeGraphicsFill Fill(gfkGradient, 0x0000FF);
  EXPECT_EQ(Fill.ColorTo(), 0x808080);
  EXPECT_EQ(Fill.ColorMirror(), -1);
  EXPECT_EQ(Fill.ColorMirrorTo(), -1);
  EXPECT_EQ(Fill.Orientation(), gfoVertical);
  EXPECT_EQ(Fill.TextureMode(), gtmStretch);
  TCounter Changes;
  Fill.OnChanged = Changes.Event();
  Fill.SetColor(clNone);
  EXPECT_EQ(Fill.Color(), -1);
  EXPECT_EQ(Changes.Count, 1);
  Fill.SetColor(clNone);  // compared before the translation: a change again
  EXPECT_EQ(Changes.Count, 2);
  Fill.SetColorTo(clDefault);
  EXPECT_EQ(static_cast<Cardinal>(Fill.ColorTo()), 0xFF00000Fu);
  Fill.SetKind(gfkGradient);  // unchanged
  EXPECT_EQ(Changes.Count, 3);

  Fill.BeginUpdate();
  Fill.BeginUpdate();
  Fill.SetOpacity(0.5f);
  Fill.SetOrientation(gfoHorizontal);
  Fill.EndUpdate();
  EXPECT_EQ(Changes.Count, 3);
  Fill.EndUpdate();
  EXPECT_EQ(Changes.Count, 4);
  Fill.BeginUpdate();
  Fill.EndUpdate();  // fires even when nothing changed
  EXPECT_EQ(Changes.Count, 5);

  // The texture's own changes reach the fill.
  TBitmap Pattern(4, 4);
  Fill.Texture()->SetGraphic(&Pattern);
  EXPECT_EQ(Changes.Count, 6);
}

TEST(GraphicsFill, AssignFromFillStrokeAndOthers) {
  TVivIzudeGraphicsStroke Stroke(gskDash, 0x00FF00);
  TVivIzudeGraphicsFill Fill(gfkGradient, 0x0000FF);
  Fill.SetOpacity(0.25f);
  TCounter Changes;
  Fill.OnChanged = Changes.Event();
  Fill.Assign(&Stroke);
  EXPECT_EQ(Fill.Color(), 0x00FF00);
  EXPECT_EQ(Fill.ColorTo(), -1);
  EXPECT_EQ(Fill.Kind(), gfkSolid);
  EXPECT_FLOAT_EQ(Fill.Opacity(), 1);
  EXPECT_EQ(Changes.Count, 1);

  TVivIzudeGraphicsFill Copy;
  Copy.Assign(&Fill);
  EXPECT_EQ(Copy.Color(), 0x00FF00);
  EXPECT_EQ(Copy.ColorTo(), -1);

  TBitmap Unrelated;
  Fill.Assign(&Unrelated);  // nothing copied, no conversion error
  EXPECT_EQ(Fill.Color(), 0x00FF00);
  EXPECT_EQ(Changes.Count, 2);

  TVivIzudeGraphicsStroke FromFill;
  FromFill.SetWidth(3);
  FromFill.Assign(&Fill);
  EXPECT_EQ(FromFill.Color(), 0x00FF00);
  EXPECT_EQ(FromFill.Kind(), gskSolid);
  EXPECT_FLOAT_EQ(FromFill.Width(), 1);
}

TEST(GraphicsStroke, WidthAndFontNotifications) {
  TVivIzudeGraphicsStroke Stroke;
  EXPECT_EQ(Stroke.Color(), 0xC0C0C0);
  TCounter Changes;
  Stroke.OnChanged = Changes.Event();
  Stroke.SetWidth(1);
  EXPECT_EQ(Changes.Count, 0);
  Stroke.SetWidth(2.5f);
  EXPECT_EQ(Changes.Count, 1);

  TVivIzudeGraphicsFont Font;
  TCounter FontChanges;
  Font.OnChanged = FontChanges.Event();
  Font.SetName(u"Arial");
  EXPECT_EQ(FontChanges.Count, 1);
  Font.BeginUpdate();
  Font.SetSize(20);
  EXPECT_EQ(FontChanges.Count, 1);
  Font.EndUpdate();
  EXPECT_EQ(FontChanges.Count, 2);

  TVivIzudeGraphicsSaveState State;
  EXPECT_EQ(State.Fill()->Color(), 0xFFFFFF);
  EXPECT_EQ(State.Stroke()->Color(), 0xC0C0C0);
  TVivIzudeGraphicsFill* Owned = State.Fill();
  TVivIzudeGraphicsFill Red(gfkSolid, 0x0000FF);
  State.SetFill(&Red);
  EXPECT_EQ(State.Fill(), Owned);  // copied into, never replaced
  EXPECT_EQ(State.Fill()->Color(), 0x0000FF);
  State.SetFont(&Font);
  EXPECT_EQ(State.Font()->Name(), u"Arial");
}
