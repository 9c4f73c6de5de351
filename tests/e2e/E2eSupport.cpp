#include "E2eSupport.h"

#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

#include <string>

#include "HugePictures.h"
#include "ui/Dib.h"

std::wstring BuiltProgram(const std::wstring& fileName) { return std::wstring(ZEB_BIN_DIR) + L"\\" + fileName; }
std::wstring OrderlumeExe() { return BuiltProgram(L"Orderlume.exe"); }

OrderlumeRun::OrderlumeRun(const std::string& extraSettings, bool setHost)
    : DisplayRun({OrderlumeExe(), L"Orderlume", L"Orderlume"}, extraSettings, setHost) {}

DisplayRun::DisplayRun(DisplayProgram program, const std::string& extraSettings, bool setHost)
    : program_(std::move(program)) {
  std::string ini = "[LOGFILE]\r\nLog=3\r\n";
  if (setHost) ini += "[REGSOCKET]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(receiver_.Port()) + "\r\n";
  ini += extraSettings;
  WriteText(dir_ / L"Zebrane.ini", ini);
  zebhost::CopyInto(program_.exe, dir_.Path());
}

DisplayRun::~DisplayRun() {
  if (process_) process_->Stop(5000);
  process_.reset();
}

void DisplayRun::Start() {
  const std::wstring fileName = program_.exe.substr(program_.exe.find_last_of(L"\\/") + 1);
  process_ = std::make_unique<zebhost::ChildProcess>(dir_ / fileName, L"", dir_.Path());
}

HWND DisplayRun::WaitVisible(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    HWND h = zebhost::FindDisplayWindow(program_.caption, 50);
    if (h && IsWindowVisible(h)) return h;
    zebhost::Wait(20);
  }
  ADD_FAILURE() << "the " << Narrow(program_.caption) << " window did not become visible";
  return nullptr;
}

std::vector<std::wstring> DisplayRun::LogLines() const {
  std::vector<std::wstring> out;
  for (const auto& line : zebhost::ReadLogLines(LogFile())) {
    auto parsed = zebhost::ParseLogLine(line);
    out.push_back(parsed ? parsed->text : line);
  }
  return out;
}

size_t DisplayRun::CountLog(const std::wstring& text) const {
  size_t n = 0;
  for (const auto& l : LogLines())
    if (l.find(text) != std::wstring::npos) ++n;
  return n;
}

std::vector<zebhost::LogLine> DisplayRun::TimedLogLines() const {
  std::vector<zebhost::LogLine> out;
  for (const auto& line : zebhost::ReadLogLines(LogFile()))
    if (auto parsed = zebhost::ParseLogLine(line)) out.push_back(std::move(*parsed));
  return out;
}

std::vector<std::int64_t> DisplayRun::LogTimes(const std::wstring& text) const {
  std::vector<std::int64_t> out;
  for (const auto& l : TimedLogLines())
    if (l.text.find(text) != std::wstring::npos) out.push_back(l.timeMs);
  return out;
}

void ExpectCheckStreamApplied(DisplayRun& run, HWND window, const std::wstring& text, LRESULT answer) {
  const size_t receivedBefore = run.LogTimes(L"receive data").size();
  const size_t appliedBefore = run.LogTimes(L"> apply data").size();
  const DWORD start = GetTickCount();
  for (DWORD i = 0; i < 16; ++i) {
    while (GetTickCount() - start < i * 400) Sleep(1);
    EXPECT_EQ(zebhost::SendCopyData(window, zebhost::CHECK_DATA_TAG, text), answer);
  }
  ASSERT_TRUE(run.WaitForLog(L"receive data", receivedBefore + 16, 5000));
  const auto received = run.LogTimes(L"receive data");
  const auto allApplied = run.LogTimes(L"> apply data");
  const std::int64_t first = received[receivedBefore], last = received.back();
  std::vector<std::int64_t> applied;
  for (size_t i = appliedBefore; i < allApplied.size(); ++i)
    if (allApplied[i] <= last) applied.push_back(allApplied[i] - first);
  std::string times;
  for (std::int64_t t : applied) times += " " + std::to_string(t);
  printf("stream of %lld ms: applied at%s ms\n", static_cast<long long>(last - first), times.c_str());
  EXPECT_GE(applied.size(), 2u) << "the screen must change while the host keeps sending";
  // The first stream's apply: 2000 ms, with what a loaded machine may add.
  if (!applied.empty()) EXPECT_LE(applied[0], 2000 + 500);
}

bool DisplayRun::WaitForLog(const std::wstring& text, size_t count, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (CountLog(text) >= count) return true;
    zebhost::Wait(20);
  }
  return CountLog(text) >= count;
}

bool DisplayRun::Stop(DWORD timeoutMs) {
  if (!process_) return true;
  return process_->Stop(timeoutMs);
}

void ExpectWindowRect(HWND window, int left, int top, int width, int height) {
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, height);
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
  std::vector<HWND> out;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == processId && IsWindowVisible(w)) out.push_back(w);
  }
  return out;
}

HWND WaitProgramWindow(DWORD processId, const std::wstring& caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    for (HWND w : VisibleWindowsOf(processId)) {
      wchar_t text[256] = {};
      GetWindowTextW(w, text, 256);
      if (caption == text) return w;
    }
    zebhost::Wait(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

ScreenArea CaptureScreen(const RECT& rect) {
  ScreenArea area;
  area.rect = rect;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  area.pixels.assign(static_cast<size_t>(width) * height, 0);
  ui::Dib dib(width, height);
  bool copied = false;
  if (dib) {
    HDC screen = GetDC(nullptr);
    if (BitBlt(dib.Dc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
      const uint32_t* p = dib.Bits();
      for (size_t i = 0; i < area.pixels.size(); ++i) area.pixels[i] = p[i] & 0xFFFFFF;
      copied = true;
    }
    ReleaseDC(nullptr, screen);
  }
  if (!copied) ADD_FAILURE() << "cannot copy the screen";
  return area;
}

DWORD AnswerTime(HWND window, DWORD limitMs) {
  const DWORD start = GetTickCount();
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &answer)) return limitMs;
  return std::min(GetTickCount() - start, limitMs);
}

void ExpectAnswersAndStaysSmall(const char* what, HWND window, HANDLE process) {
  const DWORD answer = AnswerTime(window, 1000);
  const double peak = PeakWorkingSetMb(process);
  std::printf("%s: answered after %lu ms, peak working set %.0f MB\n", what, answer, peak);
  EXPECT_LT(answer, 1000u);
  EXPECT_GT(peak, 0.0) << "the peak is not measured";
  EXPECT_LT(peak, 200.0);
}
