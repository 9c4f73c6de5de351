// The process helper of the end-to-end tests against a small child program, and reading logs.
#include <gtest/gtest.h>

#include "HostLib.h"
#include "TestFiles.h"
#include "core/Exception.h"
#include "win/WinPaths.h"

using namespace zebhost;

namespace {

std::wstring Child() { return ExecutableFolder() + L"host_test_child.exe"; }

TEST(HostProcess, ExitCodeAndCurrentFolder) {
  ChildProcess quick(Child(), L"exit 7", L"");
  ASSERT_TRUE(quick.WaitExit(10000));
  EXPECT_EQ(quick.ExitCode(), 7u);
  EXPECT_TRUE(quick.Stop(0));

  TempDir dir;
  ChildProcess marker(CopyInto(Child(), dir.Path()), L"marker", dir.Path());
  ASSERT_TRUE(marker.WaitExit(10000));
  EXPECT_EQ(marker.ExitCode(), 0u);
  EXPECT_TRUE(Exists(dir / L"marker.txt"));
}

TEST(HostProcess, AProgramThatHangsIsKilledAtTheTimeout) {
  ChildProcess hung(Child(), L"hang", L"");
  EXPECT_FALSE(hung.WaitExit(200));
  EXPECT_FALSE(hung.ExitCode().has_value());
  EXPECT_FALSE(hung.RequestClose());  // no window to ask
  DWORD start = GetTickCount();
  EXPECT_FALSE(hung.Stop(300));
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_FALSE(hung.Running());
  EXPECT_EQ(hung.ExitCode(), 1u);

  HANDLE process;
  {
    ChildProcess left(Child(), L"hang", L"");
    DuplicateHandle(GetCurrentProcess(), left.Handle(), GetCurrentProcess(), &process, SYNCHRONIZE, FALSE, 0);
  }
  EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0) << "the destructor leaves no process behind";
  CloseHandle(process);
}

TEST(HostProcess, AWindowedProgramClosesWhenAsked) {
  const std::wstring caption = L"ZebHostTestChild-" + std::to_wstring(GetCurrentProcessId());
  ChildProcess child(Child(), L"window " + caption, L"");
  ASSERT_NE(FindDisplayWindow(caption, 10000), nullptr);
  EXPECT_TRUE(child.Stop(10000));
  EXPECT_EQ(child.ExitCode(), 3u);
}

TEST(HostProcess, StartFailureNamesTheProgram) {
  try {
    ChildProcess missing(ExecutableFolder() + L"no_such_program.exe", L"", L"");
    ADD_FAILURE() << "started a missing program";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("cannot start \""), std::string::npos) << e.what();
  }
}

TEST(HostLog, LinesOfAUtf16LogWithTheirTimes) {
  TempDir dir;
  EXPECT_TRUE(ReadLogLines(dir / L"none.log").empty());
  const std::wstring text =
      L"11.12.2025 23:59:59.990> [NOTE] > apply data\r\n12.12.2025 00:00:00.015> [NOTE] < apply data\r\n"
      L"\u0416\r\n\r\n";
  WriteBytes(dir / L"a.log", WithBom(Utf16Bytes(text)));
  const std::vector<std::wstring> lines = ReadLogLines(dir / L"a.log");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], L"\u0416");
  EXPECT_EQ(lines[3], L"");

  std::optional<LogLine> a = ParseLogLine(lines[0]), b = ParseLogLine(lines[1]);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->text, L"[NOTE] > apply data");
  EXPECT_EQ(b->timeMs - a->timeMs, 25) << "across midnight and a month's end";
  EXPECT_EQ(ParseLogLine(L"01.03.2024 10.20.30.400> x")->text, L"x") << "another time separator";
  EXPECT_EQ(ParseLogLine(L"01.03.2024 10:20:30.400> ")->text, L"");
  for (const wchar_t* bad : {L"", L"\u0416", L"01.03.2024 10:20:30.400>x", L"01.03.2024 10:20:30.40> x",
                             L"1.03.2024 10:20:30.400> x", L"01.03.2024 10:20:30:400  x"})
    EXPECT_FALSE(ParseLogLine(bad).has_value()) << Narrow(bad);
}

}  // namespace
