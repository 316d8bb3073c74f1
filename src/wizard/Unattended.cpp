#include "Unattended.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <iterator>
#include <set>

#include "../basic/App.h"
#include "../basic/Files.h"
#include "../basic/Handles.h"
#include "../basic/Runtime.h"
#include "../basic/Scripting.h"
#include "../basic/Text.h"
#include "../errorreport/vbwErrHandler.h"
#include "../errorreport/vbwTrap.h"
#include "../network/SharePaths.h"
#include "Global.h"

using namespace sharepaths;

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

// A share given with trailing backslashes is the share itself: recorded with
// them, the data folder would read \\server\share\\dats.
constexpr Switch kSwitches[] = {
    {L"slave", Takes::Share,
     [](Options& o, const std::wstring& v) { o.role = Role::Slave, o.share = WithoutTrailingBackslashes(v); }},
    {L"master", Takes::Nothing, [](Options& o, const std::wstring&) { o.role = Role::Master; }},
    {L"status", Takes::Nothing, [](Options& o, const std::wstring&) { o.status = true; }},
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

bool IsMonth(const std::wstring& text) {
  if (text.empty() || text.size() > 2 || !std::ranges::all_of(text, [](wchar_t c) { return std::iswdigit(c); }))
    return false;
  const int month = std::stoi(text);
  return month >= 1 && month <= 12;
}

bool Fits(Takes takes, const std::wstring& value) {
  switch (takes) {
    case Takes::Share:
      return IsDriveText(value) || IsNetworkPath(WithoutTrailingBackslashes(value));
    case Takes::Month:
      return IsMonth(value);
    default:
      return true;
  }
}

bool WithinPathLimit(const std::wstring& file) { return ToAnsi(file).size() < MAX_PATH; }

// A share or a file that the ANSI calls cannot name: they would take, and
// record, a path with "?" in place of what they cannot carry.
std::wstring BeyondCodePage(const Switch& s, const std::wstring& value) {
  if (s.takes != Takes::Share && s.takes != Takes::File) return L"";
  if (ToAnsiExact(value)) return L"";
  return L"/" + std::wstring(s.name) + L" names \"" + Spelled(value) +
         L"\", which holds characters that this system's code page cannot carry (shown as <U+...>): " +
         (s.takes == Takes::Share ? L"give the share a name without them." : L"give a file whose name has none.");
}

// A share or a file whose path is longer than the system takes: it would
// take part of it, and act on another share or file.
std::wstring BeyondPathLimit(const Switch& s, const std::wstring& value) {
  if (s.takes == Takes::Share && !IsDriveText(value)) return ShareTooLong(WithoutTrailingBackslashes(value));
  if (s.takes != Takes::File || WithinPathLimit(value)) return L"";
  return L"/" + std::wstring(s.name) + L" names \"" + Abridged(value) +
         L"\", which is longer than a file's path may be: give one of at most " + std::to_wstring(MAX_PATH - 1) +
         L" characters.";
}

// The system's rule for splitting a command line reads \" as a quote inside
// the argument: a folder typed in quotes with a trailing backslash takes the
// rest of the line with it, switches and all.
std::wstring SwallowedQuote(const std::wstring& argument) {
  const size_t quote = argument.find(L'"');
  if (quote == std::wstring::npos) return L"";
  return L"The argument [" + argument +
         L"] holds a quotation mark: a backslash just before a closing quote keeps the quote in the argument, "
         L"and the rest of the line with it. Leave out the trailing backslash: \"" +
         WithoutTrailingBackslashes(argument.substr(0, quote)) + L"\".";
}

// What the switches given do not allow together; empty when they do.
std::wstring Conflict(const std::set<std::wstring>& given) {
  const auto has = [&](const wchar_t* name) { return given.contains(name); };
  if (has(L"?")) return L"";
  if (has(L"status")) {
    for (const wchar_t* other : {L"slave", L"master", L"month", L"force", L"noplanner"})
      if (has(other)) return L"/status goes with /quiet and /log only.";
    return L"";
  }
  if (has(L"slave") && has(L"master")) return L"/slave and /master cannot be given together.";
  if (!has(L"slave") && !has(L"master")) return L"Give /slave, /master or /status.";
  if (has(L"month") && !has(L"master")) return L"/month goes with /master only.";
  if (has(L"force") && !has(L"slave")) return L"/force goes with /slave only.";
  return L"";
}

// What parts the words of a text: white space.
constexpr const wchar_t* kBlanks = L" \t\r\n\v\f";

// The words that a swallowing quote took into an argument.
std::vector<std::wstring> SwallowedWords(const std::wstring& argument) {
  std::vector<std::wstring> words;
  const size_t quote = argument.find(L'"');
  if (quote == std::wstring::npos) return words;
  // Split by hand: a string stream would bring the C++ library's locales
  // into the program, a third of its size.
  const std::wstring rest = argument.substr(quote + 1);
  for (size_t end = 0, start; (start = rest.find_first_not_of(kBlanks, end)) != std::wstring::npos;) {
    end = rest.find_first_of(kBlanks, start);
    words.push_back(rest.substr(start, end - start));
  }
  return words;
}

// However wrong the command line, the mistake is told as it asks: quietly,
// in its log. That holds for switches that a quote swallowed too: a quiet
// run must not open a window because of a backslash.
Request Wrong(std::wstring what, const std::vector<std::wstring>& given) {
  Request request{{}, std::move(what)};
  std::vector<std::wstring> arguments;
  for (const std::wstring& argument : given) {
    arguments.push_back(argument);
    std::ranges::copy(SwallowedWords(argument), std::back_inserter(arguments));
  }
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Switch* s = FindSwitch(arguments[i]);
    if (!s) continue;
    if (std::wstring_view(s->name) == L"quiet") request.options.quiet = true;
    // A log path that is itself refused is not written to: a longer one
    // may still open, under another name than the one given.
    if (s->takes == Takes::File && i + 1 < arguments.size() && !IsSwitch(arguments[i + 1]) &&
        WithinPathLimit(arguments[i + 1]))
      request.options.log = arguments[i + 1];
  }
  return request;
}

// ---------------------------------------------------------------------------
// The log and what the run tells

Request g_request;
std::wstring g_logPath;

// The step running, and what it works on: the log names them when it fails.
struct Step {
  std::wstring what;
  std::wstring object;
} g_step;

void BeginStep(const std::wstring& what, const std::wstring& object) { g_step = {what, object}; }

std::wstring Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  wchar_t text[32];
  swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return text;
}

// The log holds text only: a control character that a setting may carry (the
// NUL between the strings of a value of several) is shown by its code.
std::wstring Printable(const std::wstring& text) {
  std::wstring out;
  for (const wchar_t c : text) {
    if (c >= L' ' || c == L'\r' || c == L'\n' || c == L'\t') {
      out += c;
    } else {
      wchar_t code[16];
      swprintf(code, 16, L"<U+%04X>", unsigned(c));
      out += code;
    }
  }
  return out;
}

void AppendEntry(const std::wstring& path, const std::wstring& text) {
  WriteAll(OpenFile(path, FILE_APPEND_DATA, OPEN_ALWAYS).get(), ToAnsi(Now() + L"  " + Printable(text) + L"\r\n"));
}

std::wstring FallbackLogPath() {
  Options quiet;
  quiet.quiet = true;
  return LogPath(quiet);
}

// One entry with its time, appended, and the file closed again: however the
// run ends, the log holds all that happened until then. A log that stops
// taking entries (its disk is full) hands over to the one that quiet runs
// keep, which says why and takes the rest; the step that could not be told
// fails, and with it the run.
void Log(const std::wstring& text) {
  if (g_logPath.empty()) return;
  try {
    AppendEntry(g_logPath, text);
  } catch (const Error& error) {
    const std::wstring failed = g_logPath;
    if (failed == FallbackLogPath()) throw;
    g_logPath = FallbackLogPath();
    BeginStep(L"Write the log", failed);
    AppendEntry(g_logPath, L"The log file " + failed + L" takes no more entries (error " +
                               std::to_wstring(error.Number()) + L", " + error.Description() +
                               L"): the rest of this run's log is here.");
    AppendEntry(g_logPath, text);
    throw;
  }
}

// For what is told while an error is handled: nothing more can be done when
// even the log cannot be written.
void LogIfPossible(const std::wstring& text) noexcept {
  try {
    Log(text);
  } catch (...) {
  }
}

// Why a log file cannot be written; empty when it can (or none was given).
std::wstring LogProblem(const std::wstring& path) {
  if (path.empty()) return L"";
  try {
    OpenFile(path, FILE_APPEND_DATA, OPEN_ALWAYS);
    return L"";
  } catch (const Error& error) {
    return L"The log file " + path + L" cannot be written: " + error.Description() + L".";
  }
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesA(ToAnsi(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// What the file system says against the share given: a file is no folder
// that a data folder could be below.
std::wstring ShareProblem(const Options& options) {
  if (options.role != Role::Slave || IsDriveText(options.share)) return L"";
  if (!IsFile(options.share)) return L"";
  return L"/slave needs a folder: " + options.share +
         L" is a file, not a folder. Give the master's Korvell share, such as \\\\MASTER\\KORVELL.";
}

// The step that failed and what it worked on, then the error layer's number
// and description: what an administrator needs to mend it.
std::wstring FailedStep() {
  const std::wstring error = L"error " + std::to_wstring(vbwSavedErr.Number) + L", " + vbwSavedErr.Description;
  if (g_step.what.empty()) return L"Failed: " + error;
  return L"Step failed: " + g_step.what + L" (" + g_step.object + L"): " + error;
}

void LogError(const std::wstring& message, const std::wstring& packageFolder) {
  LogIfPossible(FailedStep());
  LogIfPossible(L"Error:\r\n" + message);
  if (!packageFolder.empty())
    LogIfPossible(L"The error report is in " + packageFolder);
  else if (vbwQuiet)
    LogIfPossible(
        L"No error report could be written: neither the folder beside the program nor the user's own "
        L"could take it whole.");
  // A quiet run ends with the error: nobody is there to answer it.
  if (vbwQuiet) LogIfPossible(L"Exit code " + std::to_wstring(kFailed));
}

void LogStep(const std::wstring& what) { Log(what); }

// What a run tells its starter goes to the console of whoever started the
// program, when there is one, and, unless the run is quiet, into a message box.
void WriteToConsole(const std::wstring& text) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  const UniqueFile console(
      CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!console) return;
  const std::string bytes = ToAnsi(L"\r\n" + text + L"\r\n");
  DWORD written = 0;
  WriteFile(console.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

void TellStarter(const std::wstring& text, UINT icon) {
  WriteToConsole(text);
  if (!g_request.options.quiet) MsgBox(text, MB_OK | icon, std::wstring(App::EXEName));
}

void ShowUsage(const std::wstring& wrong) {
  TellStarter(Usage(wrong), wrong.empty() ? MB_ICONINFORMATION : MB_ICONERROR);
}

[[noreturn]] void EndWith(ExitCode code) {
  LogIfPossible(L"Exit code " + std::to_wstring(code));
  SetEndCode(code);
  End();
}

// A wrong command line, or /?, is answered before anything is looked at.
void AnswerWithoutRunning() {
  if (!g_request.wrong.empty()) {
    LogIfPossible(L"Bad arguments: " + App::CommandLine() + L"\r\n" + g_request.wrong);
    ShowUsage(g_request.wrong);
    EndWith(kBadArguments);
  }
  if (!g_request.options.usage) return;
  ShowUsage(L"");
  EndWith(kDone);
}

// ---------------------------------------------------------------------------
// The roads

[[noreturn]] void Refuse(int32_t number, const std::wstring& why) {
  Raise(number, why, std::wstring(App::EXEName) + L".Unattended");
}

// The role asked for must be the machine's own: a master set up as a slave
// would look for its data on another machine, and the other way round.
void RequireRole(Role role) {
  ReadSetting(kValueMaster);
  const bool master = UCase(ini_value) == L"YES";
  LogStep(L"This machine's setting \"" + std::wstring(kValueMaster) + L"\" is \"" + ini_value + L"\"");
  if (master == (role == Role::Master)) return;
  Refuse(kRoleContradicted, std::wstring(L"The command line asks for the ") + (master ? L"slave" : L"master") +
                                L" set-up, but this machine is " + (master ? L"the master" : L"a slave") +
                                L": its setting \"" + kValueMaster + L"\" is \"" + ini_value + L"\" under " +
                                SettingsKeyPath(kHKeyLocalMachine) + L".");
}

// A drive letter stands for the share it is connected to.
std::wstring ResolveShare(const std::wstring& given) {
  if (!IsDriveText(given)) return given;
  const std::wstring drive = given.substr(0, 2);
  std::string remote;
  const DWORD result = NetworkDriveConnection(ToAnsi(drive), remote);
  if (result != NO_ERROR)
    Refuse(kDriveNotConnected, L"The drive " + drive + L" is not connected to a network share (system code " +
                                   std::to_wstring(result) + L"). Give the share as \\\\server\\share.");
  const std::wstring share = WithoutTrailingBackslashes(FromAnsi(remote));
  // The router answers through the code page too: a "?" stands for what it cannot carry.
  if (!IsNetworkPath(share) || share.find(L'?') != std::wstring::npos)
    Refuse(kDriveNotConnected, L"The drive " + drive + L" leads to " + share +
                                   L", which the set-up cannot record as a share (a \"?\" stands for a character "
                                   L"that this system's code page cannot carry). Give the share as \\\\server\\share.");
  if (std::wstring tooLong = ShareTooLong(share); !tooLong.empty())
    Refuse(kDriveNotConnected, L"The drive " + drive + L" leads to " + tooLong);
  return share;
}

void RequireFolderOpens(const std::wstring& share) {
  if (FolderOpens(share)) return LogStep(L"The share opens: " + share);
  Refuse(kShareNotOpen, L"The share " + share + L" cannot be opened. Connect to it first, for example with: net use " +
                            share + L" /user:NAME PASSWORD");
}

// The master's Korvell folder holds the data folder "dats"; a share without
// one is most likely not that folder. A file of that name can never be one,
// whatever /force says.
void CheckDataFolder(const std::wstring& share, bool force) {
  const std::wstring folder = share + L"\\dats";
  if (HoldsDataFolder(share)) return LogStep(L"Data folder found: " + folder);
  if (IsFile(folder))
    Refuse(kDataFolderIsAFile, folder + L" is a file, not a folder: the share cannot hold Korvell's data there.");
  if (force) return LogStep(L"The share holds no folder \"dats\"; recorded all the same (/force)");
  Refuse(kNoDataFolder, L"The share " + share +
                            L" holds no folder \"dats\": it does not look like the Korvell folder of the master. "
                            L"Give /force to record it all the same.");
}

bool SlaveRoad(const Options& options) {
  vbwTrap trap(L"Unattended", L"SlaveRoad");
  std::wstring share;
  trap(1, [&] {
    BeginStep(L"Find the share", options.share);
    share = ResolveShare(options.share);
    LogStep(L"Share: " + share);
  });
  trap(2, [&] {
    BeginStep(L"Open the share", share);
    RequireFolderOpens(share);
  });
  trap(3, [&] {
    BeginStep(L"Look for the data folder", share + L"\\dats");
    CheckDataFolder(share, options.force);
  });
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
      BeginStep(L"Write the start month", path);
      WriteOffsetFile(path, options.month);
      LogStep(L"Wrote " + path + L": " + std::to_wstring(options.month));
    });
  RecordFirstRun(trap);
  if (!options.noPlanner) trap(23, [] { StartPlanner(AppPath); });
  return !trap.Leaving();
}

// ---------------------------------------------------------------------------
// The status of the workstation

// What /status finds, line by line, and why the workstation is not set up
// (nothing when it is).
struct Status {
  std::vector<std::wstring> lines;
  std::vector<std::wstring> reasons;
};

std::wstring Shown(const std::wstring& value) { return value.empty() ? L"not set" : L"\"" + value + L"\""; }

// Whether the data folder opens and holds the files that the master set-up
// makes; nothing is made or changed in it.
void LookAtDataFolder(const std::wstring& folder, Status& status) {
  BeginStep(L"Look at the data folder", folder);
  if (folder.empty()) return status.reasons.push_back(L"\"NetDir\" is not set");
  if (!IsFullFolderPath(folder)) return status.reasons.push_back(L"\"NetDir\" is not the full path of a folder");
  if (!FitsFolderPathLimit(folder))
    return status.reasons.push_back(L"\"NetDir\" is longer than the path of a folder may be");
  if (!FolderOpens(folder)) {
    status.lines.push_back(L"Data folder: does not open");
    return status.reasons.push_back(L"the data folder " + folder + L" does not open");
  }
  status.lines.push_back(L"Data folder: opens");
  std::wstring missing;
  for (const std::wstring& file :
       {std::wstring(kBoxesFile), std::wstring(kNamesFile), yearfile::FileName(CurrentYear())})
    if (!IsFile(folder + L"\\" + file)) missing += (missing.empty() ? L"" : L", ") + file;
  status.lines.push_back(L"Data files: " + (missing.empty() ? L"all there" : L"missing " + missing));
  if (!missing.empty()) status.reasons.push_back(L"the data folder lacks " + missing);
}

Status LookAtWorkstation() {
  Status status;
  status.lines.push_back(L"Korvell set-up of " + ComputerName() + L":");
  ReadSetting(kValueMaster);
  status.lines.push_back(std::wstring(L"Role: ") + (UCase(ini_value) == L"YES" ? L"master" : L"slave") +
                         L" (\"Master\" " + Shown(ini_value) + L")");
  ReadSetting(kValueNetDir);
  const std::wstring folder = ini_value;
  status.lines.push_back(L"NetDir: " + Shown(folder));
  LookAtDataFolder(folder, status);
  ReadSetting(kValueFirstRun);
  status.lines.push_back(L"firstrun: " + Shown(ini_value));
  if (UCase(ini_value) != L"NO")
    status.reasons.push_back(L"the set-up has not been run to its end (\"firstrun\" is not \"NO\")");
  ReadSetting(kValueYear, kHKeyCurrentUser);
  status.lines.push_back(L"year: " + Shown(ini_value));
  return status;
}

// Tells how the workstation is set up, changing nothing: exit code 0 when it
// is set up and its data folder opens, 1 with the reasons when not.
ExitCode StatusRoad() {
  BeginStep(L"Look at the workstation", SettingsKeyPath(kHKeyLocalMachine));
  Status status = LookAtWorkstation();
  std::wstring verdict = L"Set up: yes";
  if (!status.reasons.empty()) {
    verdict = L"Not set up: ";
    for (size_t i = 0; i < status.reasons.size(); ++i) verdict += (i ? L"; " : L"") + status.reasons[i];
    verdict += L".";
  }
  status.lines.push_back(verdict);
  std::wstring text;
  for (const std::wstring& line : status.lines) {
    Log(line);
    text += line + L"\r\n";
  }
  TellStarter(text, status.reasons.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
  return status.reasons.empty() ? kDone : kFailed;
}

}  // namespace

namespace unattended {

Request ParseArguments(const std::vector<std::wstring>& arguments) {
  for (const std::wstring& argument : arguments)
    if (std::wstring quote = SwallowedQuote(argument); !quote.empty()) return Wrong(std::move(quote), arguments);
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
      if (std::wstring beyond = BeyondCodePage(*s, value); !beyond.empty()) return Wrong(std::move(beyond), arguments);
      if (std::wstring beyond = BeyondPathLimit(*s, value); !beyond.empty()) return Wrong(std::move(beyond), arguments);
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
         L"Sets this workstation up for Korvell without asking, or tells how it is set up:\r\n"
         L"\r\n"
         L"Tamsel32 /slave \\\\server\\share [/force] [/noplanner] [/quiet] [/log FILE]\r\n"
         L"Tamsel32 /slave K: ...              (K: connected to the share)\r\n"
         L"Tamsel32 /master [/month N] [/noplanner] [/quiet] [/log FILE]\r\n"
         L"Tamsel32 /status [/quiet] [/log FILE]\r\n"
         L"\r\n"
         L"/slave      record the master's Korvell share as this slave's data\r\n"
         L"/force      record a share that holds no \"dats\" folder all the same\r\n"
         L"/master     prepare the master's data folder and files\r\n"
         L"/month N    the first month of the holiday year, 1 to 12\r\n"
         L"/status     tell how this workstation is set up; change nothing\r\n"
         L"/noplanner  do not start the planner at the end\r\n"
         L"/quiet      show no window; an error goes to the log and the exit code\r\n"
         L"/log FILE   write each step to FILE (quiet: %TEMP%\\Tamsel32.log)\r\n"
         L"/?          show this text\r\n"
         L"\r\n"
         L"Give a share in quotes without a trailing backslash: \"\\\\server\\share\".\r\n"
         L"Exit codes: 0 done, 1 failed (the log says why), 2 bad arguments.\r\n"
         L"/status: 0 set up and the data folder opens, 1 not (with the reason).";
}

std::wstring LogPath(const Options& options) {
  if (!options.log.empty() || !options.quiet) return options.log;
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  return FromAnsi(temp) + kDefaultLogName;
}

}  // namespace unattended

bool UnattendedRequested() {
  static const bool requested = !App::Arguments().empty();
  return requested;
}

namespace {

// Says how the run tells its errors and where its log goes, and the exit
// code of a run that ends early: nothing is looked at or changed before.
void PrepareUnattended() {
  vbwTrap trap(L"Unattended", L"PrepareUnattended");
  trap(1, [] { g_request = ParseArguments(App::Arguments()); });
  // Whatever ends the run before its road is done says so in the exit code.
  trap(2, [] { SetEndCode(kFailed); });
  trap(3, [] {
    g_logPath = LogPath(g_request.options);
    if (std::wstring problem = LogProblem(g_logPath); !problem.empty()) {
      // A quiet run still says why, in the log it keeps when none is given.
      g_logPath = g_request.options.quiet ? FallbackLogPath() : L"";
      if (g_request.wrong.empty()) g_request.wrong = std::move(problem);
    }
    if (g_request.wrong.empty()) g_request.wrong = ShareProblem(g_request.options);
  });
  trap(4, [] {
    vbwQuiet = g_request.options.quiet;
    vbwErrorNotice = &LogError;
    SetupNotice = &LogStep;
    SetupStep = &BeginStep;
  });
  trap(5, [] { AnswerWithoutRunning(); });
}

[[noreturn]] void EndAsAnotherSetUpRuns() {
  const std::wstring text =
      L"Another Korvell set-up is running on this workstation: this one ends without changing anything. "
      L"Start it again once the other has ended.";
  LogIfPossible(text);
  TellStarter(text, MB_ICONERROR);
  EndWith(kFailed);
}

void RunRoad() {
  vbwTrap trap(L"Unattended", L"RunUnattended");
  const Options& options = g_request.options;
  trap(1, [] {
    Log(std::wstring(App::EXEName) + L" " + std::to_wstring(App::Major) + L"." + std::to_wstring(App::Minor) + L"." +
        std::to_wstring(App::Revision) + L", unattended: " + App::CommandLine());
  });
  if (options.status) {
    ExitCode code = kFailed;
    trap(2, [&] { code = StatusRoad(); });
    EndWith(trap.Leaving() ? kFailed : code);
  }
  trap(3, [&] { RequireRole(options.role); });
  bool done = false;
  trap(4, [&] { done = options.role == Role::Master ? MasterRoad(options) : SlaveRoad(options); });
  trap(5, [&] {
    helper.Release();
    if (done) Log(L"Done.");
  });
  EndWith(done && !trap.Leaving() ? kDone : kFailed);
}

}  // namespace

void RunUnattended() {
  PrepareUnattended();
  // The start-up's steps are Main's, and its errors say so.
  vbwTrap trap(L"Global", L"Main");
  // A check of the workstation changes nothing: it keeps no set-up from starting.
  StartUp(trap, !g_request.options.status, &EndAsAnotherSetUpRuns);
  CreateHelper(trap);
  if (!trap.Leaving()) RunRoad();
  End();
}
