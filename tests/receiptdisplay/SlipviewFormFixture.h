#pragma once
// What the in-process tests of the receipt form share: a fresh unit, a settings file beside the test
// program with its log in a folder of the test's own, an application and the form, with a native
// movie of the test's in place of "check.swf", and the host's WM_COPYDATA handed to the form.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestFiles.h"
#include "receiptdisplay/uSlipview.h"
#include "shared/Logging.h"
#include "win/WinPaths.h"

class SlipviewFormFixture : public ::testing::Test {
 protected:
  SlipviewFormFixture(const wchar_t* className, flash::MovieFactory movie)
      : className_(className), movie_(std::move(movie)) {}

  void SetUp() override {
    ResetUnitForTests();
    WriteText(ExecutableFolder() + L"Zebrane.ini",
              "[LOGFILE]\r\nLog=3\r\nLogDir=" + Narrow(logDir_.Path()) + "\r\n[REGSOCKET]\r\nPort=9\r\n");
    ResetGlobalLogForTests();
    SlipviewInitialization();
    app_ = std::make_unique<ui::Application>();
    form_ = std::make_unique<TfmSlipview>(*app_, className_);
    Unit().fmSlipview = form_.get();
    recording_ = std::make_unique<flash::MovieRegistration>(u"check.swf", movie_);
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
  // The first `bytes` bytes of the text as the host sends them.
  LRESULT CopyData(ULONG_PTR tag, const std::wstring& text, size_t bytes) {
    COPYDATASTRUCT record{tag, static_cast<DWORD>(bytes), const_cast<wchar_t*>(text.c_str())};
    TMessage m{WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), 0};
    form_->WMCopyData(m);
    return m.Result;
  }

  TempDir logDir_;
  std::unique_ptr<ui::Application> app_;
  std::unique_ptr<TfmSlipview> form_;

 private:
  const wchar_t* className_;
  flash::MovieFactory movie_;
  std::unique_ptr<flash::MovieRegistration> recording_;
};
