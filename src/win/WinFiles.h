#pragma once
// Whole-file reads and folder listings at the Windows API.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Every entry that FindFirstFileW / FindNextFileW give for `pattern` (a folder and a mask, such as
// "media\anim\*.*"), the two dot entries included, in the order the system gives them. Nothing when
// nothing matches or the folder does not exist.
void ForEachFile(const std::wstring& pattern, const std::function<void(const WIN32_FIND_DATAW& entry)>& visit);

// The file's bytes, opened with the given share mode (by default others may read the file but not
// write it meanwhile). Raises Exception when it cannot be opened or read.
std::string ReadFileBytes(const std::wstring& path, DWORD shareMode = FILE_SHARE_READ);

// Picture files that the host names (receipt lines and discounts, gallery dishes, scene dishes and
// their fallback): a picture counts only as a regular file on a disk of at most kMaxPictureFileBytes.
// A folder, a device (CON.png, NUL, \\.\pipe\...), a path that names nothing and a larger file are
// missing: each picture is held whole in memory, and one must not exhaust a 32-bit process.
inline constexpr uint64_t kMaxPictureFileBytes = 32ull << 20;

// Whether a picture file is at the path (the path as it stands; an empty one names none).
bool PictureFileExists(std::u16string_view path);

// The picture file's bytes, or nothing when no picture file is at the path (as PictureFileExists
// tells; also when it has grown too large since). Raises Exception when there is one but it cannot be
// opened or read: another program holds it locked, or reading it fails.
std::optional<std::string> ReadPictureFile(std::u16string_view path);
