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

  // Handles messages for Ms milliseconds.
  static void Pump(int Ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (std::chrono::steady_clock::now() < end) {
      MSG msg;
      if (!Application->ProcessMessage(msg)) Sleep(1);
    }
  }
  // Handles messages until Done() holds (at most 10 s); answers Done().
  static bool PumpUntil(const std::function<bool()>& Done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Done() && std::chrono::steady_clock::now() < end) {
      MSG msg;
      if (!Application->ProcessMessage(msg)) Sleep(1);
    }
    return Done();
  }
  // The window's client area as the screen shows it, saved to File.
  static std::unique_ptr<TBitmap> Shoot(TWinControl* Control, const wchar_t* File) {
    Control->Update();
    const Integer w = Control->ClientWidth(), h = Control->ClientHeight();
    auto shot = std::make_unique<TBitmap>(w, h);
    TCustomForm* form = GetParentForm(Control);
    HWND top = form ? form->Handle() : Control->Handle();
    const TPoint origin = Control->ClientToScreen({0, 0});
    const TPoint formOrigin = form ? form->ClientToScreen({0, 0}) : origin;
    HDC dc = GetDC(top);
    BitBlt(shot->Canvas()->Handle(), 0, 0, w, h, dc, origin.X - formOrigin.X, origin.Y - formOrigin.Y, SRCCOPY);
    ReleaseDC(top, dc);
    // 24 bits: viewers take a 32-bit file's fourth byte for transparency.
    shot->SetPixelFormat(pf24bit);
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
