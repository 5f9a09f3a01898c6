#pragma once
// Fixtures the class library's tests share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VclDemo.h"
#include "vcl/Forms.h"

// An initialised application whose exceptions are recorded instead of shown
// in a message box.
class TApplicationTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Errors.clear();
    Application->OnException = [this](TObject*, Exception& E) { Errors.push_back(E.Message()); };
  }
  void TearDown() override {
    Application->OnException = nullptr;
    Application->OnIdle = nullptr;
    Application->ProcessMessages();
  }
  std::vector<String> Errors;
};

// The demo controls form, shown; a test fails when the application had to
// report an exception.
class TDemoControlsTest : public TApplicationTest {
protected:
  void SetUp() override {
    TApplicationTest::SetUp();
    Form = TCustomForm::Create<TDemoControlsForm>(Application);
    Form->Show();
  }
  void TearDown() override {
    delete Form;
    TApplicationTest::TearDown();
    EXPECT_TRUE(Errors.empty()) << (Errors.empty() ? "" : std::string(Errors[0].begin(), Errors[0].end()));
  }
  TDemoControlsForm* Form = nullptr;
};
