// The unattended set-up: its command line, and each road run from the
// command line as its own process in the test prefix, as an administrator
// runs it.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "basic/App.h"
#include "basic/Handles.h"
#include "basic/Text.h"
#include "support/EndToEnd.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"
#include "wizard/Unattended.h"

namespace fs = std::filesystem;

namespace {

using namespace endtoend;
using unattended::ParseArguments;
using unattended::Role;

// A character that hardly any ANSI code page carries; the cases that use it
// are left out where the code page carries it.
constexpr const char* kBeyond = "\xE4\xB8\xAD";  // U+4E2D, in UTF-8
bool CodePageCarriesBeyond() { return basic::ToAnsiExact(L"\u4E2D").has_value(); }

std::wstring FromUtf8(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), int(wide.size()))));
  return wide;
}

std::vector<std::wstring> Wide(const std::vector<std::string>& arguments) {
  std::vector<std::wstring> wide;
  for (const auto& argument : arguments) wide.push_back(FromUtf8(argument));
  return wide;
}

std::string WrongWith(const std::vector<std::string>& arguments) {
  return basic::ToAnsi(basic::Spelled(ParseArguments(Wide(arguments)).wrong));
}

TEST(UnattendedArguments, EachWrongCommandLineIsNamed) {
  const struct {
    std::vector<std::string> arguments;
    const char* named;
  } cases[] = {
      {{"/bogus"}, "Unknown argument: /bogus"},
      {{"/slave"}, "/slave needs a share"},
      {{"/slave", "/quiet"}, "/slave needs a share"},
      {{"/slave", "C:\\Korvell"}, "not \"C:\\Korvell\""},
      {{"/slave", "\\\\server"}, "not \"\\\\server\""},
      {{"/slave", "\\\\server\\"}, "not \"\\\\server\\\""},
      {{"/slave", "\\\\server\\\\share"}, "not \"\\\\server\\\\share\""},
      {{"/slave", "K:x"}, "not \"K:x\""},
      {{"/slave", "\\\\S\\K\" /quiet"}, "Leave out the trailing backslash: \"\\\\S\\K\""},
      {{"/slave", std::string("\\\\S\\K") + kBeyond}, "\"\\\\S\\K<U+4E2D>\", which holds characters"},
      {{"/master", "/log", std::string("C:\\setup") + kBeyond + ".log"}, "/log names \"C:\\setup<U+4E2D>.log\""},
      {{"/master", "/month"}, "/month needs a month number from 1 to 12"},
      {{"/master", "/month", "13"}, "not \"13\""},
      {{"/master", "/month", "0"}, "not \"0\""},
      {{"/master", "/month", "April"}, "not \"April\""},
      {{"/master", "/slave", "\\\\S\\K"}, "/slave and /master cannot be given together"},
      {{"/month", "4"}, "Give /slave, /master or /status"},
      {{"/slave", "\\\\S\\K", "/month", "4"}, "/month goes with /master only"},
      {{"/master", "/force"}, "/force goes with /slave only"},
      {{"/status", "/master"}, "/status goes with /quiet and /log only"},
      {{"/status", "/noplanner"}, "/status goes with /quiet and /log only"},
      {{"/quiet"}, "Give /slave, /master or /status"},
      {{"/master", "/MASTER"}, "/master is given twice"},
      {{"/master", "/log"}, "/log needs a file name"},
  };
  for (const auto& [arguments, named] : cases) {
    if (arguments.back().find(kBeyond) != std::string::npos && CodePageCarriesBeyond()) continue;
    const std::string wrong = WrongWith(arguments);
    EXPECT_NE(wrong.find(named), std::string::npos) << arguments.back() << ": " << wrong;
  }
}

TEST(UnattendedArguments, SwitchesTakeEitherMarkInAnyCase) {
  const auto slave = ParseArguments(
      Wide({"-SLAVE", "\\\\Master\\Korvell\\\\", "/Force", "-noPlanner", "/QUIET", "-Log", "C:\\setup.log"}));
  EXPECT_EQ(slave.wrong, L"");
  EXPECT_EQ(slave.options.role, Role::Slave);
  EXPECT_EQ(slave.options.share, L"\\\\Master\\Korvell");  // trailing backslashes dropped
  EXPECT_TRUE(slave.options.force && slave.options.noPlanner && slave.options.quiet);
  EXPECT_EQ(slave.options.log, L"C:\\setup.log");

  const auto master = ParseArguments(Wide({"/master", "-MONTH", "12"}));
  EXPECT_EQ(master.wrong, L"");
  EXPECT_EQ(master.options.role, Role::Master);
  EXPECT_EQ(master.options.month, 12);
  EXPECT_FALSE(master.options.quiet);

  EXPECT_EQ(ParseArguments(Wide({"/slave", "k:"})).options.share, L"k:");
  EXPECT_TRUE(ParseArguments(Wide({"/?"})).options.usage);
  EXPECT_TRUE(ParseArguments(Wide({"-STATUS", "/quiet"})).options.status);
}

// However wrong the rest, a quiet run stays quiet and logs where it was asked
// to, also when a quote swallowed those switches into another argument.
TEST(UnattendedArguments, AWrongCommandLineIsStillToldAsItAsks) {
  for (const auto& arguments : {std::vector<std::string>{"/bogus", "/quiet", "/log", "C:\\setup.log"},
                                std::vector<std::string>{"/slave", "\\\\S\\K\" /quiet /log C:\\setup.log"},
                                std::vector<std::string>{"/slave", "\\\\S\\K\"/quiet /log C:\\setup.log"}}) {
    const auto request = ParseArguments(Wide(arguments));
    EXPECT_NE(request.wrong, L"");
    EXPECT_TRUE(request.options.quiet) << arguments[1];
    EXPECT_EQ(request.options.log, L"C:\\setup.log");
    EXPECT_EQ(request.options.role, Role::None);
  }
}

// The program splits its command line itself, without the shell library:
// every line of up to six of the characters that the rule is about (blanks,
// backslashes, quotes), the program's name included, splits as the shell
// splits it.
TEST(UnattendedArguments, TheCommandLineSplitsAsTheShellSplitsIt) {
  constexpr wchar_t kAlphabet[] = L"a \t\\\"\n";
  constexpr size_t kLetters = std::size(kAlphabet) - 1;
  size_t mismatches = 0;
  for (size_t length = 1; length <= 6; ++length) {
    std::vector<size_t> at(length, 0);
    for (;;) {
      std::wstring line;
      for (size_t i : at) line += kAlphabet[i];
      int count = 0;
      const basic::UniqueOf<LPWSTR*, LocalFree> split(CommandLineToArgvW(line.c_str(), &count));
      ASSERT_TRUE(split);
      const std::vector<std::wstring> shell(split.get(), split.get() + count);
      if (basic::App::SplitCommandLine(line) != shell && ++mismatches <= 10)
        ADD_FAILURE() << "[" << basic::ToAnsi(line) << "] splits into " << shell.size() << " arguments by the shell";
      size_t i = 0;
      while (i < length && ++at[i] == kLetters) at[i++] = 0;
      if (i == length) break;
    }
  }
  EXPECT_EQ(mismatches, 0u);
}

TEST(UnattendedArguments, AQuietRunWithoutALogLogsToTheTemporaryFolder) {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  unattended::Options options;
  EXPECT_EQ(unattended::LogPath(options), L"");
  options.quiet = true;
  EXPECT_EQ(basic::ToAnsi(unattended::LogPath(options)), std::string(temp) + "Tamsel32.log");
  options.log = L"C:\\setup.log";
  EXPECT_EQ(unattended::LogPath(options), L"C:\\setup.log");
}

std::string Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  snprintf(text, sizeof text, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

// Every value of the settings key below a root, with its data, however long.
std::string SettingsOf(HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kSettings, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
  DWORD longestName = 0, longestData = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName, &longestData,
                   nullptr, nullptr);
  std::string values, name(longestName + 1, '\0'), data(longestData, '\0');
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = DWORD(name.size()), size = DWORD(data.size());
    if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
      break;
    values += name.substr(0, nameSize) + "=" + data.substr(0, size) + ";";
  }
  RegCloseKey(key);
  return values;
}

// Every file and folder below a place, with the files' sizes.
std::string FilesBelow(const fs::path& top) {
  std::error_code error;
  if (!fs::exists(top, error)) return top.string() + " missing;";
  std::string files = top.string() + ";";
  for (const auto& entry : fs::recursive_directory_iterator(top, error))
    files += entry.path().string() + (entry.is_regular_file() ? ":" + std::to_string(entry.file_size()) : "") + ";";
  return files;
}

class Unattended : public WizardRoad {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / "korvell-unattended";
    fs::remove_all(root);
    program = root / "Korvell";
    data = program / "dats";
    log = fs::temp_directory_path() / "korvell-setup.log";  // beside what a run may change
    fs::remove(log);
    fs::create_directories(program);
    fs::copy_file(fs::path(Bin()) / "korvell.exe", program / "korvell.exe");
    fs::remove(slavePlanner);
    fs::remove(DefaultLog());
    fs::remove_all(reports);
  }
  void TearDown() override {
    fs::remove_all(root);
    fs::remove(log);
    fs::remove(slavePlanner);
    fs::remove(DefaultLog());
    fs::remove_all(reports);
  }

  // A value holding a NUL is stored as one of several strings, as an
  // installation might leave it.
  static void SetMachine(const char* name, const std::string& value) {
    const std::wstring wide = FromUtf8(value) + L'\0' + L'\0';
    const bool several = value.find('\0') != std::string::npos;
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, FromUtf8(kSettings).c_str(), FromUtf8(name).c_str(),
                    several ? REG_MULTI_SZ : REG_SZ, wide.c_str(),
                    DWORD((FromUtf8(value).size() + (several ? 2 : 1)) * sizeof(wchar_t)));
  }
  void InstallMaster(const char* master = "YES") {
    SetMachine("Master", master);
    SetMachine("dir", program.string());
    SetMachine("NetDir", data.string());
  }
  static fs::path DefaultLog() { return fs::temp_directory_path() / "Tamsel32.log"; }

  // Runs the wizard (of the folder given) with these arguments (UTF-8) to its
  // end, watching for any window it shows; its exit code. A window that comes
  // is closed.
  DWORD Run(const std::string& arguments, const std::string& folder = Bin()) {
    driver::Process wizard(FromUtf8("\"" + folder + "\\Tamsel32.exe\" " + arguments), Bin());
    DWORD code = 99;
    window.clear();
    for (DWORD start = GetTickCount(); !wizard.WaitForExit(0, &code);) {
      if (HWND shown = driver::WaitForWindow(
              wizard.Id(), [](HWND) { return true; }, 0)) {
        window = driver::Text(shown) + ": " + driver::MessageText(shown);
        PostMessageA(shown, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(wizard.WaitForExit(20000, &code)) << "the wizard did not end after its window";
        break;
      }
      if (GetTickCount() - start > 60000) {
        ADD_FAILURE() << "the wizard did not end";
        return 98;
      }
    }
    return code;
  }

  // All that a run could change: the settings, the test's folders, the share,
  // and where a data folder given without its drive would land.
  std::string Snapshot() const {
    const fs::path current = Bin();
    std::string all = SettingsOf(HKEY_LOCAL_MACHINE) + "|" + SettingsOf(HKEY_CURRENT_USER) + "|";
    for (const fs::path& place : {root, fs::path("\\\\KORVELLTEST"), current / "dats", current.root_path() / "dats",
                                  fs::path("C:\\dats"), fs::path(slavePlanner)})
      all += FilesBelow(place) + "|";
    return all;
  }
  std::string Logged() const { return Contents(log) + Contents(DefaultLog()); }

  static std::string PlannerRecord(const fs::path& record) {
    driver::WaitUntil([&] { return Contents(record).find("\r\n") != std::string::npos; }, 10000);
    Sleep(100);  // let it end before its folder is cleared
    return Contents(record);
  }

  fs::path root, program, data, log;
  const fs::path slavePlanner = fs::path(Bin()) / "korvell-started.txt";
  const fs::path reports = fs::path(Bin()) / "Error Report Files";
  std::string window;  // the caption and text of a window the last run showed
};

bool Before(const std::string& text, const std::string& first, const std::string& second) {
  const size_t a = text.find(first), b = text.find(second);
  return a != std::string::npos && b != std::string::npos && a < b;
}

TEST_F(Unattended, TheMasterIsSetUpQuietlyAsOnTheWindowedRoad) {
  InstallMaster("yes");
  const std::string day = Today();
  EXPECT_EQ(Run("/master /month 4 /quiet /log \"" + log.string() + "\""), 0u) << Contents(log);
  EXPECT_EQ(window, "") << "a quiet run showed a window";

  EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), std::to_string(Year()));
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "year"), "<missing>");
  EXPECT_EQ(Contents(data / "Boxes.DAT"), "");
  EXPECT_EQ(Contents(data / "names.DAT"), "");
  const fs::path yearFile = data / (std::to_string(Year()) + ".DAT");
  EXPECT_EQ(Contents(yearFile), std::string(111600, '0'));
  EXPECT_EQ(Contents(data / "Offset.DAT"), "4\r\n");
  EXPECT_NE(PlannerRecord(program / "korvell-started.txt").find("program=" + (program / "korvell.exe").string()),
            std::string::npos);

  const std::string text = Contents(log);
  EXPECT_NE(text.find("Network Korvell\\year = \"" + std::to_string(Year()) + "\""), std::string::npos) << text;
  EXPECT_NE(text.find("Data folder made: " + data.string()), std::string::npos) << text;
  EXPECT_NE(text.find("Year file prepared: " + yearFile.string()), std::string::npos) << text;
  EXPECT_TRUE(Before(text, "Year file prepared", "firstrun = \"NO\"")) << text;
  EXPECT_TRUE(Before(text, "Offset.DAT: 4", "firstrun = \"NO\"")) << text;
  EXPECT_NE(text.find("Done."), std::string::npos) << text;
  EXPECT_NE(text.find("Exit code 0"), std::string::npos) << text;
  // Every entry is stamped with the day it was written, year first.
  std::istringstream lines(text);
  int entries = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || !isdigit(static_cast<unsigned char>(line[0]))) continue;
    ++entries;
    EXPECT_TRUE(line.starts_with(day + " ") || line.starts_with(Today() + " ")) << line;
  }
  EXPECT_GT(entries, 5) << text;
}

TEST_F(Unattended, WithoutAMonthOffsetStaysAndNoPlannerStartsNone) {
  InstallMaster();
  fs::create_directories(data);
  std::ofstream(data / "Offset.DAT", std::ios::binary) << "9\r\n";
  EXPECT_EQ(Run("/MASTER -noplanner /quiet"), 0u) << Contents(DefaultLog());
  EXPECT_EQ(window, "");
  EXPECT_EQ(Contents(data / "Offset.DAT"), "9\r\n");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
  // Quiet and without /log: the user's temporary folder.
  EXPECT_NE(Contents(DefaultLog()).find("Done."), std::string::npos);
  EXPECT_EQ(Contents(DefaultLog()).find("Planner started"), std::string::npos);
}

TEST_F(Unattended, AMasterWithoutItsDataFolderSettingFailsWithTheReasonAndAReport) {
  InstallMaster();
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettings, "NetDir");
  EXPECT_EQ(Run("/master /quiet /log \"" + log.string() + "\""), 1u);
  EXPECT_EQ(window, "");
  const std::string text = Contents(log);
  EXPECT_NE(text.find("An unexpected error has occurred in this application: \r\n\r\nError "), std::string::npos)
      << text;
  EXPECT_NE(text.find("\"NetDir\" is missing"), std::string::npos) << text;
  EXPECT_NE(text.find("Procedure: MasterRoad\r\nLine: 8"), std::string::npos) << text;
  EXPECT_NE(text.find("The error report is in " + reports.string()), std::string::npos) << text;
  EXPECT_NE(text.find("Exit code 1"), std::string::npos) << text;
  // The package as a report request writes it, but not sent.
  EXPECT_NE(Contents(reports / "Error.txt").find("Procedure: MasterRoad"), std::string::npos);
  EXPECT_NE(Contents(reports / "Variables.txt").find("* MODULE LEVEL VARIABLES *"), std::string::npos);
  EXPECT_TRUE(fs::exists(reports / "Error report for Tamsel 1.0.0.zip"));
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");
  EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), "<missing>");
}

TEST_F(Unattended, TheSlaveRecordsTheShareAsTheConfirmationDoes) {
  SetMachine("Master", "NO");
  const ShareFolder share("KORVELLTEST", "KORVELL", true);
  // Trailing backslashes are the share's own: netdir never holds "\\dats".
  EXPECT_EQ(Run("/slave " + share.Path() + "\\\\ /quiet /log \"" + log.string() + "\""), 0u) << Contents(log);
  EXPECT_EQ(window, "");
  EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), std::to_string(Year()));
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), "\\\\KORVELLTEST\\KORVELL\\dats");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "year"), "<missing>");
  EXPECT_NE(PlannerRecord(slavePlanner).find("program=" + Bin() + "\\korvell.exe"), std::string::npos);
  const std::string text = Contents(log);
  EXPECT_TRUE(Before(text, "year = ", "netdir = \"\\\\KORVELLTEST\\KORVELL\\dats\"")) << text;
  EXPECT_TRUE(Before(text, "netdir = ", "firstrun = \"NO\"")) << text;
}

TEST_F(Unattended, AShareWithoutDataIsRecordedWhenForced) {
  SetMachine("Master", "NO");
  const ShareFolder share("KORVELLTEST", "KORVELL", false);
  EXPECT_EQ(Run("/slave " + share.Path() + "\\ /force /noplanner /quiet /log \"" + log.string() + "\""), 0u)
      << Contents(log);
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), "\\\\KORVELLTEST\\KORVELL\\dats");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
}

// What an administrator meets when something is wrong: the exit code, a log
// that names what failed, and a workstation left exactly as it was. The rows
// run in a few parts, each a test of a few seconds.
class UnattendedBadInput : public Unattended, public ::testing::WithParamInterface<size_t> {};

TEST_P(UnattendedBadInput, IsNamedInTheLogAndChangesNothing) {
  const ShareFolder share("KORVELLTEST", "KORVELL", true);
  const ShareFolder noData("KORVELLTEST", "NODATA", false);
  const ShareFolder datsFile("KORVELLTEST", "DATSFILE", false);
  const struct Files {
    std::vector<fs::path> made{"\\\\KORVELLTEST\\KORVELL\\notes.txt", "\\\\KORVELLTEST\\DATSFILE\\dats"};
    Files() {
      for (const auto& file : made) std::ofstream(file) << "a file";
    }
    ~Files() {
      for (const auto& file : made) fs::remove(file);
    }
  } files;
  const std::string quietLog = "/quiet /log \"" + log.string() + "\"";
  const std::string settings = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillon\\Network Korvell";
  const auto error = [](int32_t number) { return "): error " + std::to_string(number) + ", "; };
  // Texts longer than the system takes: taken in part, each would name a
  // folder or file that the snapshot watches.
  const std::string past = "\\" + std::string(65536, 'x');  // a path's first characters, and 65,536 more
  const std::string longFile = (root / std::string(260 - root.string().size() - 5, 'l')).string() + ".log";  // 260
  const struct {
    const char* master;  // the machine's role; none when null
    std::string netDir;  // the master's data folder; the test's when empty
    std::string arguments;
    DWORD code;
    std::string logged;
    std::string dir{};  // the program folder; the test's when empty
  } cases[] = {
      {"YES", "", "/bogus " + quietLog, 2, "Unknown argument: /bogus"},
      {"YES", "", "/slave " + quietLog, 2, "/slave needs a share"},
      {"YES", "", "/master /month 13 " + quietLog, 2, "not \"13\""},
      {"YES", "", "/month 4 " + quietLog, 2, "Give /slave, /master or /status"},
      {"YES", "", "/master /slave \\\\KORVELLTEST\\KORVELL " + quietLog, 2, "cannot be given together"},
      {"NO", "", "/slave \\\\KORVELLTEST\\ " + quietLog, 2, "not \"\\\\KORVELLTEST\\\""},
      {"NO", "", "/slave K:x " + quietLog, 2, "not \"K:x\""},
      {"NO", "", "/slave \\\\KORVELLTEST\\KORVELL\\notes.txt " + quietLog, 2,
       "\\\\KORVELLTEST\\KORVELL\\notes.txt is a file, not a folder"},
      {"NO", "", "/slave \"\\\\KORVELLTEST\\KORVELL\\\" " + quietLog, 2,
       "Leave out the trailing backslash: \"\\\\KORVELLTEST\\KORVELL\""},
      {"NO", "", std::string("/slave \\\\KORVELLTEST\\KORVELL") + kBeyond + " " + quietLog, 2,
       "\\\\KORVELLTEST\\KORVELL<U+4E2D>\", which holds characters that this system's code page cannot carry"},
      {"YES", "", "/master /quiet /log \"" + (root / "nowhere" / "setup.log").string() + "\"", 2,
       "nowhere\\setup.log cannot be written: Path not found"},
      {"YES", "", "/status /master " + quietLog, 2, "/status goes with /quiet and /log only"},
      {"NO", "", "/slave \\\\KORVELLTEST\\" + std::string(243 - 14, 'k') + " " + quietLog, 2,
       "... (243 characters)\" is too long: the set-up can record a share of at most 242 characters"},
      {"YES", "", "/master /quiet /log \"" + longFile + "\"", 2,
       "/log names \"" + longFile.substr(0, 80) + "... (" + std::to_string(longFile.size()) +
           " characters)\", which is longer than a file's path may be"},
      {"YES", root.string() + past, "/master " + quietLog, 1,
       "holds \"" + (root.string() + past).substr(0, 80) + "... (" + std::to_string(root.string().size() + 65537) +
           " characters)\", which is longer than the path of a folder may be: give a folder of at most 247 characters"},
      {"YES", "", "/master " + quietLog, 1,
       "Step failed: Read the setting (" + settings + "\\dir" + error(kProgramFolderUnusable) +
           "The setting \"dir\" under " + settings + " holds",
       root.string() + past},
      {"YES", "\\\\.\\NUL", "/master " + quietLog, 1, "holds \"\\\\.\\NUL\", which is not the full path of a folder"},
      {"YES", std::string("C:\\dats\0second", 15), "/master " + quietLog, 1, "holds \"C:\\dats<U+0000>second<U+0000>"},
      {"YES", "dats", "/master " + quietLog, 1,
       "Step failed: Read the setting (" + settings + "\\NetDir" + error(kDataFolderUnusable) +
           "The setting \"NetDir\" under " + settings + " holds \"dats\", which is not the full path of a folder"},
      {"YES", "\\dats", "/master " + quietLog, 1, "holds \"\\dats\", which is not the full path of a folder"},
      {"YES", "C:dats", "/master " + quietLog, 1, "holds \"C:dats\", which is not the full path of a folder"},
      {"YES", std::string("C:\\dats") + kBeyond, "/master " + quietLog, 1,
       "holds \"C:\\dats<U+4E2D>\", a name that this system's code page cannot carry"},
      {"NO", "", "/slave \\\\KORVELLTEST\\NODATA " + quietLog, 1, "holds no folder \"dats\""},
      {"NO", "", "/slave \\\\KORVELLTEST\\DATSFILE /force " + quietLog, 1,
       "Step failed: Look for the data folder (\\\\KORVELLTEST\\DATSFILE\\dats" +
           error(unattended::kDataFolderIsAFile) + "\\\\KORVELLTEST\\DATSFILE\\dats is a file, not a folder"},
      {"NO", "", "/slave \\\\KORVELLTEST\\NOWHERE " + quietLog, 1,
       "Step failed: Open the share (\\\\KORVELLTEST\\NOWHERE" + error(unattended::kShareNotOpen) +
           "The share \\\\KORVELLTEST\\NOWHERE cannot be opened. Connect to it first, for example with: net use "
           "\\\\KORVELLTEST\\NOWHERE"},
      {"NO", "", "/slave Q: " + quietLog, 1, "The drive Q: is not connected to a network share"},
      {"YES", "", "/slave \\\\KORVELLTEST\\KORVELL " + quietLog, 1,
       "asks for the slave set-up, but this machine is the master"},
      {nullptr, "", "/master " + quietLog, 1, "asks for the master set-up, but this machine is a slave"},
  };
  const size_t part = (std::size(cases) + 3) / 4, first = GetParam() * part;
  for (const auto& c : std::span(cases).subspan(first, std::min(part, std::size(cases) - first))) {
    if (c.arguments.find(kBeyond) != std::string::npos && CodePageCarriesBeyond()) continue;
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettings);
    if (c.master) InstallMaster(c.master);
    if (!c.netDir.empty()) SetMachine("NetDir", c.netDir);
    if (!c.dir.empty()) SetMachine("dir", c.dir);
    fs::remove(log);
    fs::remove(DefaultLog());
    const std::string before = Snapshot();
    EXPECT_EQ(Run(c.arguments), c.code) << c.arguments << "\n" << Logged();
    EXPECT_EQ(window, "") << c.arguments;
    EXPECT_NE(Logged().find(c.logged), std::string::npos) << c.arguments << "\n" << Logged();
    EXPECT_EQ(Logged().find('\0'), std::string::npos) << "the log holds text only: " << c.arguments;
    EXPECT_NE(Logged().find("Exit code " + std::to_string(c.code)), std::string::npos) << c.arguments;
    EXPECT_EQ(Snapshot(), before) << c.arguments;
  }
}
INSTANTIATE_TEST_SUITE_P(Part, UnattendedBadInput, ::testing::Range<size_t>(0, 4));

// A failure after something was written names its step and what it worked on.
TEST_F(Unattended, AFailureNamesItsStepAndObject) {
  InstallMaster();
  fs::remove(program / "korvell.exe");
  EXPECT_EQ(Run("/master /quiet /log \"" + log.string() + "\""), 1u);
  EXPECT_NE(Contents(log).find("Step failed: Start the planner (" + (program / "korvell.exe").string() +
                               "): error 53, File not found"),
            std::string::npos)
      << Contents(log);

  // The year file held by a program that lets nobody else in.
  fs::remove(log);
  const fs::path yearFile = data / (std::to_string(Year()) + ".DAT");
  basic::UniqueFile held(CreateFileA(yearFile.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  EXPECT_EQ(Run("/master /noplanner /quiet /log \"" + log.string() + "\""), 1u);
  held.reset();
  EXPECT_NE(
      Contents(log).find("Step failed: Open the year file (" + yearFile.string() + "): error 70, Permission denied"),
      std::string::npos)
      << Contents(log);
}

TEST_F(Unattended, ASecondInstanceSaysThatAnotherSetUpRunsAndChangesNothing) {
  SetMachine("Master", "NO");
  const ShareFolder share("KORVELLTEST", "KORVELL", true);
  driver::Process first("\"" + Bin() + "\\Tamsel32.exe\"", Bin());
  ASSERT_TRUE(driver::WaitForWindow(first.Id(), driver::IsMessageBox)) << "the first set-up shows no window";
  const std::string before = Snapshot();
  EXPECT_EQ(Run("/slave " + share.Path() + " /quiet"), 1u);
  EXPECT_EQ(window, "");
  EXPECT_NE(Contents(DefaultLog()).find("Another Korvell set-up is running on this workstation"), std::string::npos)
      << Contents(DefaultLog());
  EXPECT_NE(Contents(DefaultLog()).find("Exit code 1"), std::string::npos) << Contents(DefaultLog());
  EXPECT_EQ(Snapshot(), before);

  // A check changes nothing, so it runs beside a set-up.
  EXPECT_EQ(Run("/status /quiet /log \"" + log.string() + "\""), 1u);
  EXPECT_NE(Contents(log).find("Not set up: \"NetDir\" is not set"), std::string::npos) << Contents(log);
}

// /status tells how a workstation is set up and changes nothing there.
TEST_F(Unattended, TheStatusTellsHowTheWorkstationIsSetUp) {
  const ShareFolder share("KORVELLTEST", "KORVELL", true);
  const std::string yearFile = std::to_string(Year()) + ".DAT";
  const struct {
    const char* workstation;
    std::function<void()> prepare;
    bool quiet;
    DWORD code;
    std::vector<std::string> told;
  } cases[] = {
      {"a master set up",
       [this, yearFile] {
         InstallMaster();
         SetMachine("firstrun", "NO");
         fs::create_directories(data);
         for (const std::string& file : {std::string("Boxes.DAT"), std::string("names.DAT"), yearFile})
           std::ofstream(data / file) << "";
       },
       false,
       0,
       {"Role: master (\"Master\" \"YES\")", "Data folder: opens", "Data files: all there", "firstrun: \"NO\"",
        "year: not set", "Set up: yes"}},
      {"a slave half set up: netdir written, the run not ended",
       [] {
         SetMachine("Master", "NO");
         SetMachine("NetDir", "\\\\KORVELLTEST\\KORVELL\\dats");
       },
       true,
       1,
       {"Role: slave (\"Master\" \"NO\")", "NetDir: \"\\\\KORVELLTEST\\KORVELL\\dats\"", "Data folder: opens",
        "Data files: missing Boxes.DAT, names.DAT, " + yearFile, "firstrun: not set",
        "Not set up: the data folder lacks Boxes.DAT, names.DAT, " + yearFile +
            "; the set-up has not been run to its end (\"firstrun\" is not \"NO\")."}},
      {"an untouched workstation",
       [] {},
       true,
       1,
       {"Role: slave (\"Master\" not set)", "NetDir: not set",
        "Not set up: \"NetDir\" is not set; the set-up has not been run to its end"}},
  };
  for (const auto& c : cases) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettings);
    c.prepare();
    fs::remove(log);
    const std::string before = Snapshot();
    EXPECT_EQ(Run("/status " + std::string(c.quiet ? "/quiet " : "") + "/log \"" + log.string() + "\""), c.code)
        << c.workstation << "\n"
        << Contents(log);
    EXPECT_EQ(window.empty(), c.quiet) << c.workstation << ": " << window;
    for (const std::string& line : c.told) {
      EXPECT_NE(Contents(log).find(line), std::string::npos) << c.workstation << ": " << line << "\n" << Contents(log);
      if (!c.quiet) {
        EXPECT_NE(window.find(line), std::string::npos) << c.workstation << ": " << line << "\n" << window;
      }
    }
    EXPECT_EQ(Snapshot(), before) << c.workstation;
  }
}

TEST_F(Unattended, WithAWindowBadArgumentsShowTheUsageNamingTheMistake) {
  InstallMaster();
  const std::string before = Snapshot();
  EXPECT_EQ(Run("/master /month 13"), 2u);
  EXPECT_NE(window.find("/month needs a month number from 1 to 12, not \"13\""), std::string::npos) << window;
  EXPECT_NE(window.find("Exit codes: 0 done, 1 failed"), std::string::npos) << window;

  EXPECT_EQ(Run("/?"), 0u);
  EXPECT_NE(window.find("Tamsel32 /master [/month N]"), std::string::npos) << window;
  EXPECT_NE(window.find("Tamsel32 /status [/quiet] [/log FILE]"), std::string::npos) << window;
  EXPECT_EQ(Snapshot(), before);
}

// The small disk that the test run mounts, filled to its last byte; emptied
// again at the end. Where none could be mounted, why.
class FullDisk {
 public:
  static constexpr const char* kFolder = "C:\\small-disk";

  static std::string Unavailable() {
    ULARGE_INTEGER total{};
    if (!GetDiskFreeSpaceExA((std::string(kFolder) + "\\").c_str(), nullptr, &total, nullptr) ||
        total.QuadPart > 64u << 20)
      return std::string(kFolder) + " is no small disk of its own: mounting a tmpfs there needs root";
    return "";
  }
  // Files to put on the disk before it fills.
  explicit FullDisk(const std::vector<fs::path>& files) {
    for (const fs::path& file : files) fs::copy_file(file, fs::path(kFolder) / file.filename());
    basic::UniqueFile filler(
        CreateFileA((std::string(kFolder) + "\\filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string block(4096, 'f');
    for (DWORD written = 1; written;)
      if (!WriteFile(filler.get(), block.data(), DWORD(block.size()), &written, nullptr)) break;
  }
  ~FullDisk() {
    for (const auto& entry : fs::directory_iterator(kFolder)) fs::remove_all(entry.path());
  }
};

// On a full disk every failure is told where it happened: a report that the
// folder beside the program cannot take goes to the user's own, or the log
// says that none could be written; a log that takes no more entries hands
// over to the one in the temporary folder, which says why.
TEST_F(Unattended, OnAFullDiskEachFailureIsToldWhereItHappened) {
  if (const std::string why = FullDisk::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  const ShareFolder share("KORVELLTEST", "KORVELL", true);
  char appData[MAX_PATH] = "";
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData)));
  const fs::path product = fs::path(appData) / "Korvell", own = product / "Error Report Files";
  const std::string small = FullDisk::kFolder, quietLog = "/quiet /log \"" + log.string() + "\"";
  const std::string noReport =
      "No error report could be written: neither the folder beside the program nor the user's own could take it "
      "whole.";
  const std::string slave = "/slave " + share.Path() + " ";
  const std::string yearFile = small + "\\dats\\" + std::to_string(Year()) + ".DAT";
  // clang-format off
  const struct {
    std::string arguments;
    bool programOnDisk, ownFolderBlocked;
    std::vector<std::string> logged;
    std::string notLogged;
    const char* setting;  // a setting, and what the run leaves in it
    const char* left;
  } cases[] = {
      {slave + quietLog, true, false,
       {"Step failed: Start the planner (" + small + "\\korvell.exe): error 53, File not found",
        "The error report is in " + own.string() + "\\"},
       noReport, "netdir", "\\\\KORVELLTEST\\KORVELL\\dats"},
      {slave + quietLog, true, true,
       {"Step failed: Start the planner (" + small + "\\korvell.exe): error 53", noReport},
       "The error report is in", "netdir", "\\\\KORVELLTEST\\KORVELL\\dats"},
      {slave + "/quiet /log " + small + "\\f6.log", false, false,
       {"The log file " + small + "\\f6.log takes no more entries (error 61, Disk full): the rest of this run's log "
        "is here.",
        "Step failed: Write the log (" + small + "\\f6.log): error 61, Disk full", "Exit code 1"},
       "Done.", "netdir", "<missing>"},
      // The master's data folder there: a year file cut short is not done.
      {"/master " + quietLog, false, false,
       {"Step failed: Prepare the year file (" + yearFile + "): error 61, Disk full"},
       "Done.", "firstrun", "<missing>"},
  };
  // clang-format on
  for (const auto& c : cases) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettings);
    if (c.arguments.starts_with("/master"))
      InstallMaster(), SetMachine("NetDir", small + "\\dats");
    else
      SetMachine("Master", "NO");
    fs::remove(log);
    fs::remove(DefaultLog());
    fs::remove_all(product);
    if (c.ownFolderBlocked) std::ofstream(product) << "a file where the folder would go";
    const FullDisk disk(c.programOnDisk ? std::vector<fs::path>{fs::path(Bin()) / "Tamsel32.exe"}
                                        : std::vector<fs::path>{});
    EXPECT_EQ(Run(c.arguments, c.programOnDisk ? small : Bin()), 1u) << c.arguments;
    const std::string text = Logged();
    for (const std::string& line : c.logged) EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find(c.notLogged), std::string::npos) << text;
    EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, c.setting), c.left) << c.arguments;
    if (c.programOnDisk && !c.ownFolderBlocked) {
      EXPECT_NE(Contents(own / "Error.txt").find("Procedure: SlaveRoad"), std::string::npos);
      EXPECT_TRUE(fs::exists(own / "Error report for Tamsel 1.0.0.zip"));
    }
  }
  fs::remove_all(product);
}

}  // namespace
