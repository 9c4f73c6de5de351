#pragma once
// The receipt form in-process for tests: a fresh unit state, the settings file beside the test program
// (log level 3 into a temporary folder), the form with a window class of the test's own and a movie of
// the test's own registered as "check.swf" in place of the receipt movie.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestFiles.h"
#include "receiptdisplay/uSlipview.h"
#include "shared/Logging.h"
#include "win/WinPaths.h"

template <class Movie>
class SlipviewFormFixture : public ::testing::Test {
 protected:
  explicit SlipviewFormFixture(const wchar_t* className) : className_(className) {}

  void SetUp() override {
    ResetUnitForTests();
    WriteText(ExecutableFolder() + L"Zebrane.ini",
              "[LOGFILE]\r\nLog=3\r\nLogDir=" + Narrow(logDir_.Path()) + "\r\n[REGSOCKET]\r\nPort=9\r\n");
    ResetGlobalLogForTests();
    SlipviewInitialization();
    app_ = std::make_unique<ui::Application>();
    form_ = std::make_unique<TfmSlipview>(*app_, className_);
    Unit().fmSlipview = form_.get();
    // After the form's own registration of the receipt movie, which it replaces.
    recording_ = std::make_unique<flash::MovieRegistration>(
        u"check.swf", [](flash::MovieHost& host) { return std::make_unique<Movie>(host); });
  }

  void TearDown() override {
    form_->FormClose();
    form_.reset();
    recording_.reset();
    SlipviewFinalization();
    ResetGlobalLogForTests();
    app_.reset();
  }

  std::wstring Log() const { return ReadUtf16File(logDir_ / L"Slipview.01.log"); }
  static size_t Count(const std::wstring& text, const std::wstring& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  const wchar_t* className_;
  TempDir logDir_;
  std::unique_ptr<ui::Application> app_;
  std::unique_ptr<TfmSlipview> form_;
  std::unique_ptr<flash::MovieRegistration> recording_;
};
