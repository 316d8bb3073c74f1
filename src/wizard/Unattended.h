// The unattended set-up: an administrator runs a road from the command line,
// usually remotely, with a log and an exit code instead of the wizard's
// questions. Without arguments the wizard is the windowed one.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "../basic/Err.h"

namespace unattended {

enum ExitCode : uint32_t {
  kDone = 0,          // /status: the workstation is set up and its data folder opens
  kFailed = 1,        // the log says why; /status: the workstation is not set up
  kBadArguments = 2,  // the usage names what was wrong; nothing was changed
};

enum class Role { None, Master, Slave };

struct Options {
  Role role = Role::None;
  bool status = false;  // /status: tell how the workstation is set up, change nothing
  std::wstring share;   // after /slave: \\server\share (no trailing backslash) or a connected drive such as K:
  int month = 0;        // after /month, 1 to 12; 0 when none was given
  bool force = false;   // record a share that holds no "dats" folder all the same
  bool noPlanner = false;
  bool quiet = false;
  bool usage = false;  // /?
  std::wstring log;    // after /log
};

// What a command line asks for; wrong names what was wrong with it, empty
// when nothing was.
struct Request {
  Options options;
  std::wstring wrong;
};
// Switches begin with / or -, in any case. Only the text is looked at here;
// what the file system says of the places given comes later.
Request ParseArguments(const std::vector<std::wstring>& arguments);

// The usage text; it begins with what was wrong when something was.
std::wstring Usage(const std::wstring& wrong);

// Where the log goes: the file given, or for a quiet run without one
// "Tamsel32.log" in the user's temporary folder; none otherwise.
std::wstring LogPath(const Options& options);
inline constexpr const wchar_t* kDefaultLogName = L"Tamsel32.log";

// Errors of the unattended roads.
inline constexpr int32_t kRoleContradicted = basic::vbObjectError + 1011;
inline constexpr int32_t kShareNotOpen = basic::vbObjectError + 1012;
inline constexpr int32_t kNoDataFolder = basic::vbObjectError + 1013;
inline constexpr int32_t kDriveNotConnected = basic::vbObjectError + 1014;
inline constexpr int32_t kDataFolderIsAFile = basic::vbObjectError + 1015;

}  // namespace unattended

// Whether the program was started with arguments.
bool UnattendedRequested();
// The run of a program started with arguments, in place of Main: reads the
// command line and answers a wrong one or /? at once, changing nothing; then
// the start-up, and the road asked for or the workstation's status. Ends the
// program with its exit code.
[[noreturn]] void RunUnattended();
