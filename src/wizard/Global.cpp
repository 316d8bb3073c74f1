#include "Global.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <vector>

#include "../basic/App.h"
#include "../basic/Err.h"
#include "../basic/Files.h"
#include "../basic/Runtime.h"
#include "../basic/SystemLibraries.h"
#include "../basic/Text.h"
#include "../basic/Timer.h"
#include "../errorreport/vbwCommon.h"
#include "../errorreport/vbwTrap.h"
#include "MerrowActivation.h"
#include "../network/SharePaths.h"
#include "../network/frmNWCheck.h"
#include "Continue.h"
#include "frmProcessing.h"
#include "start_month.h"

using namespace basic;

std::wstring yearfile::FileName(int year) { return std::to_wstring(year) + L".DAT"; }

YearFile::YearFile(const std::wstring& path) : file_(OpenFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS)) {}

bool YearFile::IsPrepared() const {
  char first = '\0';
  DWORD read = 0;
  OVERLAPPED at{};  // offset 0
  if (!ReadFile(file_.get(), &first, 1, &read, &at)) {
    if (GetLastError() != ERROR_HANDLE_EOF) RaiseFileError(GetLastError());
    return false;
  }
  return read == 1 && (first == '0' || first == '1');
}

void YearFile::Prepare(const std::function<void()>& progress) {
  using namespace yearfile;
  // Until the end, record 1 begins with a NUL, the mark of a file not yet prepared.
  const std::string record(kRecordLength, '0');
  std::string firstRecord = record;
  firstRecord[0] = '\0';
  for (int month = 1; month <= kMonths; ++month) {
    for (int slot = 1; slot <= kSlotsPerMonth; ++slot) {
      for (int day = 1; day <= kRecordLength; ++day) progress();
      const int n = RecordNumber(month, slot);
      WriteAt(int64_t(n - 1) * kRecordLength, n == 1 ? firstRecord : record);
    }
  }
  Flush();
  WriteAt(0, "0");
  Flush();
}

void YearFile::WriteAt(int64_t offset, const std::string& bytes) {
  LARGE_INTEGER position;
  position.QuadPart = offset;
  if (!SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN)) RaiseFileError(GetLastError());
  WriteAll(file_.get(), bytes);
}

void YearFile::Flush() {
  if (!FlushFileBuffers(file_.get())) RaiseFileError(GetLastError());
}

void WriteOffsetFile(const std::wstring& path, int month) { WriteNewFile(path, std::to_string(month) + "\r\n"); }

void TouchFile(const std::wstring& path) { OpenFile(path, FILE_APPEND_DATA, OPEN_ALWAYS); }

// ---------------------------------------------------------------------------
// The set-up flow

namespace {

constexpr int kShowNormal = SW_SHOWNORMAL;  // normal window with focus
// Explorer's client area as laid out for 96 DPI, beside the instruction form.
constexpr RECT kExplorerClientArea{176, 2, 801, 578};
// Pixels from the instruction form's right edge to Explorer's left edge in
// that layout; it stays the same at every DPI.
constexpr int kDockGap = 3;
constexpr UINT kDockPollMs = 20;
constexpr const wchar_t* kPlanner = L"\\korvell.exe";
constexpr double kRepaintIntervalMs = 16;

// The windows of the master set-up live until the process ends.
std::optional<frmProcessing> g_processing;
std::optional<YearFile> g_yearFile;

void Tell(const std::wstring& what) {
  if (SetupNotice) SetupNotice(what);
}

void BeginStep(const std::wstring& step, const std::wstring& object) {
  if (SetupStep) SetupStep(step, object);
}

std::wstring SettingPath(int32_t root, const wchar_t* name) { return SettingsKeyPath(root) + L"\\" + name; }

HWND FindFolderWindow() {
  for (const wchar_t* windowClass : {lpClassname.c_str(), kFileBrowserClass})
    if (HWND window = FindWindowA(ToAnsi(windowClass).c_str(), nullptr)) return window;
  return nullptr;
}

// Every folder window there is now, of either class, visible or not.
std::vector<HWND> FolderWindows() {
  std::vector<HWND> windows;
  for (const wchar_t* windowClass : {lpClassname.c_str(), kFileBrowserClass}) {
    const std::string name = ToAnsi(windowClass);
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, name.c_str(), nullptr));)
      windows.push_back(window);
  }
  return windows;
}

// A folder window that was not there before: the one this run's Explorer
// opened. A window closing from an earlier run is among those before, and
// one that is hidden (not shown yet, or on its way out) does not count.
HWND NewFolderWindow(const std::vector<HWND>& before) {
  for (HWND window : FolderWindows())
    if (IsWindowVisible(window) && std::find(before.begin(), before.end(), window) == before.end()) return window;
  return nullptr;
}

// Explorer's window rectangle beside the instruction form: the 96-DPI layout
// grown with the forms, so that the two never overlap at any DPI. What would
// stand past the screen's working area is cut off, so that all of Explorer
// stays in reach.
RECT DockedRect(const RECT& instruction) {
  const int dpi = TwipsToPixels(1440);  // the forms' own scale
  const auto scaled = [dpi](LONG pixels) { return LONG(MulDiv(pixels, dpi, 96)); };
  const RECT& at96 = kExplorerClientArea;
  RECT area{0, scaled(at96.top), scaled(at96.right - at96.left), scaled(at96.bottom)};
  AdjustWindowRect(&area, 0, FALSE);
  OffsetRect(&area, instruction.right + kDockGap - area.left, 0);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  area.right = std::min(area.right, work.right);
  area.bottom = std::min(area.bottom, work.bottom);
  return area;
}

// Docks the Explorer window that this run opened beside the instruction
// form as soon as it appears, while the form already waits for the user.
// Without one in time it gives up and Explorer stays where it opened.
class ExplorerDock {
 public:
  ExplorerDock(std::vector<HWND> before, HWND instruction)
      : before_(std::move(before)), instruction_(instruction), timer_(kDockPollMs, [this] { DockExplorerWindow(); }) {
    timer_.SetEnabled(true);
  }

 private:
  void DockExplorerWindow() {
    vbwTrap trap(L"Global", L"DockExplorerWindow");
    HWND window = nullptr;
    trap(1, [&] { window = NewFolderWindow(before_); });
    trap(2, [&] {
      if (window || GetTickCount() - start_ >= kExplorerWaitMs) timer_.SetEnabled(false);
    });
    if (window) trap(3, [&] { Dock(window); });
  }

  void Dock(HWND window) const {
    RECT beside;
    GetWindowRect(instruction_, &beside);
    const RECT area = DockedRect(beside);
    MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    // Explorer took the foreground when its window opened: the keyboard
    // goes back to the instruction, whose O.K. takes the focus with it.
    SetForegroundWindow(instruction_);
  }

  const std::vector<HWND> before_;
  const HWND instruction_;
  const DWORD start_ = GetTickCount();
  Timer timer_;
};

}  // namespace

std::wstring SettingsKeyPath(int32_t root) {
  return std::wstring(root == kHKeyCurrentUser ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE") + L"\\" + kSettingsKey;
}

int CurrentYear() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear;
}

void ReadSetting(const wchar_t* name, int32_t root) {
  BeginStep(L"Read the setting", SettingPath(root, name));
  ini_value.clear();
  RegHelper->GetValue(kSettingsKey, name, ini_value, root);
}

void WriteSetting(const wchar_t* name, int32_t root) {
  BeginStep(L"Write the setting", SettingPath(root, name));
  lType = REG_SZ;
  if (!RegHelper->SetValue(kSettingsKey, name, ini_value, lType, root))
    Raise(kSettingNotStored,
          L"The setting \"" + std::wstring(name) + L"\" could not be written under " + SettingsKeyPath(root) + L".",
          std::wstring(App::EXEName) + L".Global");
  Tell(L"Wrote " + SettingPath(root, name) + L" = \"" + ini_value + L"\"");
}

void StartProgram(const std::wstring& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = kShowNormal;
  PROCESS_INFORMATION process{};
  std::string line = ToAnsi(commandLine);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    RaiseFileError(GetLastError());
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void PrepareYearFile(YearFile& file, ProgressBar& bar) {
  Pacer pacer(kRepaintIntervalMs);
  file.Prepare([&] {
    bar.SetValue(bar.Value() + 1);
    if (!pacer.Due()) return;
    bar.Refresh();
    DoEvents();
    pacer.Restart();
  });
  bar.Refresh();
  DoEvents();
}

namespace {

// A setting as it is stored, to name it: the set-up reads it through the
// code page, where a character that the code page cannot carry became "?".
std::wstring StoredSetting(const wchar_t* name) {
  const std::wstring key = kSettingsKey;
  DWORD size = 0;
  constexpr DWORD kText = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, kText, nullptr, nullptr, &size) != ERROR_SUCCESS) return L"";
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, kText, nullptr, value.data(), &size) != ERROR_SUCCESS)
    return L"";
  return value.c_str();
}

// A folder setting whose files would not fit in a path is refused before
// anything is written: the system would take part of it, another folder.
void RequireFolderPathLimit(const wchar_t* name, const std::wstring& folder, int32_t number) {
  if (sharepaths::FitsFolderPathLimit(folder)) return;
  Raise(number,
        L"The setting \"" + std::wstring(name) + L"\" under " + SettingsKeyPath(kHKeyLocalMachine) + L" holds \"" +
            Abridged(folder) + L"\", which is longer than the path of a folder may be: give a folder of at most " +
            std::to_wstring(sharepaths::kMaxFolderPath) + L" characters.",
        std::wstring(App::EXEName) + L".Global");
}

// The master's data folder is where every slave will look, and where the
// data files go: a folder given without its drive or server would be taken
// below whatever folder the set-up happens to be started from.
void RequireDataFolderSetting() {
  const std::wstring place = L"under " + SettingsKeyPath(kHKeyLocalMachine);
  const std::wstring source = std::wstring(App::EXEName) + L".Global";
  const std::wstring setting = L"The setting \"" + std::wstring(kValueNetDir) + L"\" ";
  if (net_dir.empty())
    Raise(kSettingMissing, setting + L"is missing " + place + L": the data folder is not known.", source);
  if (sharepaths::IsFullFolderPath(net_dir)) return RequireFolderPathLimit(kValueNetDir, net_dir, kDataFolderUnusable);
  const std::wstring stored = StoredSetting(kValueNetDir);
  if (!stored.empty() && !ToAnsiExact(stored))
    Raise(kDataFolderUnusable,
          setting + place + L" holds \"" + Spelled(stored) +
              L"\", a name that this system's code page cannot carry: give a data folder whose name it can carry.",
          source);
  Raise(kDataFolderUnusable,
        setting + place + L" holds \"" + Abridged(net_dir) +
            L"\", which is not the full path of a folder: give the data folder with its drive, such as "
            L"C:\\Korvell\\dats, or as a network path, such as \\\\MASTER\\KORVELL\\dats.",
        source);
}

void TouchDataFile(const wchar_t* name) {
  const std::wstring path = net_dir + L"\\" + name;
  BeginStep(L"Create the data file", path);
  TouchFile(path);
  Tell(L"Data file ready: " + path);
}

std::wstring YearFilePath() { return net_dir + L"\\" + yearfile::FileName(CurrentYear()); }

void PrepareYearFileNow() {
  BeginStep(L"Prepare the year file", YearFilePath());
  if (g_processing)
    PrepareYearFile(*g_yearFile, g_processing->ProgressBar1);
  else
    g_yearFile->Prepare([] {});
  Tell(L"Year file prepared: " + YearFilePath());
}

}  // namespace

void ReadMasterSettings(vbwTrap& trap) {
  trap(8, [] {
    ReadSetting(kValueNetDir), net_dir = ini_value, RequireDataFolderSetting();
    Tell(L"Data folder (" + std::wstring(kValueNetDir) + L"): " + net_dir);
  });
  trap(9, [] {
    ReadSetting(kValueDir), AppPath = ini_value;
    RequireFolderPathLimit(kValueDir, AppPath, kProgramFolderUnusable);
    Tell(L"Program folder (" + std::wstring(kValueDir) + L"): " + AppPath);
  });
}

void PrepareMasterData(vbwTrap& trap, bool showProgress) {
  if (showProgress) trap(13, [] { g_processing.emplace().Show(); });
  trap(14, [] { ini_value = std::to_wstring(CurrentYear()), WriteSetting(kValueYear, kHKeyCurrentUser); });
  trap(16, [] {
    BeginStep(L"Create the data folder", net_dir);
    if (CreateDirectoryA(ToAnsi(net_dir).c_str(), nullptr))
      Tell(L"Data folder made: " + net_dir);
    else if (GetLastError() == ERROR_ALREADY_EXISTS)
      Tell(L"Data folder already there: " + net_dir);
  });
  trap(17, [] { TouchDataFile(kBoxesFile); });
  trap(18, [] { TouchDataFile(kNamesFile); });
  trap(19, [] {
    BeginStep(L"Open the year file", YearFilePath());
    g_yearFile.emplace(YearFilePath());
  });
  bool prepared = false;
  trap(20, [&] {
    BeginStep(L"Read the year file", YearFilePath());
    prepared = g_yearFile->IsPrepared();
    if (prepared) Tell(L"Year file already prepared: " + YearFilePath());
  });
  if (!prepared) trap(21, [] { PrepareYearFileNow(); });
}

// The first run counts as done only once the data files are ready; a run
// that failed before leaves it as it was, and the next run sets up again.
void RecordFirstRun(vbwTrap& trap) {
  trap(15, [] { ini_value = L"NO", WriteSetting(kValueFirstRun, kHKeyLocalMachine); });
}

void StartPlanner(const std::wstring& folder) {
  BeginStep(L"Start the planner", folder + kPlanner);
  StartProgram(L"\"" + folder + kPlanner + L"\"");
  Tell(L"Planner started: " + folder + kPlanner);
}

void RecordSlaveSettings(const std::wstring& share) {
  ini_value = std::to_wstring(CurrentYear()), WriteSetting(kValueYear, kHKeyCurrentUser);
  ini_value = share + L"\\dats", WriteSetting(kValueNetDirSlave, kHKeyLocalMachine);
  ini_value = L"NO", WriteSetting(kValueFirstRun, kHKeyLocalMachine);
}

namespace {

// Explorer from the Windows folder, opened on the folder's parent with the
// folder selected.
std::wstring ExplorerSelecting(const std::wstring& folder) {
  return L"\"" + FromAnsi(WindowsFolderFile("explorer.exe")) + L"\" /select," + folder;
}

// Opens Explorer on the program folder and asks the user to share it. The
// instruction shows first: Explorer takes far longer to open and would only
// compete with the form for the processor. It docks beside the instruction
// whenever its window appears.
void ShareProgramFolder(vbwTrap& trap) {
  Continue instruction;
  trap(12, [&] { instruction.Show(); });
  // Nothing on the way to the first window needs the helper object.
  CreateHelper(trap);
  std::vector<HWND> before;
  trap(10, [&] {
    before = FolderWindows();
    StartProgram(ExplorerSelecting(ini_value));
  });
  std::optional<ExplorerDock> dock;
  trap(11, [&] { dock.emplace(before, instruction.hWnd()); });
  trap(12, [&] { instruction.ShowModal(); });
}

void MasterRoad(vbwTrap& trap) {
  ReadMasterSettings(trap);
  ShareProgramFolder(trap);
  PrepareMasterData(trap, true);
  RecordFirstRun(trap);
  trap(22, [] { start_month().ShowModal(); });
  trap(23, [] { StartPlanner(AppPath); });
  trap(24, [] {
    helper.Release();
    End();
  });
}

void SlaveRoad(vbwTrap& trap) {
  trap(25, [] {
    MsgBox(
        L"Ostrelle Detects That This Is A Slave Machine.\r\n\r\n"
        L"Click O.K. To Run The Network Selector.\r\n\r\n"
        L"Use It To Navigate To The Korvell. Folder On Your \r\n"
        L"Master Machine.",
        MB_OK | MB_ICONINFORMATION, L"Korvell Ostrelle");
  });
  CreateHelper(trap);
  trap(26, [] { setup_slave_machine(); });
}

}  // namespace

void StartUp(vbwTrap& trap, bool oneAtATime, void (*anotherRuns)()) {
  static UniqueHandle instance;
  trap(1, [] { vbwInitialize(); });
  if (oneAtATime)
    trap(2, [&] {
      HANDLE mutex = CreateMutexA(nullptr, FALSE, "Local\\Tamsel32 set-up");
      const bool another = GetLastError() == ERROR_ALREADY_EXISTS;
      instance.reset(mutex);
      if (another) anotherRuns();
    });
  trap(3, [] { RegHelper = std::make_unique<CRegistry>(); });
  trap(4, [] { lType = REG_SZ; });
}

void CreateHelper(vbwTrap& trap) {
  static std::optional<ComApartment> apartment;
  trap(3, [] {
    BeginStep(L"Create the helper object", L"MerrowClass of Merrow.dll");
    apartment.emplace();
    helper = CreateMerrowClass();
  });
}

void Main() {
  vbwTrap trap(L"Global", L"Main");
  StartUp(trap, true, [] { End(); });
  trap(5, [] {
    lpClassname = kFolderWindowClass;
    if (HWND window = FindFolderWindow()) PostMessageA(window, WM_CLOSE, 0, 0);
  });
  trap(6, [] { ReadSetting(kValueMaster); });
  bool master = false;
  trap(7, [&] { master = UCase(ini_value) == L"YES"; });
  if (!trap.Leaving()) {
    if (master)
      MasterRoad(trap);
    else
      SlaveRoad(trap);
  }
  // The master's road ends the program itself, and the slave's lives on in
  // the selector: a road that returns here was left after an error, and
  // whoever started the wizard learns that it failed.
  if (trap.Leaving()) EndFailed();
}

// Shows the network selector, which keeps the process alive and finishes the
// slave set-up.
void setup_slave_machine() {
  vbwTrap trap(L"Global", L"setup_slave_machine");
  trap(1, [] { frmNWCheck::Instance().Show(); });
}

std::wstring ComputerName() {
  vbwTrap trap(L"Global", L"ComputerName");
  std::wstring name;
  trap(1, [&] {
    char buffer[255] = "";
    DWORD size = sizeof buffer;
    if (!GetComputerNameA(buffer, &size)) {
      const DWORD code = GetLastError();
      Raise(int32_t(code), L"A system call returned an error code of " + std::to_wstring(code));
    }
    name = FromAnsi(buffer);
  });
  return name;
}
