// TLogFile on real files under Wine: line bytes, level filter, byte-order marks, the three rotation
// schemes, the share mode and a failed write.
#include <gtest/gtest.h>

#include <regex>

#include "TestFiles.h"
#include "core/Exception.h"
#include "shared/Log_File.h"

namespace {

// A file of `bytes` bytes that begins with a BOM and a marker line.
void MakeLogFile(const std::wstring& path, const std::wstring& marker, size_t bytes = 0) {
  auto b = WithBom(Utf16Bytes(marker + L"\r\n"));
  if (b.size() < bytes) b.resize(bytes, 'x');
  WriteBytes(path, b);
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(LogFile, WritesOneUtf16LineWithTimeStampAfterTheBom) {
  TempDir dir;
  TLogFile log(dir / L"Orderlume.log", 50000, 3, 1, 10, false);
  ASSERT_TRUE(log.IsOpen());
  std::wstring returned = log.WriteStringInfo(1, L"[NOTE] > Create", true);

  const std::wstring file = dir / L"Orderlume.01.log";
  auto bytes = ReadBytes(file);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  std::wstring text = ReadUtf16File(file);
  EXPECT_EQ(text + L"", returned);
  std::wregex form(LR"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\.\d{3}> \[NOTE\] > Create\r\n)");
  EXPECT_TRUE(std::regex_match(text, form)) << Narrow(text);

  // Without the time stamp the line is the text alone; nothing stands between lines.
  EXPECT_EQ(log.WriteStringInfo(2, L"plain", false), L"plain\r\n");
  EXPECT_EQ(ReadUtf16File(file), returned + L"plain\r\n");
}

TEST(LogFile, TimeStampPattern) {
  SYSTEMTIME t{};
  t.wYear = 2024; t.wMonth = 3; t.wDay = 5; t.wHour = 14; t.wMinute = 7; t.wSecond = 9; t.wMilliseconds = 42;
  EXPECT_EQ(TLogFile::TimeStampText(t), L"05.03.2024 14:07:09.042> ");
}

TEST(LogFile, LevelFilterAndReturnValues) {
  TempDir dir;
  TLogFile log(dir / L"a.log", 50000, 2, 1, 10, false);
  struct Case { int level; bool written; } cases[] = {{1, true}, {2, true}, {3, false}, {7, false}};
  std::wstring expected;
  for (auto c : cases) {
    std::wstring s = L"line " + std::to_wstring(c.level);
    std::wstring r = log.WriteStringInfo(c.level, s, true);
    if (c.written) {
      EXPECT_TRUE(r.size() > s.size() && r.compare(r.size() - s.size() - 2, s.size() + 2, s + L"\r\n") == 0);
      expected += r;
    } else {
      EXPECT_EQ(r, s) << "a filtered line comes back unchanged, without stamp or CR LF";
    }
  }
  EXPECT_EQ(ReadUtf16File(dir / L"a.01.log"), expected);

  // Level 0 writes nothing, yet opens its file (which then holds only the BOM).
  TLogFile silent(dir / L"s.log", 50000, 0, 1, 10, false);
  EXPECT_EQ(silent.WriteStringInfo(1, L"x", true), L"x");
  EXPECT_EQ(ReadBytes(dir / L"s.01.log"), (std::vector<unsigned char>{0xFF, 0xFE}));
}

TEST(LogFile, ByteOrderMarkOnlyOnEmptyFiles) {
  TempDir dir;
  MakeLogFile(dir / L"full.01.log", L"old");
  WriteBytes(dir / L"empty.01.log", {});
  {
    TLogFile a(dir / L"full.log", 50000, 3, 1, 10, false);
    a.WriteStringInfo(1, L"new", false);
    TLogFile b(dir / L"empty.log", 50000, 3, 1, 10, false);
    b.WriteStringInfo(1, L"new", false);
  }
  EXPECT_EQ(ReadBytes(dir / L"full.01.log"), WithBom(Utf16Bytes(L"old\r\nnew\r\n")));
  EXPECT_EQ(ReadBytes(dir / L"empty.01.log"), WithBom(Utf16Bytes(L"new\r\n")));
}

TEST(LogFile, NumberedChainShiftsWhenTheCurrentFileIsFull) {
  TempDir dir;
  for (int k = 1; k <= 10; ++k) {
    wchar_t name[32];
    swprintf(name, 32, L"Orderlume.%02d.log", k);
    MakeLogFile(dir / name, L"file" + std::to_wstring(k));
  }
  TLogFile log(dir / L"Orderlume.log", 1, 3, 1, 10, false);  // 1 KB
  ASSERT_TRUE(log.IsOpen());
  // Fill the current file up to just below the limit; the write that reaches it still goes there.
  const std::wstring big(490, L'a');
  log.WriteStringInfo(1, big, false);  // 1000 bytes with the BOM and the marker
  EXPECT_TRUE(Exists(dir / L"Orderlume.01.log"));
  EXPECT_LT(SizeOf(dir / L"Orderlume.01.log"), 1024u);
  log.WriteStringInfo(1, L"reaches the limit", false);
  log.WriteStringInfo(1, L"first of the new file", false);

  EXPECT_EQ(ReadBytes(dir / L"Orderlume.01.log"), WithBom(Utf16Bytes(L"first of the new file\r\n")));
  std::wstring second = ReadUtf16File(dir / L"Orderlume.02.log");
  EXPECT_TRUE(StartsWith(second, L"file1\r\n" + big));
  EXPECT_NE(second.find(L"reaches the limit\r\n"), std::wstring::npos);
  for (int k = 3; k <= 10; ++k) {
    wchar_t name[32];
    swprintf(name, 32, L"Orderlume.%02d.log", k);
    EXPECT_EQ(ReadUtf16File(dir / name), L"file" + std::to_wstring(k - 1) + L"\r\n") << k;
  }
  EXPECT_EQ(ListFolder(dir.Path()).size(), 10u) << "the oldest file is deleted, not kept as .11";
}

// A current file of the limit (1 KB here) or more at creation is rotated before the first line; one
// byte less takes the first line, which fills it.
TEST(LogFile, FullFileAtCreationIsRotatedFirst) {
  struct Case {
    const char* what;
    size_t size;    // of x.01.log at creation
    int32_t files;  // the chain's length
    bool rotatedAtCreation;
    std::vector<std::wstring> left;
  } cases[] = {
      {"over the limit", 2048, 3, true, {L"x.01.log", L"x.02.log"}},
      {"exactly the limit", 1024, 3, true, {L"x.01.log", L"x.02.log"}},
      {"one file: the full one is deleted", 2048, 1, true, {L"x.01.log"}},
      {"one byte below the limit", 1023, 3, false, {L"x.01.log", L"x.02.log"}},
  };
  const auto line = Utf16Bytes(L"line\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    MakeLogFile(dir / L"x.01.log", L"full", c.size);
    std::vector<unsigned char> moved = ReadBytes(dir / L"x.01.log"), current = WithBom({});
    {
      TLogFile log(dir / L"x.log", 1, 3, 1, c.files, false);
      log.WriteStringInfo(1, L"line", false);
    }
    std::vector<unsigned char>& withLine = c.rotatedAtCreation ? current : moved;
    withLine.insert(withLine.end(), line.begin(), line.end());
    EXPECT_EQ(ListFolder(dir.Path()), c.left);
    EXPECT_EQ(ReadBytes(dir / L"x.01.log"), current);
    if (c.left.size() == 2) {
      EXPECT_EQ(ReadBytes(dir / L"x.02.log"), moved);
    }
  }
}

// The write after which the current file holds the limit exactly is the last of that file; one byte
// pair less and the next line still goes there (and fills it in turn).
TEST(LogFile, WriteThatReachesTheLimitExactlyRotates) {
  struct Case {
    size_t characters;  // of the first line: the BOM, the line and CR LF make 2 * characters + 6 bytes
    bool rotatedAfterIt;
  } cases[] = {{509, true}, {508, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.characters);
    TempDir dir;
    const std::wstring first = std::wstring(c.characters, L'f') + L"\r\n";
    {
      TLogFile log(dir / L"y.log", 1, 3, 1, 3, false);
      log.WriteStringInfo(1, std::wstring(c.characters, L'f'), false);
      log.WriteStringInfo(1, L"next", false);
    }
    EXPECT_EQ(ReadUtf16File(dir / L"y.02.log"), c.rotatedAfterIt ? first : first + L"next\r\n");
    EXPECT_EQ(ReadUtf16File(dir / L"y.01.log"), c.rotatedAfterIt ? L"next\r\n" : L"");
  }
}

TEST(LogFile, MoveThatFailsKeepsTheFullFileAndRetriesAfterTheNextWrite) {
  TempDir dir;
  MakeLogFile(dir / L"m.01.log", L"full", 2048);
  // A reader that does not share deletion keeps the file from being renamed.
  HANDLE reader = CreateFileW((dir / L"m.01.log").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  TLogFile log(dir / L"m.log", 1, 3, 1, 3, false);
  ASSERT_TRUE(log.IsOpen()) << "the full file is opened again unchanged";
  log.WriteStringInfo(1, L"appended", false);
  EXPECT_FALSE(Exists(dir / L"m.02.log"));
  EXPECT_GT(SizeOf(dir / L"m.01.log"), 2048u);
  CloseHandle(reader);
  log.WriteStringInfo(1, L"after", false);  // still full: rotated again after this write
  log.WriteStringInfo(1, L"new", false);
  EXPECT_TRUE(Exists(dir / L"m.02.log"));
  EXPECT_EQ(ReadBytes(dir / L"m.01.log"), WithBom(Utf16Bytes(L"new\r\n")));
}

TEST(LogFile, RealLimitOf50000KB) {
  TempDir dir;
  TLogFile log(dir / L"Orderlume.log", 50000, 3, 1, 10, false);
  const std::wstring chunk(32766, L'z');  // 65,536 bytes a line with CR LF
  const unsigned long long limit = 51200000ull;
  unsigned long long size = 2;
  while (size + 65536 < limit) {
    log.WriteStringInfo(1, chunk, false);
    size += 65536;
  }
  ASSERT_FALSE(Exists(dir / L"Orderlume.02.log"));
  log.WriteStringInfo(1, chunk, false);  // the write after which .01 holds at least 51,200,000 bytes
  EXPECT_GE(SizeOf(dir / L"Orderlume.02.log"), limit);
  EXPECT_EQ(SizeOf(dir / L"Orderlume.02.log"), size + 65536);
  EXPECT_EQ(ReadBytes(dir / L"Orderlume.01.log"), (std::vector<unsigned char>{0xFF, 0xFE}));
}

TEST(LogFile, SingleFileMovedUnderATimeStampedName) {
  TempDir dir;
  MakeLogFile(dir / L"s.log", L"old", 2048);
  TLogFile log(dir / L"s.log", 1, 3, 0, 0, false);
  log.WriteStringInfo(1, L"next", false);
  auto names = ListFolder(dir.Path());
  ASSERT_EQ(names.size(), 2u);
  std::wregex stamped(LR"(s\.\d{4}-\d\d-\d\d \d\d-\d\d-\d\d\.log)");
  EXPECT_TRUE(std::regex_match(names[0], stamped)) << Narrow(names[0]);
  EXPECT_EQ(SizeOf(dir / names[0]), 2048u);
  EXPECT_EQ(ReadBytes(dir / L"s.log"), WithBom(Utf16Bytes(L"next\r\n")));
}

TEST(LogFile, SingleFileThatCannotMoveLeavesTheLoggerClosed) {
  TempDir dir;
  MakeLogFile(dir / L"s.log", L"old", 2048);
  HANDLE reader = CreateFileW((dir / L"s.log").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  TLogFile log(dir / L"s.log", 1, 3, 0, 0, false);
  EXPECT_FALSE(log.IsOpen());
  EXPECT_NO_THROW(log.WriteStringInfo(1, L"dropped", false));
  CloseHandle(reader);
  EXPECT_EQ(SizeOf(dir / L"s.log"), 2048u);
}

TEST(LogFile, FullFileWithoutExtensionClosesTheLogger) {
  TempDir dir;
  MakeLogFile(dir / L"noext", L"old", 2048);
  TLogFile log(dir / L"noext", 1, 3, 0, 0, false);
  EXPECT_FALSE(log.IsOpen());
}

TEST(LogFile, OneFilePerDayAndTheCleanUpByAgeAndMask) {
  TempDir dir;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  auto age = [&](const std::wstring& path, int days) {
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<unsigned long long>(days) * 24 * 3600 * 10000000ull + 600 * 10000000ull;
    FILETIME ft{t.LowPart, t.HighPart};
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
  };
  struct Old { const wchar_t* name; int days; bool deleted; } files[] = {
      {L"d.2020-01-01.log", 10, true},   // older than 3 days, matches the mask
      {L"D.2020-01-02.LOG", 10, true},   // the mask ignores letter case
      {L"d.2020-01-03.log", 2, false},   // young enough
      {L"d.20-01-03.log", 10, false},    // wrong length
      {L"other.2020-01-01.log", 10, false},
  };
  for (auto& f : files) {
    MakeLogFile(dir / f.name, L"old");
    age(dir / f.name, f.days);
  }
  {
    TLogFile log(dir / L"d.log", 1, 3, 2, 3, false);
    log.WriteStringInfo(1, std::wstring(1000, L'q'), false);  // no size limit in this scheme
    log.WriteStringInfo(1, L"same file", false);
  }
  SYSTEMTIME t;
  GetLocalTime(&t);
  wchar_t today[40];
  swprintf(today, 40, L"d.%04u-%02u-%02u.log", t.wYear, t.wMonth, t.wDay);
  EXPECT_NE(ReadUtf16File(dir / today).find(L"same file"), std::wstring::npos);
  for (auto& f : files) EXPECT_EQ(Exists(dir / f.name), !f.deleted) << Narrow(f.name);
}

TEST(LogFile, SecondWriterIsKeptOutByTheShareMode) {
  TempDir dir;
  TLogFile first(dir / L"Orderlume.log", 50000, 3, 1, 10, false);
  TLogFile second(dir / L"Orderlume.log", 50000, 3, 1, 10, false);
  EXPECT_TRUE(first.IsOpen());
  EXPECT_FALSE(second.IsOpen());
  EXPECT_NO_THROW(second.WriteStringInfo(1, L"dropped", false));
  // Readers are let in.
  HANDLE reader = CreateFileW((dir / L"Orderlume.01.log").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  CloseHandle(reader);
}

TEST(LogFile, FileNamesFromBaseAndUserName) {
  TempDir dir;
  wchar_t user[512];
  DWORD n = 512;
  ASSERT_TRUE(GetUserNameW(user, &n));
  {
    TLogFile withUser(dir / L"Orderlume.log", 50000, 3, 1, 10, true);
    TLogFile doubled(dir / L"a.log.log", 50000, 3, 1, 10, false);
    TLogFile noExt(dir / L"plain", 50000, 3, 1, 10, false);
  }
  EXPECT_TRUE(Exists(dir / (L"Orderlume.[" + std::wstring(user) + L"].01.log")));
  EXPECT_TRUE(Exists(dir / L"a.01.log")) << "cut before the first occurrence of the extension";
  EXPECT_TRUE(Exists(dir / L"plain.01"));
}

TEST(LogFile, FailedWriteRaisesWithTheFileName) {
  // /dev/full takes the open and refuses every write.
  const std::wstring name = L"Z:\\dev\\full";
  TLogFile log(name, 50000, 3, 0, 0, false);
  ASSERT_TRUE(log.IsOpen());
  try {
    log.WriteStringInfo(1, L"lost", true);
    FAIL() << "expected the write error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"Error Write To File \"Z:\\dev\\full\"");
  }
  EXPECT_TRUE(log.IsOpen()) << "the file stays open after a failed write";
}

}  // namespace
