#pragma once
// The order display form in-process, created, shown and painted once as the program does, with the
// tick count of the 2000 ms rule and the animation clock both driven by the test, and its log in a
// folder of the test's own.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "TestFiles.h"
#include "orderdisplay/TwoLinesForm.h"
#include "shared/Logging.h"
#include "win/WinCodePage.h"
#include "win/WinPaths.h"

class OrderForm : public ::testing::Test {
 protected:
  static constexpr uint32_t kStartTick = 0xFFFFD000u;  // a few seconds before the tick count wraps
  static inline uint32_t ticks = kStartTick;
  static inline double seconds = 0;
  static uint32_t Ticks() { return ticks; }

  void SetUp() override {
    ticks = kStartTick;
    seconds = 0;
    ResetUnitForTests();
    Unit().TickCount = &Ticks;
    WriteText(ExecutableFolder() + L"Zebrane.ini", "[LOGFILE]\r\nLog=3\r\nLogDir=" + Narrow(logDir_.Path()) + "\r\n");
    ResetGlobalLogForTests();
    InitLog(L"Orderlume", 3);
    app_ = std::make_unique<ui::Application>();
    form_ = std::make_unique<TfmOrderlume>(*app_, L"FormSetTextTestForm", [] { return seconds; });
    Unit().fmOrderlume = form_.get();
    form_->Create();
    form_->Show();
    form_->PaintNow();  // the first paint: the start phrase in Layout1
    ASSERT_TRUE(Unit().Started);
  }

  void TearDown() override {
    form_->FormClose();
    form_.reset();
    TwoLinesFormFinalization();
    ResetGlobalLogForTests();
    app_.reset();
  }

  TfmOrderlume& Form() { return *form_; }
  // One apply of a check data text, as the host's UTF-16 text reaches it: in the ANSI code page.
  void Apply(const std::u16string& xml) {
    form_->FormSetText(ToAnsi(u"<?xml version=\"1.0\" encoding=\"utf-8\"?>" + xml));
  }
  // Runs every started animation to its end.
  void FinishAnimations() {
    seconds += 1;
    form_->Clock().Tick();
  }
  size_t LoggedFailures() const {
    const std::wstring log = ReadUtf16File(logDir_ / L"Orderlume.01.log");
    size_t n = 0;
    for (size_t at = log.find(L"[ERROR] AV in FormSetText"); at != std::wstring::npos;
         at = log.find(L"[ERROR] AV in FormSetText", at + 1))
      ++n;
    return n;
  }

 private:
  TempDir logDir_;
  std::unique_ptr<ui::Application> app_;
  std::unique_ptr<TfmOrderlume> form_;
};
