// The unattended set-up: its command line, and each road run from the
// command line as its own process in the test prefix, as an administrator
// runs it.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "basic/App.h"
#include "basic/Text.h"
#include "support/EndToEnd.h"
#include "support/RegistrySandbox.h"
#include "support/WizardDriver.h"
#include "wizard/Unattended.h"

namespace fs = std::filesystem;

namespace {

using namespace endtoend;
using unattended::ParseArguments;
using unattended::Role;

std::vector<std::wstring> Wide(const std::vector<std::string>& arguments) {
  std::vector<std::wstring> wide;
  for (const auto& argument : arguments) wide.push_back(basic::FromAnsi(argument));
  return wide;
}

std::string WrongWith(const std::vector<std::string>& arguments) {
  return basic::ToAnsi(ParseArguments(Wide(arguments)).wrong);
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
      {{"/master", "/month"}, "/month needs a month number from 1 to 12"},
      {{"/master", "/month", "13"}, "not \"13\""},
      {{"/master", "/month", "0"}, "not \"0\""},
      {{"/master", "/month", "April"}, "not \"April\""},
      {{"/master", "/slave", "\\\\S\\K"}, "/slave and /master cannot be given together"},
      {{"/month", "4"}, "Give /slave or /master"},
      {{"/slave", "\\\\S\\K", "/month", "4"}, "/month goes with /master only"},
      {{"/master", "/force"}, "/force goes with /slave only"},
      {{"/quiet"}, "Give /slave or /master"},
      {{"/master", "/MASTER"}, "/master is given twice"},
      {{"/master", "/log"}, "/log needs a file name"},
  };
  for (const auto& [arguments, named] : cases) {
    const std::string wrong = WrongWith(arguments);
    EXPECT_NE(wrong.find(named), std::string::npos) << arguments[0] << " ...: " << wrong;
  }
}

TEST(UnattendedArguments, SwitchesTakeEitherMarkInAnyCase) {
  const auto slave = ParseArguments(
      Wide({"-SLAVE", "\\\\Master\\Korvell\\", "/Force", "-noPlanner", "/QUIET", "-Log", "C:\\setup.log"}));
  EXPECT_EQ(slave.wrong, L"");
  EXPECT_EQ(slave.options.role, Role::Slave);
  EXPECT_EQ(slave.options.share, L"\\\\Master\\Korvell\\");
  EXPECT_TRUE(slave.options.force && slave.options.noPlanner && slave.options.quiet);
  EXPECT_EQ(slave.options.log, L"C:\\setup.log");

  const auto master = ParseArguments(Wide({"/master", "-MONTH", "12"}));
  EXPECT_EQ(master.wrong, L"");
  EXPECT_EQ(master.options.role, Role::Master);
  EXPECT_EQ(master.options.month, 12);
  EXPECT_FALSE(master.options.quiet);

  EXPECT_EQ(ParseArguments(Wide({"/slave", "k:"})).options.share, L"k:");
  EXPECT_TRUE(ParseArguments(Wide({"/?"})).options.usage);
}

// However wrong the rest, a quiet run stays quiet and logs where it was asked to.
TEST(UnattendedArguments, AWrongCommandLineIsStillToldAsItAsks) {
  const auto request = ParseArguments(Wide({"/bogus", "/quiet", "/log", "C:\\setup.log"}));
  EXPECT_NE(request.wrong, L"");
  EXPECT_TRUE(request.options.quiet);
  EXPECT_EQ(request.options.log, L"C:\\setup.log");
  EXPECT_EQ(request.options.role, Role::None);
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

class Unattended : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(RunQuietly("regsvr32 /s \"" + Bin() + "\\Merrow.dll\""), 0u); }
  static void TearDownTestSuite() { RunQuietly("regsvr32 /u /s \"" + Bin() + "\\Merrow.dll\""); }

  void SetUp() override {
    root = fs::temp_directory_path() / "korvell-unattended";
    fs::remove_all(root);
    program = root / "Korvell";
    data = program / "dats";
    log = root / "setup.log";
    fs::create_directories(program);
    fs::copy_file(fs::path(Bin()) / "korvell.exe", program / "korvell.exe");
    fs::remove(slavePlanner);
    fs::remove(DefaultLog());
    fs::remove_all(reports);
  }
  void TearDown() override {
    fs::remove_all(root);
    fs::remove(slavePlanner);
    fs::remove(DefaultLog());
    fs::remove_all(reports);
  }

  static void SetMachine(const char* name, const std::string& value) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSettings, name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
  }
  void InstallMaster(const char* master = "YES") {
    SetMachine("Master", master);
    SetMachine("dir", program.string());
    SetMachine("NetDir", data.string());
    netDir = data.string();
  }
  static fs::path DefaultLog() { return fs::temp_directory_path() / "Tamsel32.log"; }

  // Runs the wizard with these arguments to its end, watching for any window
  // it shows; its exit code. A window that comes is closed.
  DWORD Run(const std::string& arguments) {
    driver::Process wizard("\"" + Bin() + "\\Tamsel32.exe\" " + arguments, Bin());
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

  // What a run that changes nothing leaves: no setting, no data, no planner.
  void ExpectNothingChanged() const {
    EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), "<missing>");
    EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), netDir);
    EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");
    EXPECT_FALSE(fs::exists(data));
    Sleep(300);  // a planner started would have recorded it by now
    EXPECT_EQ(Contents(slavePlanner), "<missing>");
    EXPECT_EQ(Contents(program / "korvell-started.txt"), "<missing>");
  }
  static std::string PlannerRecord(const fs::path& record) {
    for (int i = 0; i < 200 && Contents(record).find("\r\n") == std::string::npos; ++i) Sleep(50);
    Sleep(100);  // let it end before its folder is cleared
    return Contents(record);
  }

  RegistrySandbox machine{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon"};
  RegistrySandbox user{HKEY_CURRENT_USER, "SOFTWARE\\Quillon"};
  fs::path root, program, data, log;
  std::string netDir = "<missing>";  // as installed
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
  EXPECT_NE(text.find("Year file prepared: " + yearFile.string()), std::string::npos) << text;
  EXPECT_TRUE(Before(text, "Year file prepared", "firstrun = \"NO\"")) << text;
  EXPECT_TRUE(Before(text, "Offset.DAT: 4", "firstrun = \"NO\"")) << text;
  EXPECT_NE(text.find("Done."), std::string::npos) << text;
  EXPECT_NE(text.find("Exit code 0"), std::string::npos) << text;
}

TEST_F(Unattended, WithoutAMonthOffsetStaysAndNoPlannerStartsNone) {
  InstallMaster();
  fs::create_directories(data);
  std::ofstream(data / "Offset.DAT", std::ios::binary) << "9\r\n";
  EXPECT_EQ(Run("/MASTER -noplanner /quiet"), 0u) << Contents(DefaultLog());
  EXPECT_EQ(window, "");
  EXPECT_EQ(Contents(data / "Offset.DAT"), "9\r\n");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
  Sleep(500);
  EXPECT_EQ(Contents(program / "korvell-started.txt"), "<missing>");
  // Quiet and without /log: the user's temporary folder.
  EXPECT_NE(Contents(DefaultLog()).find("Done."), std::string::npos);
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
  EXPECT_EQ(Run("/slave " + share.Path() + " /quiet /log \"" + log.string() + "\""), 0u) << Contents(log);
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

TEST_F(Unattended, AShareWithoutDataIsRecordedOnlyWhenForced) {
  SetMachine("Master", "NO");
  const ShareFolder share("KORVELLTEST", "KORVELL", false);
  EXPECT_EQ(Run("/slave " + share.Path() + " /noplanner /quiet /log \"" + log.string() + "\""), 1u);
  EXPECT_NE(Contents(log).find("holds no folder \"dats\""), std::string::npos) << Contents(log);
  ExpectNothingChanged();

  EXPECT_EQ(Run("/slave " + share.Path() + " /force /noplanner /quiet /log \"" + log.string() + "\""), 0u)
      << Contents(log);
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "netdir"), "\\\\KORVELLTEST\\KORVELL\\dats");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
}

TEST_F(Unattended, AShareThatDoesNotOpenSaysToConnectFirstAndWritesNothing) {
  SetMachine("Master", "NO");
  EXPECT_EQ(Run("/slave \\\\KORVELLTEST\\NOWHERE /quiet /log \"" + log.string() + "\""), 1u);
  EXPECT_EQ(window, "");
  const std::string text = Contents(log);
  EXPECT_NE(text.find("The share \\\\KORVELLTEST\\NOWHERE cannot be opened. Connect to it first"), std::string::npos)
      << text;
  EXPECT_NE(text.find("net use \\\\KORVELLTEST\\NOWHERE"), std::string::npos) << text;
  ExpectNothingChanged();
}

TEST_F(Unattended, ADriveThatIsNotConnectedIsAFailure) {
  SetMachine("Master", "NO");
  EXPECT_EQ(Run("/slave Q: /quiet /log \"" + log.string() + "\""), 1u);
  EXPECT_NE(Contents(log).find("The drive Q: is not connected to a network share"), std::string::npos) << Contents(log);
  ExpectNothingChanged();
}

TEST_F(Unattended, ARoleThatContradictsTheMachineFailsAndWritesNothing) {
  const ShareFolder share("KORVELLTEST", "KORVELL", true);
  InstallMaster("Yes");
  EXPECT_EQ(Run("/slave " + share.Path() + " /quiet /log \"" + log.string() + "\""), 1u);
  EXPECT_NE(Contents(log).find("asks for the slave set-up, but this machine is the master"), std::string::npos)
      << Contents(log);
  ExpectNothingChanged();

  InstallMaster("NO");
  EXPECT_EQ(Run("/master /quiet /log \"" + log.string() + "\""), 1u);
  EXPECT_NE(Contents(log).find("asks for the master set-up, but this machine is a slave"), std::string::npos)
      << Contents(log);
  ExpectNothingChanged();
}

TEST_F(Unattended, BadArgumentsChangeNothing) {
  InstallMaster();
  const ShareFolder share("KORVELLTEST", "KORVELL", true);
  for (const std::string& arguments : std::vector<std::string>{
           "/bogus", "/slave", "/master /month 13", "/master /month", "/month 4", "/master /slave " + share.Path()}) {
    fs::remove(log);
    EXPECT_EQ(Run(arguments + " /quiet /log \"" + log.string() + "\""), 2u) << arguments;
    EXPECT_EQ(window, "") << arguments;
    EXPECT_NE(Contents(log).find("Bad arguments"), std::string::npos) << arguments << ": " << Contents(log);
    ExpectNothingChanged();
  }
}

TEST_F(Unattended, WithAWindowBadArgumentsShowTheUsageNamingTheMistake) {
  InstallMaster();
  EXPECT_EQ(Run("/master /month 13"), 2u);
  EXPECT_NE(window.find("/month needs a month number from 1 to 12, not \"13\""), std::string::npos) << window;
  EXPECT_NE(window.find("Exit codes: 0 done, 1 failed"), std::string::npos) << window;
  ExpectNothingChanged();

  EXPECT_EQ(Run("/?"), 0u);
  EXPECT_NE(window.find("Tamsel32 /master [/month N]"), std::string::npos) << window;
  ExpectNothingChanged();
}

}  // namespace
