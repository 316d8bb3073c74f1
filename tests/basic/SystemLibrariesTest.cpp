// The system's libraries as the wizard loads them: from the system folder by
// full path, and a library or function that is not there is a run-time
// error that names it, for the step that needed it to report.
#include <gtest/gtest.h>
#include <windows.h>

#include "basic/Err.h"
#include "basic/SystemLibraries.h"
#include "basic/Text.h"

namespace {

TEST(SystemLibraries, AMissingLibraryOrFunctionIsARunTimeErrorNamingIt) {
  const struct {
    const char* library;
    const char* function;
    int32_t number;
    std::string named;
  } cases[] = {
      {"korvell-missing.dll", "WNetOpenEnumA", basic::errDllLoad, basic::SystemFolderFile("korvell-missing.dll")},
      {"mpr.dll", "KorvellMissing", basic::errDllEntry, "\"KorvellMissing\""},
  };
  for (const auto& [library, function, number, named] : cases) {
    try {
      const basic::SystemLibrary loaded(library);
      void* found = nullptr;
      loaded(function, found);
      ADD_FAILURE() << library << " " << function << " was found";
    } catch (const basic::Error& e) {
      EXPECT_EQ(e.Number(), number) << library;
      EXPECT_NE(basic::ToAnsi(e.Description()).find(named), std::string::npos) << basic::ToAnsi(e.Description());
    }
  }
}

TEST(SystemLibraries, TheNetworkRoutersFunctionsComeFromTheSystemFolder) {
  HMODULE module = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<const char*>(basic::Mpr().WNetOpenEnumA), &module));
  char path[MAX_PATH] = "";
  GetModuleFileNameA(module, path, MAX_PATH);
  EXPECT_EQ(lstrcmpiA(path, basic::SystemFolderFile("mpr.dll").c_str()), 0) << path;
}

}  // namespace
