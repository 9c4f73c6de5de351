#pragma once
// The deliverable's settings readers and its one log: ReadSettingString / ReadSettingInteger read the
// settings file "Zebrane.ini" beside the running executable, InitLog creates GlobalLog, WriteLog writes
// levelled lines to it.
#include <cstdint>
#include <memory>
#include <string>

#include "shared/Log_File.h"

// Empty until the first InitLog; never freed, so its file stays open until the process ends.
extern TLogFile* GlobalLog;

// An INI reader over the executable's folder joined with the file name (Windows private-profile
// functions: names without regard to case, values of at most 2047 characters).
class TIniReader {
 public:
  explicit TIniReader(std::wstring path) : path_(std::move(path)) {}
  std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& def) const;
  int32_t ReadInteger(const std::wstring& section, const std::wstring& key, int32_t def) const;
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

std::unique_ptr<TIniReader> OpenSettings(const std::wstring& fileName);

std::wstring ReadSettingString(const std::wstring& section, const std::wstring& key,
                               const std::wstring& def);
int32_t ReadSettingInteger(const std::wstring& section, const std::wstring& key, int32_t def);

// Levels: 1 "[ERROR] ", 2 "[WARNING] ", 3 "[NOTE] "; any other level writes nothing. A failed write
// raises the logger's error to the caller.
void WriteLog(const std::wstring& text, int32_t level, bool timeStamp);

// WriteLog for the lines written while a failure is being handled (the "AV in ..." lines and the
// application-wide handler): a log that cannot be written is dropped there, so that a broken log
// never turns a handled failure into an abnormal end.
void WriteLogNoRaise(const std::wstring& text, int32_t level, bool timeStamp) noexcept;

// Makes sure the log folder exists; the first call creates GlobalLog as <folder><name>.log,
// numbered files, 50000 KB, 10 files.
void InitLog(const std::wstring& name, int32_t level);

// Test support: forgets GlobalLog so that a test can start from a fresh unit state.
void ResetGlobalLogForTests();
