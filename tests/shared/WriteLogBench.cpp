// Benchmark, not a test: WriteLog lines per second against a plain loop of WriteFile calls writing
// the same UTF-16 lines to the same disk. The logger adds a time stamp, a lock and one size query a
// line. Usage: bench_writelog [lines]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shared/Logging.h"

namespace {
double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}
}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const std::wstring folder = std::wstring(tmp) + L"zeb-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring text = L"> apply data: the dish just ordered, with its modifiers";

  // The same line as WriteLog hands to the file: stamp, prefix, text, CR LF.
  SYSTEMTIME t;
  GetLocalTime(&t);
  const std::wstring line = TLogFile::TimeStampText(t) + L"[NOTE] " + text + L"\r\n";
  HANDLE h = CreateFileW((folder + L"plain.log").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
  LARGE_INTEGER a, b;
  QueryPerformanceCounter(&a);
  for (int i = 0; i < lines; ++i) {
    DWORD n;
    WriteFile(h, line.data(), DWORD(line.size() * 2), &n, nullptr);
  }
  QueryPerformanceCounter(&b);
  CloseHandle(h);
  const double plain = Seconds(a, b);

  GlobalLog = new TLogFile(folder + L"Orderlume.log", 50000, 3, 1, 10, false);
  QueryPerformanceCounter(&a);
  for (int i = 0; i < lines; ++i) WriteLog(text, 3, true);
  QueryPerformanceCounter(&b);
  const double logged = Seconds(a, b);
  ResetGlobalLogForTests();

  std::printf("lines: %d\nplain WriteFile: %.0f lines/s (%.3f s)\nWriteLog: %.0f lines/s (%.3f s)\n"
              "ratio WriteLog/plain time: %.2f\n",
              lines, lines / plain, plain, lines / logged, logged, logged / plain);
  DeleteFileW((folder + L"plain.log").c_str());
  DeleteFileW((folder + L"Orderlume.01.log").c_str());
  RemoveDirectoryW(folder.c_str());
  return 0;
}
