// The built ticker.exe's version resource, as Windows reads it for the file's properties,
// states the project's version and names.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

TEST(VersionResource, StatesTheProjectsVersionAndNames) {
  const std::wstring file = L"Z:" TICKER_EXE;  // the build's path on Wine's drive for "/"
  std::vector<BYTE> info(::GetFileVersionInfoSizeW(file.c_str(), nullptr));
  ASSERT_FALSE(info.empty()) << "no version resource in " << TICKER_EXE;
  ASSERT_TRUE(::GetFileVersionInfoW(file.c_str(), 0, info.size(), info.data()));
  const auto value = [&](const std::wstring& path) -> void* {
    void* data = nullptr;
    UINT length = 0;
    return ::VerQueryValueW(info.data(), path.c_str(), &data, &length) ? data : nullptr;
  };

  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value(L"\\"));
  ASSERT_NE(fixed, nullptr);
  std::wstring expected = L"" TICKER_VERSION;  // 1.0 is 1.0.0.0 in four numbers
  while (std::count(expected.begin(), expected.end(), L'.') < 3) expected += L".0";
  for (const auto& [most, least] : {std::pair{fixed->dwFileVersionMS, fixed->dwFileVersionLS},
                                    {fixed->dwProductVersionMS, fixed->dwProductVersionLS}}) {
    EXPECT_EQ(std::to_wstring(HIWORD(most)) + L"." + std::to_wstring(LOWORD(most)) + L"." +
                  std::to_wstring(HIWORD(least)) + L"." + std::to_wstring(LOWORD(least)),
              expected);
  }

  // The texts in the block the translation names, where Explorer looks for them.
  const auto* translation = static_cast<const WORD*>(value(L"\\VarFileInfo\\Translation"));
  ASSERT_NE(translation, nullptr);
  wchar_t block[32];
  swprintf(block, 32, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  for (const auto& [name, text] : {std::pair{L"FileVersion", L"" TICKER_VERSION},
                                   {L"ProductVersion", L"" TICKER_VERSION},
                                   {L"ProductName", L"" APP_DISPLAY_NAME},
                                   {L"FileDescription", L"" APP_DISPLAY_NAME},
                                   {L"CompanyName", L"" HOME_SITE_NAME},
                                   {L"OriginalFilename", L"ticker.exe"}}) {
    const auto* found = static_cast<const wchar_t*>(value(block + std::wstring(name)));
    EXPECT_EQ(std::wstring(found ? found : L"(none)"), text)
        << std::string(name, name + wcslen(name));
  }
}
