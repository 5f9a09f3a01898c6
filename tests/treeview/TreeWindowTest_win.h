#pragma once
// What the fixtures of the tree's window tests share: their form (a
// TForm with a string tree in Tree and a Populate that fills it) made and
// shown, the exceptions the message loop catches collected (a test with
// one fails), a message pump and screenshots of the form.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/Forms.h"

template <class TDemoForm>
class TTreeWindowTest : public ::testing::Test {
protected:
  // Makes, shows and fills the form.
  void ShowForm() {
    Application->Initialize();
    Application->OnException = [this](TObject*, Exception& E) { Errors.push_back(E.Message()); };
    Form.reset(TCustomForm::Create<TDemoForm>(Application));
    Tree = Form->Tree;
    Form->Show();
    Form->Populate();
  }
  // Destroys the form and fails the test when an exception was caught.
  void CloseForm() {
    Form.reset();
    Application->ProcessMessages();
    Application->OnException = nullptr;
    EXPECT_TRUE(Errors.empty()) << (Errors.empty() ? std::string() : std::string(Errors[0].begin(), Errors[0].end()));
  }
  static void Pump(int Ms) { testsupport::PumpMessagesFor(Ms); }
  // What the screen shows over the form after SettleMs of messages, saved
  // to File, for people to look at. Rop is the copy's raster operation
  // (with CAPTUREBLT the copy includes layered windows: hints, drag images).
  void ScreenshotForm(const char16_t* File, int SettleMs, DWORD Rop) {
    Form->Update();
    Pump(SettleMs);
    testsupport::ScreenImageOfWindow(Form->Handle(), Rop)->SaveToFile(File);
    EXPECT_NE(GetFileAttributesW(reinterpret_cast<const wchar_t*>(File)), INVALID_FILE_ATTRIBUTES);
  }

  struct TFormDeleter {
    void operator()(TCustomForm* Form) const { delete Form; }
  };
  std::unique_ptr<TDemoForm, TFormDeleter> Form;
  TVastStringTree* Tree = nullptr;
  std::vector<String> Errors;
};
