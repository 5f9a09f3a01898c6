// Both back ends painting a window as the widget kit does: a facade made on
// the control's canvas in its paint handler (GDI+ then draws on the window's
// device context). The screen is captured and saved as
// backend-window.png for a person to look at.
#include <gtest/gtest.h>

#include <memory>

#include "BackendTestSupport.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "vcl/Forms.h"

using namespace backendtest;

namespace {

// Paints a scene through one back end on its own canvas.
class TScenePanel : public TCustomControl {
public:
  TScenePanel(TComponent* AOwner, bool ANative) : TCustomControl(AOwner), FNative(ANative) {}
  Integer Paints = 0;

protected:
  void Paint() override {
    TVivIzudeGraphics G(Canvas(), FNative);
    G.BeginScene();
    G.Context()->SetSize(static_cast<float>(ClientWidth()), static_cast<float>(ClientHeight()));
    SolidFill(G, 0xFFFFFF);
    G.Stroke()->SetKind(gskNone);
    G.DrawRectangle(0, 0, ClientWidth(), ClientHeight());
    SolidStroke(G, 0x000000);
    SolidFill(G, 0x0000FF);
    G.DrawRectangle(10, 10, 90, 50);
    SolidFill(G, 0x00A000);
    G.DrawEllipse(100, 10, 180, 50);
    TVivIzudeGraphics::SetDefaultGraphicColors();
    G.DrawCheckBox(TRectF{10, 60, 30, 80}, true, false, true);
    G.DrawButton(TRectF{40, 60, 120, 85}, false, true, true);
    G.DrawProgressBar(TRectF{10, 95, 180, 115}, 60, u"%.0f%%", 100, 0xB48246, 0, true);
    G.EndScene();
    G.Context()->Render();
    ++Paints;
  }

private:
  bool FNative;
};

}  // namespace

TEST(BackendsOnWindow, BothBackEndsPaintAControl) {
  Application->Initialize();
  struct TDeleter {
    void operator()(TCustomForm* F) const { delete F; }
  };
  std::unique_ptr<TForm, TDeleter> Form(TCustomForm::Create<TForm>(Application));
  Form->SetClientSize(400, 130);
  TScenePanel* Panels[2] = {new TScenePanel(Form.get(), false), new TScenePanel(Form.get(), true)};
  for (Integer I = 0; I < 2; ++I) {
    Panels[I]->SetBounds(5 + I * 195, 5, 190, 120);
    Panels[I]->SetParent(Form.get());
  }
  Form->Show();
  ASSERT_TRUE(testsupport::PumpMessagesUntil([&] { return Panels[0]->Paints > 0 && Panels[1]->Paints > 0; }, 5000));
  testsupport::PumpMessagesFor(200);
  const auto Shot = testsupport::ScreenImageOfWindow(Form->Handle());
  Save(*Shot, "window");
  for (TScenePanel* P : Panels) {
    RECT Frame{};
    GetWindowRect(Form->Handle(), &Frame);
    const TPoint O = P->ClientToScreen({0, 0});
    const Integer X = O.X - Frame.left, Y = O.Y - Frame.top;
    TCanvas& C = *Shot->Canvas();
    EXPECT_EQ(C.Pixel(X + 50, Y + 30), 0x0000FF);
    EXPECT_EQ(C.Pixel(X + 10, Y + 30), 0x000000);
    EXPECT_EQ(C.Pixel(X + 140, Y + 30), 0x00A000);
    EXPECT_EQ(C.Pixel(X + 101, Y + 11), 0xFFFFFF);
    EXPECT_EQ(C.Pixel(X + 13, Y + 63), 0xF8F8F8);
    EXPECT_EQ(C.Pixel(X + 80, Y + 72), MakeColor(229, 241, 251));
    EXPECT_EQ(C.Pixel(X + 30, Y + 105), 0xB48246);
  }
}
