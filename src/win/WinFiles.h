#pragma once
// Whole-file reads and folder listings at the Windows API.
#include <windows.h>

#include <functional>
#include <string>

// Every entry that FindFirstFileW / FindNextFileW give for `pattern` (a folder and a mask, such as
// "media\anim\*.*"), the two dot entries included, in the order the system gives them. Nothing when
// nothing matches or the folder does not exist.
void ForEachFile(const std::wstring& pattern, const std::function<void(const WIN32_FIND_DATAW& entry)>& visit);

// The file's bytes, opened with the given share mode (by default others may read the file but not
// write it meanwhile). Raises Exception when it cannot be opened or read.
std::string ReadFileBytes(const std::wstring& path, DWORD shareMode = FILE_SHARE_READ);
