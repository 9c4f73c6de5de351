#pragma once
// Paths of the running process.
#include <string>

// The folder of the running executable with its trailing backslash. For a scene library this is the
// folder of the host program that loaded it.
std::wstring ExecutableFolder();
// Whether a folder of that name exists (links followed).
bool DirectoryExists(const std::wstring& path);
bool FileExists(const std::wstring& path);
