#include "E2eSupport.h"

#include <gtest/gtest.h>

std::wstring OrderlumeExe() { return ZEB_ORDERLUME_EXE; }

OrderlumeRun::OrderlumeRun(const std::string& extraSettings, bool setHost) {
  std::string ini = "[LOGFILE]\r\nLog=3\r\n";
  if (setHost) ini += "[REGSOCKET]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(receiver_.Port()) + "\r\n";
  ini += extraSettings;
  WriteText(dir_ / L"Zebrane.ini", ini);
  zebhost::CopyInto(OrderlumeExe(), dir_.Path());
}

OrderlumeRun::~OrderlumeRun() {
  if (process_) process_->Stop(5000);
  process_.reset();
}

void OrderlumeRun::Start() {
  process_ = std::make_unique<zebhost::ChildProcess>(dir_ / L"Orderlume.exe", L"", dir_.Path());
}

HWND OrderlumeRun::WaitVisible(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    HWND h = zebhost::FindDisplayWindow(L"Orderlume", 50);
    if (h && IsWindowVisible(h)) return h;
    zebhost::Wait(20);
  }
  ADD_FAILURE() << "the Orderlume window did not become visible";
  return nullptr;
}

std::vector<std::wstring> OrderlumeRun::LogLines() const {
  std::vector<std::wstring> out;
  for (const auto& line : zebhost::ReadLogLines(LogFile())) {
    auto parsed = zebhost::ParseLogLine(line);
    out.push_back(parsed ? parsed->text : line);
  }
  return out;
}

size_t OrderlumeRun::CountLog(const std::wstring& text) const {
  size_t n = 0;
  for (const auto& l : LogLines())
    if (l.find(text) != std::wstring::npos) ++n;
  return n;
}

bool OrderlumeRun::WaitForLog(const std::wstring& text, size_t count, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (CountLog(text) >= count) return true;
    zebhost::Wait(20);
  }
  return CountLog(text) >= count;
}

bool OrderlumeRun::Stop(DWORD timeoutMs) {
  if (!process_) return true;
  return process_->Stop(timeoutMs);
}
