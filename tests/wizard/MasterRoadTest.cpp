// The whole wizard, started as its own process in the test prefix and
// answered by the driver as a user would answer it.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "basic/App.h"
#include "support/TestMailClient.h"
#include "support/EndToEnd.h"
#include "support/WizardDriver.h"

namespace fs = std::filesystem;

namespace {

using namespace endtoend;

void Put(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// Explorer's place beside the instruction: at 96 DPI the client area 176, 2,
// 801, 578 of a plain window, 3 pixels right of the instruction's frame; at
// any other DPI the same gap, the rest grown with the forms, and cut off at
// the edge of the working area.
RECT DockedBeside(const RECT& instruction) {
  constexpr int kGap = 3;
  const int dpi = driver::ScreenDpi();
  RECT docked{0, MulDiv(2, dpi, 96), MulDiv(801 - 176, dpi, 96), MulDiv(578, dpi, 96)};
  AdjustWindowRect(&docked, 0, FALSE);
  OffsetRect(&docked, instruction.right + kGap - docked.left, 0);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  docked.right = std::min(docked.right, work.right);
  docked.bottom = std::min(docked.bottom, work.bottom);
  return docked;
}

std::string Describe(const RECT& r) {
  std::ostringstream text;
  text << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  return text.str();
}

// The Explorer window that the wizard docked beside its instruction, waiting
// for it to be docked; when none is, the last one seen, or none.
HWND AwaitDockedExplorer(const RECT& instruction) {
  const RECT docked = DockedBeside(instruction);
  HWND seen = nullptr;
  for (int i = 0; i < 200; ++i, Sleep(50))
    for (HWND window : driver::VisibleFolderWindows()) {
      const RECT rect = WindowRect(window);
      if (EqualRect(&rect, &docked)) return window;
      seen = window;
    }
  return seen;
}

// An Explorer window of an earlier run that, as windows do without a window
// manager, stays on the screen for a while after it is asked to close.
class SlowlyClosingExplorer {
 public:
  SlowlyClosingExplorer() : thread_([this] { Run(); }) { window_ = created_.get_future().get(); }
  ~SlowlyClosingExplorer() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  SlowlyClosingExplorer(const SlowlyClosingExplorer&) = delete;
  SlowlyClosingExplorer& operator=(const SlowlyClosingExplorer&) = delete;

  HWND Window() const { return window_; }
  bool AskedToClose() const { return asked_; }

 private:
  static constexpr UINT kClosingMs = 2000;

  void Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &SlowlyClosingExplorer::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = driver::kFolderWindowClasses[0];
    RegisterClassA(&windowClass);  // by an earlier test already, maybe
    HWND window = CreateWindowExA(0, driver::kFolderWindowClasses[0], "Earlier run", WS_OVERLAPPEDWINDOW, 400, 100, 500,
                                  400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window, SW_SHOWNORMAL);
    created_.set_value(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SlowlyClosingExplorer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
      case WM_CLOSE:
        if (self && !self->asked_.exchange(true)) SetTimer(window, 1, kClosingMs, nullptr);
        return 0;
      case WM_TIMER:
        DestroyWindow(window);
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
  }

  std::promise<HWND> created_;
  std::atomic<bool> asked_ = false;
  HWND window_ = nullptr;
  std::thread thread_;
};

class MasterRoad : public WizardRoad {
 protected:
  void SetUp() override {
    CloseExplorerWindows();
    root = fs::temp_directory_path() / "korvell-master";
    fs::remove_all(root);
    program = root / "Korvell";
    data = program / "dats";
    fs::create_directories(program);
    fs::copy_file(fs::path(Bin()) / "korvell.exe", program / "korvell.exe");
    Install("YES");
  }
  void TearDown() override {
    CloseExplorerWindows();
    EndStartedExplorers();
    fs::remove_all(root);
  }

  void Install(const char* master) {
    SetMachine("Master", master);
    SetMachine("dir", program.string());
    SetMachine("NetDir", data.string());
  }

  // A key that lives only in memory cannot hold a lasting subkey: the year cannot be stored.
  static bool MakeYearUnwritable() {
    HKEY volatileKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &volatileKey, nullptr) != ERROR_SUCCESS)
      return false;
    RegCloseKey(volatileKey);
    return true;
  }

  fs::path YearFile(int year) const { return data / (std::to_string(year) + ".DAT"); }

  // Runs the wizard and answers the master set-up; month 0 ticks none.
  DWORD RunMaster(int month) {
    driver::Process wizard("\"" + Bin() + "\\Tamsel32.exe\"", Bin());
    HWND instruction = driver::WaitForWindow(wizard.Id(), driver::IsSharingInstruction);
    EXPECT_TRUE(instruction) << "no sharing instruction";
    if (!instruction) return Abandon(wizard);
    instructionTopmost = GetWindowLongA(instruction, GWL_EXSTYLE) & WS_EX_TOPMOST;
    instructionRect = WindowRect(instruction);
    explorer = AwaitDockedExplorer(instructionRect);
    explorerRect = WindowRect(explorer);
    // The keyboard is back on the instruction's O.K. once Explorer is docked.
    instructionFocused = driver::WaitUntil([&] {
      GUITHREADINFO thread{};
      thread.cbSize = sizeof thread;
      GetGUIThreadInfo(GetWindowThreadProcessId(instruction, nullptr), &thread);
      return GetForegroundWindow() == instruction && driver::Text(thread.hwndFocus) == "O.K.";
    });
    explorersOverInstruction = 0;
    for (HWND window : driver::VisibleFolderWindows()) {
      RECT overlap, rect = WindowRect(window);
      explorersOverInstruction += IntersectRect(&overlap, &rect, &instructionRect);
    }
    driver::ClickButton(instruction, "O.K.");

    HWND startMonth = driver::WaitForWindow(wizard.Id(), driver::IsStartMonth);
    EXPECT_TRUE(startMonth) << "no start month; shown: " << driver::ShownWindows(wizard.Id());
    if (!startMonth) return Abandon(wizard);
    if (HWND progress = driver::WaitForWindow(wizard.Id(), driver::IsProgressWindow, 0))
      barPosition = int(SendMessageA(driver::FindChild(progress, "msctls_progress32"), PBM_GETPOS, 0, 0));
    if (month) driver::ClickMonth(startMonth, month);
    driver::ClickButton(startMonth, "O.K.");
    const DWORD code = ExitCode(wizard);
    planner = WaitForPlanner();
    return code;
  }
  // What the planner recorded when the wizard started it; it starts on its own time.
  std::string WaitForPlanner() const {
    const fs::path record = program / "korvell-started.txt";
    for (int i = 0; i < 200 && Contents(record).find("\r\n", 0) == std::string::npos; ++i) Sleep(50);
    Sleep(100);  // let it end before its folder is cleared
    const std::string started = Contents(record);
    fs::remove(record);
    return started;
  }
  // Runs the wizard past the instruction to the error dialog that the test
  // set up for, and closes it; the dialog's message, empty when none came.
  std::string FailAfterTheInstruction() {
    driver::Process wizard("\"" + Bin() + "\\Tamsel32.exe\"", Bin());
    HWND instruction = driver::WaitForWindow(wizard.Id(), driver::IsSharingInstruction);
    EXPECT_TRUE(instruction) << "no sharing instruction";
    if (!instruction) return {};
    // As a user shares the folder first: an Explorer closed while it still
    // opens crashes here, and keeps the next run's from showing.
    AwaitDockedExplorer(WindowRect(instruction));
    driver::ClickButton(instruction, "O.K.");
    return CloseErrorDialog(wizard);
  }
  // Closes the error dialog that the wizard shows; its message, empty when
  // none came. An end through the error dialog is a failure.
  std::string CloseErrorDialog(const driver::Process& wizard) {
    HWND report = driver::WaitForWindow(wizard.Id(), driver::IsErrorDialog);
    EXPECT_TRUE(report) << "no error dialog; shown: " << driver::ShownWindows(wizard.Id());
    if (!report) return {};
    const std::string message = driver::Text(driver::FindChild(report, "Static", "An unexpected error"));
    EXPECT_TRUE(driver::ClickButton(report, "Close"));
    EXPECT_EQ(ExitCode(wizard), 1u) << message;
    return message;
  }
  DWORD Abandon(const driver::Process& wizard) {
    wizard.Kill();
    return 98;
  }

  // What the user saw of the last run: Explorer beside the instruction, and
  // no Explorer window over it.
  void ExpectExplorerDockedBesideTheInstruction() const {
    ASSERT_TRUE(explorer) << "no Explorer window";
    const RECT docked = DockedBeside(instructionRect);
    EXPECT_TRUE(EqualRect(&explorerRect, &docked))
        << "Explorer at " << Describe(explorerRect) << " instead of " << Describe(docked)
        << ", beside the instruction at " << Describe(instructionRect) << " (" << driver::ScreenDpi() << " DPI)";
    EXPECT_EQ(explorersOverInstruction, 0) << "the instruction at " << Describe(instructionRect);
    EXPECT_TRUE(instructionFocused) << "the instruction is not active with O.K. focused";
  }

  fs::path root, program, data;
  bool instructionTopmost = false, instructionFocused = false;
  RECT instructionRect{}, explorerRect{};
  HWND explorer = nullptr;
  int explorersOverInstruction = -1;
  int barPosition = -1;
  std::string planner;
};

TEST_F(MasterRoad, AFirstRunPreparesEverythingAndStartsThePlanner) {
  EXPECT_EQ(RunMaster(3), 0u);

  EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), std::to_string(Year()));
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
  EXPECT_EQ(Setting(HKEY_CURRENT_USER, "firstrun"), "<missing>");
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "year"), "<missing>");
  EXPECT_EQ(Contents(data / "Boxes.DAT"), "");
  EXPECT_EQ(Contents(data / "names.DAT"), "");
  EXPECT_EQ(Contents(YearFile(Year())), std::string(111600, '0'));
  EXPECT_EQ(Contents(data / "Offset.DAT"), "3\r\n");
  EXPECT_EQ(barPosition, 111600);

  EXPECT_NE(planner.find("program=" + (program / "korvell.exe").string()), std::string::npos) << planner;

  EXPECT_TRUE(instructionTopmost);
  EXPECT_EQ(instructionRect.left, 0);
  EXPECT_EQ(instructionRect.top, 0);
  ExpectExplorerDockedBesideTheInstruction();
  if (driver::ScreenDpi() == 96) {
    RECT docked{176, 2, 801, 578};
    AdjustWindowRect(&docked, 0, FALSE);
    EXPECT_EQ(Describe(explorerRect), Describe(docked));
  }
}

// The one that an earlier run left open is closed at the start; the window
// docked is the one that this run opened, never the one on its way out.
TEST_F(MasterRoad, AnExplorerWindowOfAnEarlierRunIsClosedAndTheNewOneDocked) {
  EXPECT_EQ(RunMaster(0), 0u);
  const HWND earlier = explorer;
  ASSERT_TRUE(earlier) << "the earlier run left no Explorer window";
  ASSERT_TRUE(IsWindowVisible(earlier));

  EXPECT_EQ(RunMaster(0), 0u);
  EXPECT_NE(explorer, earlier) << "the closing window of the earlier run was docked";
  ExpectExplorerDockedBesideTheInstruction();
  EXPECT_FALSE(IsWindowVisible(earlier)) << "the earlier run's Explorer window is still open";
  EXPECT_EQ(driver::VisibleFolderWindows().size(), 1u);
}

// Start-up may find the earlier window still on its way out when Explorer opens.
TEST_F(MasterRoad, AnExplorerWindowStillClosingIsNeverTheOneDocked) {
  SlowlyClosingExplorer earlier;
  ASSERT_TRUE(earlier.Window());

  EXPECT_EQ(RunMaster(0), 0u);
  EXPECT_TRUE(earlier.AskedToClose());
  EXPECT_NE(explorer, earlier.Window()) << "the closing window of the earlier run was docked";
  ExpectExplorerDockedBesideTheInstruction();
}

TEST_F(MasterRoad, ASecondRunLeavesPreparedFilesAndAsksTheMonthAgain) {
  fs::create_directories(data);
  const std::pair<fs::path, std::string> kept[] = {{YearFile(Year()), "1" + std::string(111599, '0')},
                                                   {YearFile(Year() - 1), "last year"},
                                                   {data / "Boxes.DAT", "boxes"},
                                                   {data / "names.DAT", "names"}};
  for (const auto& [file, bytes] : kept) Put(file, bytes);
  Put(data / "Offset.DAT", "9\r\n");

  EXPECT_EQ(RunMaster(1), 0u);
  for (const auto& [file, bytes] : kept) EXPECT_EQ(Contents(file), bytes) << file;
  EXPECT_EQ(Contents(data / "Offset.DAT"), "1\r\n");
  EXPECT_EQ(barPosition, 0);
}

TEST_F(MasterRoad, AnUnpreparedOrInterruptedYearFileIsPreparedInFull) {
  for (const std::string& before :
       {std::string("X123"), std::string(), std::string(1, '\0') + std::string(5000, '0')}) {
    fs::create_directories(data);
    Put(YearFile(Year()), before);
    EXPECT_EQ(RunMaster(0), 0u);
    EXPECT_EQ(Contents(YearFile(Year())), std::string(111600, '0'));
    EXPECT_EQ(Contents(data / "Offset.DAT"), "<missing>");
    EXPECT_FALSE(planner.empty());
    CloseExplorerWindows();
  }
}

TEST_F(MasterRoad, OnlyYesInAnyCaseMakesTheMachineTheMaster) {
  for (const char* master : {"yes", "Yes"}) {
    Install(master);
    EXPECT_EQ(RunMaster(0), 0u) << master;
    CloseExplorerWindows();
  }
  fs::remove_all(data);
  for (const char* slave : {"YES ", "Y", "NO", ""}) {
    Install(slave);
    if (!*slave) RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettings, "Master");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettings, "firstrun");
    driver::Process wizard("\"" + Bin() + "\\Tamsel32.exe\"", Bin());
    HWND notice = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
    ASSERT_TRUE(notice) << "no slave notice for '" << slave << "'";
    EXPECT_EQ(driver::Text(notice), "Korvell Ostrelle");
    EXPECT_EQ(driver::MessageText(notice),
              "Ostrelle Detects That This Is A Slave Machine.\r\n\r\nClick O.K. To Run The Network Selector.\r\n\r\n"
              "Use It To Navigate To The Korvell. Folder On Your \r\nMaster Machine.");
    PostMessageA(notice, WM_COMMAND, IDOK, 0);
    HWND selector = driver::WaitForWindow(wizard.Id(), driver::IsNetworkSelector);
    ASSERT_TRUE(selector) << "no network selector for '" << slave << "'; shown: " << driver::ShownWindows(wizard.Id());
    PostMessageA(selector, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCode(wizard), 0u) << "closing the selector leaves it, as its Exit does: '" << slave << "'";
    EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>") << slave;
    EXPECT_FALSE(fs::exists(data)) << slave;
  }
}

TEST_F(MasterRoad, ASecondInstanceEndsBeforeTouchingAnything) {
  driver::Process first("\"" + Bin() + "\\Tamsel32.exe\"", Bin());
  HWND instruction = driver::WaitForWindow(first.Id(), driver::IsSharingInstruction);
  ASSERT_TRUE(instruction);
  HWND explorer = FindWindowA("ExplorerWClass", nullptr);
  SetMachine("Master", "NO");  // a second instance that read it would show the slave notice

  driver::Process second("\"" + Bin() + "\\Tamsel32.exe\"", Bin());
  EXPECT_EQ(ExitCode(second), 0u);
  EXPECT_FALSE(driver::WaitForWindow(
      second.Id(), [](HWND) { return true; }, 0));
  if (explorer) {
    EXPECT_TRUE(IsWindow(explorer)) << "the second instance closed the Explorer window";
  }
  first.Kill();
  first.WaitForExit(5000);
}

TEST_F(MasterRoad, ASettingThatCannotBeStoredIsReportedAndNothingMoreIsDone) {
  ASSERT_TRUE(MakeYearUnwritable());

  const std::string message = FailAfterTheInstruction();
  EXPECT_NE(message.find("\"year\""), std::string::npos) << message;
  EXPECT_NE(message.find("HKEY_CURRENT_USER"), std::string::npos) << message;
  EXPECT_NE(message.find("Procedure: Main"), std::string::npos) << message;
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");
  EXPECT_FALSE(fs::exists(data / "Boxes.DAT"));
}

TEST_F(MasterRoad, ADataFolderThatCannotBeMadeLeavesTheFirstRunToDo) {
  Put(program / "file", "a file, not a folder");
  data = program / "file" / "dats";
  Install("YES");

  const std::string message = FailAfterTheInstruction();
  EXPECT_NE(message.find("Line: 17"), std::string::npos) << message;
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");
  CloseExplorerWindows();

  // Once the folder can be made, the next run sets the master up.
  data = program / "dats";
  Install("YES");
  EXPECT_EQ(RunMaster(0), 0u);
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "NO");
  EXPECT_EQ(Contents(YearFile(Year())), std::string(111600, '0'));
}

// A data folder that no run could find again is named, nothing is written,
// and the end through the error dialog tells whoever started the wizard that
// it failed.
TEST_F(MasterRoad, ADataFolderSettingMissingOrNotInFullIsNamedAndWritesNothing) {
  const fs::path current = Bin();
  // Taken in part, as the system would take it, this would name the program's folder.
  const std::string tooLong = current.string() + "\\" + std::string(65536, 'x');
  const struct {
    std::optional<std::string> netDir;  // none when empty
    std::string named;
  } cases[] = {
      {std::nullopt, "\"NetDir\" is missing under HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillon\\Network Korvell"},
      {"dats",
       "\"NetDir\" under HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillon\\Network Korvell holds \"dats\", which is "
       "not the full path of a folder"},
      {"C:dats", "holds \"C:dats\", which is not the full path of a folder"},
      {tooLong, "holds \"" + tooLong.substr(0, 80) + "... (" + std::to_string(tooLong.size()) +
                    " characters)\", which is longer than the path of a folder may be"},
  };
  for (const auto& c : cases) {
    if (c.netDir)
      SetMachine("NetDir", c.netDir->c_str());
    else
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettings, "NetDir");
    const driver::Process wizard("\"" + Bin() + "\\Tamsel32.exe\"", Bin());
    const std::string message = CloseErrorDialog(wizard);
    EXPECT_NE(message.find(c.named), std::string::npos) << message;
    EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");
    EXPECT_EQ(Setting(HKEY_CURRENT_USER, "year"), "<missing>");
    for (const fs::path& folder : {current, current.root_path(), current / "dats", fs::path("C:\\dats")})
      for (const char* file : {"Boxes.DAT", "names.DAT"}) EXPECT_FALSE(fs::exists(folder / file)) << folder / file;
  }
}

// A report goes beside the program, or, when a file of the folder's name
// stands there, to the user's own folder.
class MasterRoadReport : public MasterRoad, public ::testing::WithParamInterface<bool> {};

fs::path UsersReportFolder() {
  char appData[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData);
  return fs::path(appData) / "Korvell" / "Error Report Files";
}

TEST_P(MasterRoadReport, AnErrorCanBeReportedFromTheDialogAndCloseEndsTheWizard) {
  TestMailClient mail;  // the wizard inherits where the client records what it receives
  ASSERT_TRUE(MakeYearUnwritable());
  const fs::path beside = fs::path(Bin()) / "Error Report Files";
  const bool blocked = GetParam();
  fs::remove_all(beside);
  fs::remove_all(UsersReportFolder());
  if (blocked) Put(beside, "a file where the folder would go");
  const fs::path reports = blocked ? UsersReportFolder() : beside;

  driver::Process wizard("\"" + Bin() + "\\Tamsel32.exe\"", Bin());
  HWND instruction = driver::WaitForWindow(wizard.Id(), driver::IsSharingInstruction);
  ASSERT_TRUE(instruction);
  driver::ClickButton(instruction, "O.K.");
  HWND dialog = driver::WaitForWindow(wizard.Id(), driver::IsErrorDialog);
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(driver::ClickButton(dialog, "Report &Error"));
  HWND notice = driver::WaitForWindow(wizard.Id(), driver::IsMessageBox);
  ASSERT_TRUE(notice);
  EXPECT_EQ(driver::MessageText(notice).substr(0, 50), "This application will now retrieve some data neede");
  PostMessageA(notice, WM_COMMAND, IDOK, 0);

  // Shown again after the report, as a window of its own: only Close is left.
  // (The first one, while it is being destroyed, can lose its buttons under
  // the search.)
  HWND again = driver::WaitForWindow(wizard.Id(), [dialog](HWND w) {
    const HWND report = w == dialog ? nullptr : driver::FindChild(w, "Button", "Report &Error");
    return report && driver::IsErrorDialog(w) && !IsWindowEnabled(report);
  });
  ASSERT_TRUE(again);
  const std::string subject = "Error report for Tamsel 1.0.0";
  EXPECT_TRUE(fs::exists(reports / (subject + ".zip")));
  EXPECT_NE(Contents(reports / "Error.txt").find("Procedure: Main"), std::string::npos);
  EXPECT_NE(Contents(reports / "Variables.txt").find("* MODULE LEVEL VARIABLES *"), std::string::npos);
  EXPECT_NE(mail.Received().find(subject), std::string::npos) << mail.Received();
  EXPECT_NE(mail.Received().find((reports / (subject + ".zip")).string()), std::string::npos) << mail.Received();
  EXPECT_TRUE(driver::ClickButton(again, "Close"));
  EXPECT_TRUE(wizard.WaitForExit(20000));
  EXPECT_EQ(Setting(HKEY_LOCAL_MACHINE, "firstrun"), "<missing>");
  fs::remove_all(beside);
  fs::remove_all(reports);
}

INSTANTIATE_TEST_SUITE_P(Folder, MasterRoadReport, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "BesideTheProgramBlocked" : "BesideTheProgram"; });

}  // namespace
