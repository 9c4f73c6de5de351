#pragma once
// Files and folders for tests under Wine: a fresh temporary folder per test, whole-file reads and
// writes, and UTF-16LE byte helpers.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // With its trailing backslash.
  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + name; }

 private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);
std::vector<unsigned char> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
void WriteText(const std::wstring& path, const std::string& text);  // as it stands, 8-bit
bool Exists(const std::wstring& path);
unsigned long long SizeOf(const std::wstring& path);
std::vector<std::wstring> ListFolder(const std::wstring& folder);  // names, sorted, no dots

// The UTF-16LE bytes of a text, and "FF FE" + those bytes.
std::vector<unsigned char> Utf16Bytes(const std::wstring& s);
std::vector<unsigned char> WithBom(const std::vector<unsigned char>& b);
// A UTF-16LE file's text without its byte-order mark.
std::wstring ReadUtf16File(const std::wstring& path);
// The tests' one narrowing of a UTF-16 text: UTF-8 by default (assertion messages, file contents),
// or the bytes of another code page. What the code page cannot hold becomes its default character.
std::string Narrow(std::wstring_view s, UINT codePage = CP_UTF8);
std::string Narrow(std::u16string_view s);
