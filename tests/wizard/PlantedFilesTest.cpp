// Files planted beside the wizard, as anyone who may write to its shared
// folder could plant them: libraries under the names of system libraries
// that are not among the system's known DLLs, and an Explorer, both in the
// program's folder and in the folder it is started from, with Wine told to
// prefer such files, as Windows does. Every road works as before, and
// nothing planted is called by the wizard or started by it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/EndToEnd.h"
#include "support/TestMailClient.h"
#include "support/WizardDriver.h"

namespace fs = std::filesystem;

namespace {

using namespace endtoend;

// Each is a copy of the planted library, which passes every call on to the
// system's own and notes a call from the wizard in "planted-calls.txt".
constexpr const char* kPlantedLibraries[] = {"version.dll", "mpr.dll", "msimg32.dll", "mapi32.dll"};
// Wine prefers its own libraries to files in a program's folder; Windows
// does not, for libraries that are not among its known DLLs. Wine reads
// this when a program starts, from the environment it was started with, so
// the test itself runs with it and the programs it starts inherit it.
constexpr const char* kPreferPlanted = "version,mpr,msimg32,mapi32=n,b";

class PlantedFiles : public WizardRoad {
 protected:
  static void SetUpTestSuite() {
    char overrides[512] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    ASSERT_NE(std::string(overrides).find(kPreferPlanted), std::string::npos) << "WINEDLLOVERRIDES=" << overrides;
    WizardRoad::SetUpTestSuite();
  }

  void SetUp() override {
    CloseExplorerWindows();
    fs::remove_all(root);
    for (const fs::path& folder : {program, start}) {
      fs::create_directories(folder);
      for (const char* library : kPlantedLibraries)
        fs::copy_file(fs::path(Bin()) / "PlantedLibrary.dll", folder / library);
      // The stand-in planner records where it was started from and with what.
      fs::copy_file(fs::path(Bin()) / "korvell.exe", folder / "explorer.exe");
    }
    for (const char* file : {"Tamsel32.exe", "korvell.exe"}) fs::copy_file(fs::path(Bin()) / file, program / file);
    SetMachine("Master", "YES");
    SetMachine("dir", program.string());
    SetMachine("NetDir", (program / "dats").string());
  }
  void TearDown() override {
    // The system preferred what was planted: its own user interface
    // library loads the planted version library before the wizard runs.
    EXPECT_NE(Contents(program / "planted-loads.txt").find("version.dll"), std::string::npos);
    CloseExplorerWindows();
    EndStartedExplorers();
    // The planner that a run started may still be ending.
    driver::WaitUntil([this] {
      std::error_code busy;
      fs::remove_all(root, busy);
      return !busy;
    });
  }

  // The wizard in its folder, to be started from the other one.
  std::string Wizard(const std::string& arguments = {}) const {
    return "\"" + (program / "Tamsel32.exe").string() + "\" " + arguments;
  }

  // What the wizard called or started of the planted files, each once.
  std::string Planted() const {
    std::set<std::string> found;
    for (const fs::path& folder : {program, start}) {
      std::istringstream calls(Contents(folder / "planted-calls.txt"));
      for (std::string call; std::getline(calls, call);)
        if (call != "<missing>") found.insert(folder.filename().string() + ": " + call);
      if (Contents(folder / "korvell-started.txt").find("explorer.exe") != std::string::npos)
        found.insert(folder.filename().string() + ": explorer.exe started\r");
    }
    std::string lines;
    for (const std::string& line : found) lines += line + "\n";
    return lines;
  }

  fs::path root = fs::temp_directory_path() / "korvell-planted", program = root / "Korvell", start = root / "start";
};

TEST_F(PlantedFiles, TheMasterRoadWithExplorerCallsAndStartsNothingPlanted) {
  const driver::Process wizard(Wizard(), start.string());
  HWND instruction = driver::WaitForWindow(wizard.Id(), driver::IsSharingInstruction);
  ASSERT_TRUE(instruction) << "shown: " << driver::ShownWindows(wizard.Id());
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ExplorerBeside(instruction); })) << "Explorer was not docked";
  driver::ClickButton(instruction, "O.K.");
  HWND startMonth = driver::WaitForWindow(wizard.Id(), driver::IsStartMonth);
  ASSERT_TRUE(startMonth) << "shown: " << driver::ShownWindows(wizard.Id());
  driver::ClickButton(startMonth, "O.K.");
  EXPECT_EQ(ExitCode(wizard), 0u);
  EXPECT_TRUE(driver::WaitUntil([&] { return Contents(program / "korvell-started.txt").ends_with("\r\n"); }));
  EXPECT_NE(Contents(program / "korvell-started.txt").find("program=" + (program / "korvell.exe").string()),
            std::string::npos);
  EXPECT_EQ(Contents(program / "dats" / (std::to_string(Year()) + ".DAT")), std::string(111600, '0'));
  EXPECT_EQ(Planted(), "");
}

// A share that opens, and a drive that is connected to none, which the
// network router is asked about.
TEST_F(PlantedFiles, TheUnattendedSlaveRoadCallsNothingPlanted) {
  const ShareFolder share("PLANTED", "KORVELL", true);
  SetMachine("Master", "NO");
  const struct {
    std::string given;
    DWORD exitCode;
  } cases[] = {{share.Path(), 0}, {"Q:", 1}};
  for (const auto& [given, exitCode] : cases) {
    const driver::Process wizard(Wizard("/slave " + given + " /quiet /noplanner"), start.string());
    EXPECT_EQ(ExitCode(wizard, 60000), exitCode) << given;
  }
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), share.Path() + "\\dats");
  EXPECT_EQ(Planted(), "");
}

TEST_F(PlantedFiles, AReportMailedFromTheErrorDialogCallsNothingPlanted) {
  TestMailClient mail;
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettings, "NetDir");
  const driver::Process wizard(Wizard(), start.string());
  HWND dialog = driver::WaitForWindow(wizard.Id(), driver::IsErrorDialog);
  ASSERT_TRUE(dialog) << "shown: " << driver::ShownWindows(wizard.Id());
  EXPECT_TRUE(driver::ClickButton(dialog, "Report &Error"));
  HWND notice = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
  ASSERT_TRUE(notice);
  PostMessageA(notice, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(driver::WaitUntil([&] { return !mail.Received().empty(); })) << "no mail";
  EXPECT_NE(mail.Received().find((program / "Error Report Files").string()), std::string::npos) << mail.Received();
  HWND again = driver::WaitForWindow(wizard.Id(), [dialog](HWND w) { return w != dialog && driver::IsErrorDialog(w); });
  ASSERT_TRUE(again);
  EXPECT_NE(Contents(program / "Error Report Files" / "Version.txt").find("version.dll"), std::string::npos);
  EXPECT_TRUE(driver::ClickButton(again, "Close"));
  EXPECT_TRUE(wizard.WaitForExit(20000));
  EXPECT_EQ(Planted(), "");
}

// The names of the libraries that a program or library imports, read from
// its file's import table.
std::vector<std::string> ImportedLibraries(const fs::path& path) {
  const std::string image = Contents(path);
  const auto at = [&](size_t offset, auto& value) {
    if (offset + sizeof value <= image.size()) std::memcpy(&value, image.data() + offset, sizeof value);
  };
  IMAGE_DOS_HEADER dos{};
  at(0, dos);
  IMAGE_NT_HEADERS32 nt{};
  at(dos.e_lfanew, nt);
  const size_t sections =
      dos.e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
  const auto offsetOf = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
      IMAGE_SECTION_HEADER section{};
      at(sections + i * sizeof section, section);
      if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
        return rva - section.VirtualAddress + section.PointerToRawData;
    }
    return image.size();
  };
  std::vector<std::string> names;
  const size_t imports = offsetOf(nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  for (size_t entry = imports;; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR descriptor{};
    at(entry, descriptor);
    if (descriptor.Name == 0) break;
    const size_t name = offsetOf(descriptor.Name);
    if (name >= image.size()) break;
    names.push_back(image.c_str() + name);
  }
  return names;
}

// What the system always loads from its own folder, whatever a program's
// folder holds; the common controls come from the side-by-side assembly
// that the program's manifest names, before any folder is searched.
constexpr const char* kAlwaysFromTheSystem[] = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
                                                "imm32.dll",    "kernel32.dll", "msvcrt.dll",   "ole32.dll",
                                                "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",   "shell32.dll",
                                                "shlwapi.dll",  "user32.dll",   "ws2_32.dll"};
// What the wizard's first window needs: every library that it imports loads
// before that window, with the libraries that each of them imports in turn.
constexpr const char* kFirstWindowNeeds[] = {"advapi32.dll", "comctl32.dll", "gdi32.dll",
                                             "kernel32.dll", "msvcrt.dll",   "user32.dll"};

template <size_t N>
bool Among(std::string name, const char* const (&names)[N]) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

TEST(Imports, TheWizardAndTheHelperLibraryImportOnlyWhatTheSystemLoadsFromItsOwnFolder) {
  for (const char* binary : {"Tamsel32.exe", "Merrow.dll"}) {
    const std::vector<std::string> imported = ImportedLibraries(fs::path(Bin()) / binary);
    EXPECT_GE(imported.size(), 5u) << binary;
    for (const std::string& library : imported)
      EXPECT_TRUE(Among(library, kAlwaysFromTheSystem)) << binary << ": " << library;
  }
  // The component runtime and the shell load on first use, after the first window.
  for (const std::string& library : ImportedLibraries(fs::path(Bin()) / "Tamsel32.exe"))
    EXPECT_TRUE(Among(library, kFirstWindowNeeds)) << library;
}

}  // namespace
