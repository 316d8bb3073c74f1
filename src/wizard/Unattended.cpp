#include "Unattended.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <set>

#include "../basic/App.h"
#include "../basic/Files.h"
#include "../basic/Runtime.h"
#include "../basic/Scripting.h"
#include "../basic/Text.h"
#include "../errorreport/vbwErrHandler.h"
#include "../errorreport/vbwTrap.h"
#include "../network/frmNWCheck.h"
#include "Global.h"

using namespace basic;
using namespace unattended;

namespace {

// ---------------------------------------------------------------------------
// The command line

enum class Takes { Nothing, Share, Month, File };

struct Switch {
  const wchar_t* name;
  Takes takes;
  void (*apply)(Options& options, const std::wstring& value);
};

constexpr Switch kSwitches[] = {
    {L"slave", Takes::Share, [](Options& o, const std::wstring& v) { o.role = Role::Slave, o.share = v; }},
    {L"master", Takes::Nothing, [](Options& o, const std::wstring&) { o.role = Role::Master; }},
    {L"month", Takes::Month, [](Options& o, const std::wstring& v) { o.month = std::stoi(v); }},
    {L"force", Takes::Nothing, [](Options& o, const std::wstring&) { o.force = true; }},
    {L"noplanner", Takes::Nothing, [](Options& o, const std::wstring&) { o.noPlanner = true; }},
    {L"quiet", Takes::Nothing, [](Options& o, const std::wstring&) { o.quiet = true; }},
    {L"log", Takes::File, [](Options& o, const std::wstring& v) { o.log = v; }},
    {L"?", Takes::Nothing, [](Options& o, const std::wstring&) { o.usage = true; }},
};

// What a switch's value must be, as the usage says it.
const wchar_t* Expected(Takes takes) {
  switch (takes) {
    case Takes::Share:
      return L"a share: \\\\server\\share, or a connected drive such as K:";
    case Takes::Month:
      return L"a month number from 1 to 12";
    default:
      return L"a file name";
  }
}

bool IsSwitch(const std::wstring& argument) {
  return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-');
}

const Switch* FindSwitch(const std::wstring& argument) {
  if (!IsSwitch(argument)) return nullptr;
  const std::wstring name = LCase(argument.substr(1));
  const auto found = std::ranges::find_if(kSwitches, [&](const Switch& s) { return name == s.name; });
  return found == std::end(kSwitches) ? nullptr : &*found;
}

// \\server\share, perhaps with a folder below it.
bool IsNetworkPath(const std::wstring& text) {
  if (!text.starts_with(L"\\\\")) return false;
  const size_t slash = text.find(L'\\', 2);
  return slash != std::wstring::npos && slash > 2 && slash + 1 < text.size() && text[slash + 1] != L'\\';
}

bool IsMonth(const std::wstring& text) {
  if (text.empty() || text.size() > 2 || !std::ranges::all_of(text, [](wchar_t c) { return std::iswdigit(c); }))
    return false;
  const int month = std::stoi(text);
  return month >= 1 && month <= 12;
}

bool Fits(Takes takes, const std::wstring& value) {
  switch (takes) {
    case Takes::Share:
      return IsDriveText(value) || IsNetworkPath(value);
    case Takes::Month:
      return IsMonth(value);
    default:
      return true;
  }
}

// What the switches given do not allow together; empty when they do.
std::wstring Conflict(const std::set<std::wstring>& given) {
  const auto has = [&](const wchar_t* name) { return given.contains(name); };
  if (has(L"?")) return L"";
  if (has(L"slave") && has(L"master")) return L"/slave and /master cannot be given together.";
  if (!has(L"slave") && !has(L"master")) return L"Give /slave or /master.";
  if (has(L"month") && !has(L"master")) return L"/month goes with /master only.";
  if (has(L"force") && !has(L"slave")) return L"/force goes with /slave only.";
  return L"";
}

// However wrong the command line, the mistake is told as it asks: quietly,
// in its log.
Request Wrong(std::wstring what, const std::vector<std::wstring>& arguments) {
  Request request{{}, std::move(what)};
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Switch* s = FindSwitch(arguments[i]);
    if (!s) continue;
    if (std::wstring_view(s->name) == L"quiet") request.options.quiet = true;
    if (s->takes == Takes::File && i + 1 < arguments.size() && !IsSwitch(arguments[i + 1]))
      request.options.log = arguments[i + 1];
  }
  return request;
}

// The program's arguments, as the runtime split its command line.
std::vector<std::wstring> Arguments() {
  std::vector<std::wstring> arguments;
  for (int i = 1; i < __argc; ++i) arguments.push_back(FromAnsi(__argv[i]));
  return arguments;
}

// ---------------------------------------------------------------------------
// The log and what the run tells

Request g_request;
std::wstring g_logPath;

std::wstring Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  wchar_t text[32];
  swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return text;
}

// One entry with its time, appended, and the file closed again: however the
// run ends, the log holds all that happened until then.
void Log(const std::wstring& text) {
  if (g_logPath.empty()) return;
  WriteAll(OpenFile(g_logPath, FILE_APPEND_DATA, OPEN_ALWAYS).get(), ToAnsi(Now() + L"  " + text + L"\r\n"));
}

// For what is told while an error is handled: nothing more can be done when
// even the log cannot be written.
void LogIfPossible(const std::wstring& text) noexcept {
  try {
    Log(text);
  } catch (...) {
  }
}

void LogError(const std::wstring& message, const std::wstring& packageFolder) {
  LogIfPossible(L"Error:\r\n" + message);
  if (!packageFolder.empty()) LogIfPossible(L"The error report is in " + packageFolder);
  // A quiet run ends with the error: nobody is there to answer it.
  if (vbwQuiet) LogIfPossible(L"Exit code " + std::to_wstring(kFailed));
}

void LogStep(const std::wstring& what) { Log(what); }

// The usage goes to the console of whoever started the program, when there
// is one, and, unless the run is quiet, into a message box.
void WriteToConsole(const std::wstring& text) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  const UniqueFile console(
      CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!console) return;
  const std::string bytes = ToAnsi(L"\r\n" + text + L"\r\n");
  DWORD written = 0;
  WriteFile(console.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

void ShowUsage(const std::wstring& wrong) {
  const std::wstring text = Usage(wrong);
  WriteToConsole(text);
  if (!g_request.options.quiet)
    MsgBox(text, MB_OK | (wrong.empty() ? MB_ICONINFORMATION : MB_ICONERROR), std::wstring(App::EXEName));
}

[[noreturn]] void EndWith(ExitCode code) {
  LogIfPossible(L"Exit code " + std::to_wstring(code));
  SetEndCode(code);
  End();
}

// ---------------------------------------------------------------------------
// The roads

std::wstring SettingsPlace() { return std::wstring(L"HKEY_LOCAL_MACHINE\\") + kSettingsKey; }

// The role asked for must be the machine's own: a master set up as a slave
// would look for its data on another machine, and the other way round.
void RequireRole(Role role) {
  ReadSetting(kValueMaster);
  const bool master = UCase(ini_value) == L"YES";
  LogStep(L"This machine's setting \"" + std::wstring(kValueMaster) + L"\" is \"" + ini_value + L"\"");
  if (master == (role == Role::Master)) return;
  Raise(kRoleContradicted,
        std::wstring(L"The command line asks for the ") + (master ? L"slave" : L"master") +
            L" set-up, but this machine is " + (master ? L"the master" : L"a slave") + L": its setting \"" +
            kValueMaster + L"\" is \"" + ini_value + L"\" under " + SettingsPlace() + L".",
        std::wstring(App::EXEName) + L".Unattended");
}

// A drive letter stands for the share it is connected to.
std::wstring ResolveShare(const std::wstring& given) {
  if (!IsDriveText(given)) return given.ends_with(L'\\') ? given.substr(0, given.size() - 1) : given;
  std::string remote;
  const DWORD result = NetworkDriveConnection(ToAnsi(given.substr(0, 2)), remote);
  if (result != NO_ERROR)
    Raise(kDriveNotConnected,
          L"The drive " + given.substr(0, 2) + L" is not connected to a network share (system code " +
              std::to_wstring(result) + L"). Give the share as \\\\server\\share.",
          std::wstring(App::EXEName) + L".Unattended");
  return FromAnsi(remote);
}

void RequireFolderOpens(const std::wstring& share) {
  if (FolderOpens(share)) return;
  Raise(kShareNotOpen,
        L"The share " + share + L" cannot be opened. Connect to it first, for example with: net use " + share +
            L" /user:NAME PASSWORD",
        std::wstring(App::EXEName) + L".Unattended");
}

// The master's Korvell folder holds the data folder "dats"; a share without
// one is most likely not that folder.
void CheckDataFolder(const std::wstring& share, bool force) {
  if (HoldsDataFolder(share)) return LogStep(L"Data folder found: " + share + L"\\dats");
  if (force) return LogStep(L"The share holds no folder \"dats\"; recorded all the same (/force)");
  Raise(kNoDataFolder,
        L"The share " + share +
            L" holds no folder \"dats\": it does not look like the Korvell folder of the master. Give /force to "
            L"record it all the same.",
        std::wstring(App::EXEName) + L".Unattended");
}

bool SlaveRoad(const Options& options) {
  vbwTrap trap(L"Unattended", L"SlaveRoad");
  std::wstring share;
  trap(1, [&] {
    share = ResolveShare(options.share);
    LogStep(L"Share: " + share);
  });
  trap(2, [&] { RequireFolderOpens(share); });
  trap(3, [&] { CheckDataFolder(share, options.force); });
  trap(4, [&] { RecordSlaveSettings(share); });
  if (!options.noPlanner) trap(5, [] { StartPlanner(App::Path()); });
  return !trap.Leaving();
}

// The master's steps keep the numbers they have in Main.
bool MasterRoad(const Options& options) {
  vbwTrap trap(L"Unattended", L"MasterRoad");
  ReadMasterSettings(trap);
  PrepareMasterData(trap, !options.quiet);
  if (options.month)
    trap(22, [&] {
      const std::wstring path = net_dir + L"\\" + kOffsetFile;
      WriteOffsetFile(path, options.month);
      LogStep(L"Wrote " + path + L": " + std::to_wstring(options.month));
    });
  RecordFirstRun(trap);
  if (!options.noPlanner) trap(23, [] { StartPlanner(AppPath); });
  return !trap.Leaving();
}

}  // namespace

namespace unattended {

Request ParseArguments(const std::vector<std::wstring>& arguments) {
  Request request;
  std::set<std::wstring> given;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Switch* s = FindSwitch(arguments[i]);
    if (!s) return Wrong(L"Unknown argument: " + arguments[i], arguments);
    if (!given.insert(s->name).second) return Wrong(L"/" + std::wstring(s->name) + L" is given twice.", arguments);
    std::wstring value;
    if (s->takes != Takes::Nothing) {
      if (i + 1 == arguments.size() || IsSwitch(arguments[i + 1]))
        return Wrong(L"/" + std::wstring(s->name) + L" needs " + Expected(s->takes) + L".", arguments);
      value = arguments[++i];
      if (!Fits(s->takes, value))
        return Wrong(L"/" + std::wstring(s->name) + L" needs " + Expected(s->takes) + L", not \"" + value + L"\".",
                     arguments);
    }
    s->apply(request.options, value);
  }
  if (std::wstring conflict = Conflict(given); !conflict.empty()) return Wrong(std::move(conflict), arguments);
  return request;
}

std::wstring Usage(const std::wstring& wrong) {
  return (wrong.empty() ? L"" : wrong + L"\r\n\r\n") +
         L"Sets this workstation up for Korvell without asking:\r\n"
         L"\r\n"
         L"Tamsel32 /slave \\\\server\\share [/force] [/noplanner] [/quiet] [/log FILE]\r\n"
         L"Tamsel32 /slave K: ...              (K: connected to the share)\r\n"
         L"Tamsel32 /master [/month N] [/noplanner] [/quiet] [/log FILE]\r\n"
         L"\r\n"
         L"/slave      record the master's Korvell share as this slave's data\r\n"
         L"/force      record a share that holds no \"dats\" folder all the same\r\n"
         L"/master     prepare the master's data folder and files\r\n"
         L"/month N    the first month of the holiday year, 1 to 12\r\n"
         L"/noplanner  do not start the planner at the end\r\n"
         L"/quiet      show no window; an error goes to the log and the exit code\r\n"
         L"/log FILE   write each step to FILE (quiet: %TEMP%\\Tamsel32.log)\r\n"
         L"/?          show this text\r\n"
         L"\r\n"
         L"Exit codes: 0 done, 1 failed (the log says why), 2 bad arguments.";
}

std::wstring LogPath(const Options& options) {
  if (!options.log.empty() || !options.quiet) return options.log;
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  return FromAnsi(temp) + kDefaultLogName;
}

}  // namespace unattended

bool UnattendedRequested() { return __argc > 1; }

void PrepareUnattended() {
  vbwTrap trap(L"Unattended", L"PrepareUnattended");
  trap(1, [] { g_request = ParseArguments(Arguments()); });
  // Whatever ends the run before its road is done says so in the exit code.
  trap(2, [] { SetEndCode(kFailed); });
  trap(3, [] { g_logPath = LogPath(g_request.options); });
  trap(4, [] {
    vbwQuiet = g_request.options.quiet;
    vbwErrorNotice = &LogError;
    SetupNotice = &LogStep;
  });
}

void RunUnattended() {
  vbwTrap trap(L"Unattended", L"RunUnattended");
  const Options& options = g_request.options;
  trap(1, [] {
    if (g_request.wrong.empty()) return;
    LogIfPossible(L"Bad arguments: " + App::CommandLine() + L"\r\n" + g_request.wrong);
    ShowUsage(g_request.wrong);
    EndWith(kBadArguments);
  });
  trap(2, [] {
    if (!g_request.options.usage) return;
    ShowUsage(L"");
    EndWith(kDone);
  });
  trap(3, [] {
    Log(std::wstring(App::EXEName) + L" " + std::to_wstring(App::Major) + L"." + std::to_wstring(App::Minor) + L"." +
        std::to_wstring(App::Revision) + L", unattended: " + App::CommandLine());
  });
  trap(4, [&] { RequireRole(options.role); });
  bool done = false;
  trap(5, [&] { done = options.role == Role::Master ? MasterRoad(options) : SlaveRoad(options); });
  trap(6, [&] {
    helper.Release();
    if (done) Log(L"Done.");
  });
  EndWith(done && !trap.Leaving() ? kDone : kFailed);
}
