#pragma once
// TLogFile: appends UTF-16LE lines to a log file and keeps the files bounded by one of three naming
// and rotation schemes:
//   0  one file, moved aside under a time-stamped name when full;
//   1  numbered files <base>.01<ext> (current) to <base>.<count><ext>, shifted by one when full;
//   2  one file per day, files older than a number of days deleted when a new day's file is started.
// Every write and rotation runs under the logger's own lock.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "win/Handles.h"

class TLogFile {
 public:
  TLogFile(std::wstring AFileName, uint32_t AMaxSize, int32_t ALog_Level, int32_t AType_log,
           int32_t ACnt_Files, bool AUseUserName);
  ~TLogFile();
  TLogFile(const TLogFile&) = delete;
  TLogFile& operator=(const TLogFile&) = delete;

  // Writes "[time stamp]S" as one line when ALog_Level is at most the logger's level and returns the
  // line followed by CR LF; a filtered line is returned unchanged and not written. A failed write
  // raises Exception("Error Write To File \"<file name>\"").
  std::wstring WriteStringInfo(int32_t ALog_Level, const std::wstring& S, bool TimeStamp);
  // WriteStringInfo(ALog_Level, prefix + S, TimeStamp) for callers that drop the returned text: the
  // same line, built in a reused buffer.
  void WriteStringInfoPrefixed(int32_t ALog_Level, std::wstring_view prefix, std::wstring_view S,
                               bool TimeStamp);
  void Flush();

  bool IsOpen() const { return static_cast<bool>(FFile); }
  const std::wstring& FileName() const { return FFileName; }
  int32_t LogLevel() const { return FLog_Level; }

  // The time stamp that begins a line: "DD.MM.YYYY HH:NN:SS.ZZZ> ", ":" being the system's time
  // separator.
  static std::wstring TimeStampText(const SYSTEMTIME& t);

 private:
  std::wstring CurrentUserName();
  void EnterLock() { EnterCriticalSection(&FLock); }
  void LeaveLock() { LeaveCriticalSection(&FLock); }
  void OpenAndRotate();
  bool BuildAndWrite(int32_t ALog_Level, std::wstring_view prefix, std::wstring_view S, bool TimeStamp,
                     std::wstring& line);
  // Appends CR LF to S and writes it in one call.
  void WriteLine(std::wstring& S);

  bool OpenFile(const std::wstring& name);
  void CloseFile();
  uint32_t FileSize() const;
  uint32_t LimitBytes() const { return FMaxSize * 1024u; }

  struct Names {
    std::wstring P;  // folder with its trailing backslash
    std::wstring D;  // folder without it
    std::wstring E;  // extension with its dot
    std::wstring B;  // base name, with ".[user]" when user names are on
  };
  Names DeriveNames();
  std::wstring NumberedName(const Names& n, int32_t number) const;
  void CleanUpOldDays(const Names& n);

  win::UniqueFile FFile;  // the open log file, or none
  std::wstring FFileName;
  uint32_t FMaxSize;
  int32_t FLog_Level;
  CRITICAL_SECTION FLock;
  int32_t FType_log;
  int32_t FCnt_Files;
  bool FUseUserName;
  unsigned long long size_ = 0;  // of the open file
  // The line buffer of WriteStringInfoPrefixed, kept between lines and used under FLock. Not one per
  // thread: a thread-local object with a destructor would keep a scene library loaded until the
  // thread ends (the runtime holds a reference to the module for it).
  std::wstring line_;
};
