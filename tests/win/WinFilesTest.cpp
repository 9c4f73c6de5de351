// The one reader of the picture files that the host names: which paths hold a picture file, and that
// a file another program holds open for writing is read while one it holds locked fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "TestFiles.h"
#include "core/Exception.h"
#include "win/Handles.h"
#include "win/WinFiles.h"
#include "win/WinText.h"

namespace {

void MakeSparseFile(const std::wstring& path, long long size) {
  const win::UniqueFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(f);
  LARGE_INTEGER at{};
  at.QuadPart = size;
  ASSERT_TRUE(SetFilePointerEx(f.Get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(f.Get()));
}

TEST(PictureFile, OnlyARegularDiskFileOfAtMost32MegabytesIsAPicture) {
  TempDir dir;
  WriteText(dir / L"a.png", "picture");
  WriteText(dir / L"empty.png", "");
  MakeSparseFile(dir / L"limit.png", 32ll << 20);
  MakeSparseFile(dir / L"big.png", (32ll << 20) + 1);
  CreateDirectoryW((dir / L"folder.png").c_str(), nullptr);
  struct Case {
    std::wstring path;
    std::optional<size_t> size;
  } cases[] = {
      {dir / L"a.png", 7},
      {dir / L"empty.png", 0},
      {dir / L"limit.png", 32u << 20},
      {dir / L"big.png", std::nullopt},
      {dir / L"folder.png", std::nullopt},
      {dir / L"none.png", std::nullopt},
      {L"", std::nullopt},
      {L"CON.png", std::nullopt},  // the console, whatever the extension
      {dir / L"CON.png", std::nullopt},
      {L"NUL", std::nullopt},
      {L"\\\\.\\NUL", std::nullopt},
      {L"\\\\.\\pipe\\zeb-no-such-pipe", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.path));
    const std::u16string path = ToU16(c.path);
    EXPECT_EQ(PictureFileExists(path), c.size.has_value());
    std::optional<std::string> bytes;
    ASSERT_NO_THROW(bytes = ReadPictureFile(path));
    ASSERT_EQ(bytes.has_value(), c.size.has_value());
    if (bytes) EXPECT_EQ(bytes->size(), *c.size);
  }
}

TEST(PictureFile, AFileHeldForWritingIsReadAndALockedOneFails) {
  TempDir dir;
  const std::wstring path = dir / L"a.png";
  WriteText(path, "picture");
  {
    const win::UniqueFile writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_EQ(ReadPictureFile(ToU16(path)), std::optional<std::string>("picture"));
  }
  const win::UniqueFile locked(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locked);
  EXPECT_TRUE(PictureFileExists(ToU16(path))) << "a locked file is there";
  EXPECT_THROW(ReadPictureFile(ToU16(path)), Exception);
}

}  // namespace
