#pragma once
// What the Windows tests of the controls share: the demo form shown, a
// message pump, and screenshots from the screen (which include every child
// window).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "ControlsDemo.h"

#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"

class ControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Errors.clear();
    Application->OnException = [this](TObject*, Exception& E) { Errors.push_back(E.Message()); };
    Form = TCustomForm::Create<TControlsDemoForm>(Application);
    Form->Show();
    Pump(50);
  }
  void TearDown() override {
    delete Form;
    Form = nullptr;
    Application->ProcessMessages();
    Application->OnException = nullptr;
  }

  static void Pump(int Ms) { testsupport::PumpMessagesFor(Ms); }
  // At most 10 s; answers Done().
  static bool PumpUntil(const std::function<bool()>& Done) { return testsupport::PumpMessagesUntil(Done, 10000); }
  // The window's client area as its form shows it, saved to File.
  static std::unique_ptr<TBitmap> Shoot(TWinControl* Control, const wchar_t* File) {
    Control->Update();
    auto shot = testsupport::ClientSurfaceImage(Control);
    shot->SaveToFile(reinterpret_cast<const Char*>(File));
    return shot;
  }
  static void Type(TWinControl* Control, const String& Text) {
    for (Char c : Text) SendMessageW(Control->Handle(), WM_CHAR, c, 1);
  }
  static void Key(TWinControl* Control, WPARAM VirtualKey) {
    SendMessageW(Control->Handle(), WM_KEYDOWN, VirtualKey, 1);
    SendMessageW(Control->Handle(), WM_KEYUP, VirtualKey, 0xC0000001);
  }

  TControlsDemoForm* Form = nullptr;
  std::vector<String> Errors;
};
