// Module Global: the state that the set-up procedures, the forms and the
// registry class share, the settings they store and the data files they
// prepare for the planner.
#pragma once
#include <unknwn.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "../basic/ComPtr.h"
#include "../basic/Handles.h"
#include "../registry/CRegistry.h"

// The shared state record, one for the process.
inline std::wstring net_dir;                // the data folder, from NetDir
inline std::wstring ini_value;              // the last value read; the next value to write
inline bool ObrinShared = false;            // the selector listed the planner's share
inline bool InShareRoot = false;            // the selector listed a disk share
inline std::wstring networkdriveunc;        // the chosen network path; "None" when none
inline std::wstring UserPassword;           // typed for a protected share; never stored
inline bool networkdriveprotected = false;  // the chosen share needs a password
inline std::wstring AppPath;                // the planner's program folder, from dir
inline int32_t lType = 0;                   // value type for SetValue: REG_SZ
inline std::wstring lpClassname;            // window class of an Explorer folder window
inline basic::ComPtr<IUnknown> helper;      // the one object of the helper library
inline std::unique_ptr<CRegistry> RegHelper;

// Entry point of the wizard: takes the master road or the slave road.
void Main();
// Hands the slave set-up over to the network selector, without waiting.
void setup_slave_machine();
// The machine's network name.
std::wstring ComputerName();

// Settings as the set-up reads and writes them: through RegHelper, under the
// settings key; the text goes through ini_value. A value that cannot be
// written raises kSettingNotStored, naming the value.
void ReadSetting(const wchar_t* name, int32_t root = kHKeyLocalMachine);
void WriteSetting(const wchar_t* name, int32_t root);
int CurrentYear();
// The start-up that every run shares, under Main's numbers: 1 the error
// layer, 2 one set-up at a time, where asked (anotherRuns ends a run started
// while another set-up runs), 3 RegHelper, 4 the value type.
class vbwTrap;
void StartUp(vbwTrap& trap, bool oneAtATime, void (*anotherRuns)());
// 3: the component apartment and the helper object, once something may wait
// for them: the windowed roads show their first window before.
void CreateHelper(vbwTrap& trap);
// Starts a program in a normal window with the focus, without waiting.
void StartProgram(const std::wstring& commandLine);

// A settings value that could not be stored: the set-up must not look successful.
inline constexpr int32_t kSettingNotStored = int32_t(0x80040000) + 1001;
// A setting that the master set-up cannot do without is missing.
inline constexpr int32_t kSettingMissing = int32_t(0x80040000) + 1002;
// The data folder's setting names no folder that every run finds again, or
// one that the code page cannot name.
inline constexpr int32_t kDataFolderUnusable = int32_t(0x80040000) + 1003;
// The program folder's setting is longer than a folder's path may be.
inline constexpr int32_t kProgramFolderUnusable = int32_t(0x80040000) + 1004;

// Window classes that the set-up takes for an Explorer folder window: the
// shell's, and that of the file browser of systems that have no other.
inline constexpr const wchar_t* kFolderWindowClass = L"CabinetWClass";
inline constexpr const wchar_t* kFileBrowserClass = L"ExplorerWClass";
// How long the master set-up waits for the Explorer window it opened.
inline constexpr unsigned kExplorerWaitMs = 15000;

// Settings: every value is text under this key path; year below the current
// user, everything else below the local machine.
inline constexpr const wchar_t* kSettingsKey = L"SOFTWARE\\Quillon\\Network Korvell";
inline constexpr const wchar_t* kValueMaster = L"Master";
inline constexpr const wchar_t* kValueNetDir = L"NetDir";
inline constexpr const wchar_t* kValueNetDirSlave = L"netdir";  // the same value: names ignore case
inline constexpr const wchar_t* kValueDir = L"dir";
inline constexpr const wchar_t* kValueFirstRun = L"firstrun";
inline constexpr const wchar_t* kValueYear = L"year";
// The settings key with its root, as messages and the log name it:
// "HKEY_LOCAL_MACHINE\SOFTWARE\Quillon\Network Korvell".
std::wstring SettingsKeyPath(int32_t root);

// Data files in the data folder.
inline constexpr const wchar_t* kBoxesFile = L"Boxes.DAT";
inline constexpr const wchar_t* kNamesFile = L"names.DAT";
inline constexpr const wchar_t* kOffsetFile = L"Offset.DAT";

// The year file: 12 months of 300 slots, one record of 31 day characters
// each, record n at byte (n - 1) * 31, without header or separators.
namespace yearfile {
inline constexpr int kMonths = 12;
inline constexpr int kSlotsPerMonth = 300;
inline constexpr int kRecords = kMonths * kSlotsPerMonth;  // 3,600
inline constexpr int kRecordLength = 31;
inline constexpr int kBytes = kRecords * kRecordLength;  // 111,600

std::wstring FileName(int year);  // "2026.DAT"
constexpr int RecordNumber(int month, int slot) { return (month - 1) * kSlotsPerMonth + slot; }
}  // namespace yearfile

// An open year file. It stays open until the process ends.
class YearFile {
 public:
  // Opens the file, creating it empty when it is missing.
  explicit YearFile(const std::wstring& path);

  // The file counts as prepared when record 1 begins with "0" or "1".
  bool IsPrepared() const;

  // Writes every record as 31 characters "0", calling progress once for each
  // character before its record is written. Record 1's first character is
  // written last, after everything else is on disk, so that a preparation
  // that is cut short never leaves a file that counts as prepared.
  void Prepare(const std::function<void()>& progress);

 private:
  void WriteAt(int64_t offset, const std::string& bytes);
  void Flush();

  basic::UniqueFile file_;
};

class ProgressBar;
// Prepares the year file behind the progress bar: one step of the bar per
// day character, the screen following at a pace the display keeps up with.
void PrepareYearFile(YearFile& file, ProgressBar& bar);

// Writes Offset.DAT: the month number and CR LF, replacing what was there.
void WriteOffsetFile(const std::wstring& path, int month);

// Creates a file empty when it is missing; an existing file keeps its content.
void TouchFile(const std::wstring& path);

// Pieces of the set-up that the windowed roads and the unattended one share.
// Those that take a trap run each step through it under Main's number.
// 8, 9: net_dir from NetDir, which the master cannot do without, and AppPath from dir.
void ReadMasterSettings(vbwTrap& trap);
// 13 (the progress window, when shown), 14, 16 to 21: the year, the data
// folder, its files and this year's file, prepared behind the bar if shown.
void PrepareMasterData(vbwTrap& trap, bool showProgress);
// 15: the first run is done; only once the data files are ready.
void RecordFirstRun(vbwTrap& trap);
// Starts the planner of the folder given, without waiting.
void StartPlanner(const std::wstring& folder);
// What a slave records for its master's share: year, then netdir (the share
// and "\dats"), then firstrun. Each value that cannot be stored raises.
void RecordSlaveSettings(const std::wstring& share);

// Told what the set-up has just done, step by step (values written, files
// made, programs started): the unattended set-up's log. Nobody listens on the
// windowed roads.
inline void (*SetupNotice)(const std::wstring& what) = nullptr;
// Told before each step what it is about to do and on which file, folder,
// registry value or program, so that a failure can be named with them.
inline void (*SetupStep)(const std::wstring& step, const std::wstring& object) = nullptr;
