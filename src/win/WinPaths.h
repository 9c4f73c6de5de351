#pragma once
// Paths of the running process and of the module that holds the calling code.
#include <windows.h>

#include <string>

// The folder of the running executable with its trailing backslash. For a scene library this is the
// folder of the host program that loaded it.
std::wstring ExecutableFolder();
// The module (program or library) whose code calls this: inside a scene library the library, not
// the host's executable. Window classes, resources and the module's own path are asked of it.
HMODULE ThisModule() noexcept;
// The full path of a module; null: the running executable. Any length.
std::wstring ModuleFileName(HMODULE module);
// Whether a folder of that name exists (links followed).
bool DirectoryExists(const std::wstring& path);
bool FileExists(const std::wstring& path);
