// The application manifest that Orderlume.exe carries: one RT_MANIFEST resource, number 1, that the
// system reads as per-monitor DPI aware (version 2 first, system aware before Windows 8.1), run as the
// invoker, supported from Windows 7 to 11. The manifest is read through the system's own parser (an
// activation context made from the program file, as at start-up), so a wrong namespace or a text that
// does not parse fails here. Checked on the program the tests run and on the 32-bit deliverable.
#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "E2eSupport.h"

namespace {

// The resource names and languages of one resource type in a program file (read as data: a 32-bit
// file from a 64-bit test too).
struct Resources {
  std::vector<ULONG_PTR> ids;  // numbered ones; names count as 0
  std::vector<WORD> languages;  // of resource 1
  std::string text;             // resource 1
};

BOOL CALLBACK AddName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
  reinterpret_cast<Resources*>(out)->ids.push_back(IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : 0);
  return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out) {
  reinterpret_cast<Resources*>(out)->languages.push_back(language);
  return TRUE;
}

Resources ManifestResources(const std::wstring& exe) {
  Resources r;
  HMODULE m = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!m) {
    ADD_FAILURE() << "cannot read the resources of the program (error " << GetLastError() << ")";
    return r;
  }
  EnumResourceNamesW(m, RT_MANIFEST, AddName, reinterpret_cast<LONG_PTR>(&r));
  EnumResourceLanguagesW(m, RT_MANIFEST, MAKEINTRESOURCEW(1), AddLanguage, reinterpret_cast<LONG_PTR>(&r));
  if (HRSRC res = FindResourceW(m, MAKEINTRESOURCEW(1), RT_MANIFEST)) {
    if (HGLOBAL data = LoadResource(m, res))
      r.text.assign(static_cast<const char*>(LockResource(data)), SizeofResource(m, res));
  }
  FreeLibrary(m);
  return r;
}

// The program's manifest as the system reads it when it starts the program.
class ActivationContext {
 public:
  explicit ActivationContext(const std::wstring& exe) {
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = exe.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    handle_ = CreateActCtxW(&request);
    error_ = handle_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  }
  ~ActivationContext() {
    if (Valid()) ReleaseActCtx(handle_);
  }
  ActivationContext(const ActivationContext&) = delete;
  ActivationContext& operator=(const ActivationContext&) = delete;

  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  DWORD Error() const { return error_; }

  // A windows setting of the manifest's application element, by its namespace; "(absent)" when the
  // system found none.
  std::wstring Setting(const wchar_t* nameSpace, const wchar_t* name) const {
    wchar_t value[256] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, handle_, nameSpace, name, value, std::size(value), &written)) return L"(absent)";
    return value;
  }

  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION RunLevel() const {
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION info{};
    SIZE_T size = 0;
    EXPECT_TRUE(QueryActCtxW(0, handle_, nullptr, RunlevelInformationInActivationContext, &info, sizeof(info), &size));
    return info;
  }

  // The supportedOS identifiers, in lower case with braces.
  std::vector<std::wstring> SupportedSystems() const {
    SIZE_T size = 0;
    QueryActCtxW(0, handle_, nullptr, CompatibilityInformationInActivationContext, nullptr, 0, &size);
    std::vector<unsigned char> buffer(std::max<SIZE_T>(size, sizeof(DWORD)));
    std::vector<std::wstring> out;
    if (!QueryActCtxW(0, handle_, nullptr, CompatibilityInformationInActivationContext, buffer.data(),
                      buffer.size(), &size)) {
      ADD_FAILURE() << "no compatibility information (error " << GetLastError() << ")";
      return out;
    }
    // Elements are { GUID Id; type; } in older systems' layout (20 bytes after a 4-byte count) and
    // carry a 64-bit maximum tested version since Windows 10 1903 (32 bytes after 8), as in Wine.
    DWORD count = 0;
    std::memcpy(&count, buffer.data(), sizeof(count));
    const bool older = size == sizeof(DWORD) + count * 20u;
    const size_t first = older ? 4 : 8, stride = older ? 20 : 32;
    if (first + count * stride > size) {
      ADD_FAILURE() << "compatibility information of " << size << " bytes for " << count << " elements";
      return out;
    }
    for (DWORD i = 0; i < count; ++i) {
      GUID id;
      std::memcpy(&id, buffer.data() + first + i * stride, sizeof(id));
      ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
      std::memcpy(&type, buffer.data() + first + i * stride + sizeof(id), sizeof(type));
      if (type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) continue;
      wchar_t guid[64] = {};
      StringFromGUID2(id, guid, static_cast<int>(std::size(guid)));
      std::wstring s = guid;
      std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
      out.push_back(s);
    }
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = 0;
};

class DisplayManifest : public ::testing::TestWithParam<std::wstring> {};

TEST_P(DisplayManifest, OneManifestResourceNumberedOne) {
  const Resources r = ManifestResources(GetParam());
  // A second manifest (a toolchain's default one linked in beside ours) would show as a second name
  // or language here.
  EXPECT_EQ(r.ids, std::vector<ULONG_PTR>{1});
  EXPECT_EQ(r.languages.size(), 1u);
  EXPECT_EQ(r.text.rfind("<?xml", 0), 0u) << r.text.substr(0, 40);
}

TEST_P(DisplayManifest, SystemReadsPerMonitorAwarenessInvokerLevelAndWindows7To11) {
  const ActivationContext context(GetParam());
  ASSERT_TRUE(context.Valid()) << "the system does not take the manifest (error " << context.Error() << ")";
  // Windows 10 1607 and later read dpiAwareness and take its first item they know: PerMonitorV2
  // from 1703 on, PerMonitor on 1607. Earlier ones read dpiAware: per monitor on 8.1, system aware
  // on 7 and 8.
  EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2, PerMonitor");
  EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm");

  const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = context.RunLevel();
  EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
  EXPECT_EQ(level.UiAccess, 0u);

  const std::vector<std::wstring> expected = {
      L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
      L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
      L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
      L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
  };
  EXPECT_EQ(context.SupportedSystems(), expected);
}

// Each display program as the tests run it and, where this machine runs a 64-bit twin of it, as it
// is delivered (32-bit), with a name for the case.
struct Program {
  std::wstring path;
  std::string name;
};
std::vector<Program> Programs() {
  std::vector<Program> out;
  for (const char* name : {"Orderlume", "Slipview"}) {
    const std::wstring file = std::wstring(name, name + std::strlen(name)) + L".exe";
    const std::wstring tested = BuiltProgram(file);
    const std::wstring delivered = std::wstring(ZEB_DELIVERED_BIN) + L"\\" + file;
    out.push_back({tested, std::string(name) + "Tested"});
    if (_wcsicmp(delivered.c_str(), tested.c_str()) != 0) out.push_back({delivered, std::string(name) + "Delivered"});
  }
  return out;
}
std::vector<std::wstring> Paths() {
  std::vector<std::wstring> out;
  for (const Program& p : Programs()) out.push_back(p.path);
  return out;
}

INSTANTIATE_TEST_SUITE_P(Programs, DisplayManifest, ::testing::ValuesIn(Paths()),
                         [](const auto& info) { return Programs()[info.index].name; });

}  // namespace
