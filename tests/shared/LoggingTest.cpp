// The settings readers, WriteLog and InitLog, with a settings file beside the test program.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/Exception.h"
#include "shared/Logging.h"
#include "win/WinPaths.h"

namespace {

class LoggingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalLogForTests();
    DeleteFileW(Ini().c_str());
    RemoveTree(ExecutableFolder() + L"ZebLogFiles");
  }
  void TearDown() override {
    ResetGlobalLogForTests();
    DeleteFileW(Ini().c_str());
    RemoveTree(ExecutableFolder() + L"ZebLogFiles");
  }
  static std::wstring Ini() { return ExecutableFolder() + L"Zebrane.ini"; }
  static void Settings(const std::string& text) { WriteText(Ini(), text); }
};

TEST_F(LoggingTest, MissingFileSectionOrKeyGiveTheDefault) {
  EXPECT_EQ(ReadSettingString(L"LOGFILE", L"LogDir", L"dflt"), L"dflt");
  EXPECT_EQ(ReadSettingInteger(L"REGSOCKET", L"Port", 2489), 2489);
  Settings("[OUTPUT]\r\nLanguage=ENG\r\n");
  EXPECT_EQ(ReadSettingString(L"OTHER", L"Language", L"RUS"), L"RUS");
  EXPECT_EQ(ReadSettingString(L"OUTPUT", L"Missing", L"RUS"), L"RUS");
  EXPECT_EQ(ReadSettingString(L"output", L"LANGUAGE", L"RUS"), L"ENG") << "names without regard to case";
}

TEST_F(LoggingTest, ValuesAreReadAnewAndCutAt2047Characters) {
  Settings("[S]\r\nK=" + std::string(3000, 'v') + "\r\n");
  EXPECT_EQ(ReadSettingString(L"S", L"K", L"").size(), 2047u);
  Settings("[S]\r\nK=changed\r\n");
  EXPECT_EQ(ReadSettingString(L"S", L"K", L""), L"changed");
}

TEST_F(LoggingTest, IntegerRule) {
  struct Case { const char* value; int32_t expected; } cases[] = {
      {"0x9B9", 2489}, {"$9B9", 2489}, {"2489", 2489}, {"-5", -5}, {"25x", 77}, {"", 77},
      {"4294967296", 77}, {"2147483648", 77}, {"-2147483648", INT32_MIN}, {"0X10", 16},
      {"x2", 77}, {"X1F", 77}, {"-$10", 77}, {"0x", 77}, {"+5", 5}, {"$1F", 31},
  };
  for (auto& c : cases) {
    Settings(std::string("[REGSOCKET]\r\nPort=") + c.value + "\r\n");
    EXPECT_EQ(ReadSettingInteger(L"REGSOCKET", L"Port", 77), c.expected) << c.value;
  }
}

TEST_F(LoggingTest, WithoutSettingsTheLogGoesBesideTheExecutable) {
  InitLog(L"Orderlume", 1);
  ASSERT_NE(GlobalLog, nullptr);
  WriteLog(L"AV in FormCreate", 1, true);
  WriteLog(L"> Create", 3, true);
  std::wstring text = ReadUtf16File(ExecutableFolder() + L"ZebLogFiles\\Orderlume.01.log");
  EXPECT_NE(text.find(L"> [ERROR] AV in FormCreate\r\n"), std::wstring::npos);
  EXPECT_EQ(text.find(L"[NOTE]"), std::wstring::npos) << "level 1 by default in InitLog's caller";
}

TEST_F(LoggingTest, LogFolderRules) {
  TempDir dir;
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  SetCurrentDirectoryW(dir.Path().c_str());
  struct Case {
    std::string settings;
    std::wstring expectedFile;  // empty: no log at all
  } cases[] = {
      // Section and key names without regard to case; a missing trailing backslash is added.
      {"[logfile]\r\nlogdir=" + Narrow(dir.Path()) + "Logs\r\n", dir / L"Logs\\Orderlume.01.log"},
      // Leading backslashes are removed: the folder is taken under the current folder.
      {"[LOGFILE]\r\nLogDir=\\Rel\\\r\n", dir / L"Rel\\Orderlume.01.log"},
      // Backslashes only give the default folder.
      {"[LOGFILE]\r\nLogDir=\\\\\\\r\n", ExecutableFolder() + L"ZebLogFiles\\Orderlume.01.log"},
      // Only the last level is created: a missing parent gives no log and no error.
      {"[LOGFILE]\r\nLogDir=" + Narrow(dir.Path()) + "no\\such\\\r\n", L""},
  };
  for (auto& c : cases) {
    ResetGlobalLogForTests();
    Settings(c.settings);
    EXPECT_NO_THROW(InitLog(L"Orderlume", 3));
    EXPECT_NO_THROW(WriteLog(L"line", 3, true));
    if (c.expectedFile.empty()) {
      EXPECT_FALSE(GlobalLog->IsOpen()) << c.settings;
      EXPECT_FALSE(Exists(dir / L"no")) << c.settings;
    } else {
      EXPECT_NE(ReadUtf16File(c.expectedFile).find(L"[NOTE] line"), std::wstring::npos) << c.settings;
    }
  }
  ResetGlobalLogForTests();
  SetCurrentDirectoryW(saved);
}

TEST_F(LoggingTest, OnlyTheFirstInitLogCreatesTheLogger) {
  InitLog(L"Orderlume", 3);
  TLogFile* first = GlobalLog;
  RemoveTree(ExecutableFolder() + L"ZebLogFiles");  // a later call recreates a missing folder
  InitLog(L"Other", 1);
  EXPECT_EQ(GlobalLog, first);
  EXPECT_EQ(GlobalLog->LogLevel(), 3);
  EXPECT_EQ(GlobalLog->FileName(), ExecutableFolder() + L"\\ZebLogFiles\\Orderlume.log");
  EXPECT_TRUE(DirectoryExists(ExecutableFolder() + L"ZebLogFiles"));
}

TEST_F(LoggingTest, PrefixesAndLevels) {
  WriteLog(L"before any logger", 1, true);  // nothing to write to: no effect
  InitLog(L"Orderlume", 2);
  const int levels[] = {0, 1, 2, 3, 4};
  for (int level : levels) WriteLog(L"level " + std::to_wstring(level), level, false);
  EXPECT_EQ(ReadUtf16File(ExecutableFolder() + L"ZebLogFiles\\Orderlume.01.log"),
            L"[ERROR] level 1\r\n[WARNING] level 2\r\n");
}

TEST_F(LoggingTest, AFailedWriteRaisesFromWriteLogButNotFromTheFailureLines) {
  GlobalLog = new TLogFile(L"Z:\\dev\\full", 50000, 3, 0, 0, false);
  EXPECT_THROW(WriteLog(L"> apply data", 3, true), Exception);
  EXPECT_NO_THROW(WriteLogNoRaise(L"AV in FormSetText", 1, true));
}

}  // namespace
