#include "vbwErrHandler.h"

#include <windows.h>

#include <functional>

#include "../basic/App.h"
#include "../basic/Files.h"
#include "../basic/Runtime.h"
#include "../basic/SystemLibraries.h"
#include "../basic/Text.h"
#include "../basic/Timer.h"
#include "../standins/reportext/SimpleMapi.h"
#include "../standins/reportext/VbwExtension.h"
#include "vbwCommon.h"
#include "vbwDump.h"
#include "vbwFrmErrHandler.h"
#include "vbwOptions.h"
#include "vbwTrap.h"

using namespace basic;

int32_t vbwRetCode = 0;
std::wstring vbwMessageString;
std::wstring vbwCircumstancesString;
std::wstring vbwErrorPath;
bool vbwfHasReported = false;
std::wstring vbwTurnOffTimersString;
ErrObject vbwSavedErr;
bool vbwQuiet = false;
vbwErrorNoticeFunction vbwErrorNotice = nullptr;

namespace {

constexpr int32_t kEnd = 3;
constexpr int32_t kReportRequest = 8;

constexpr int32_t kPackage = -1;

// Each step of the package is left out when it fails; the next one runs.
// Whether it succeeded.
bool Attempt(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (...) {
    return false;
  }
}

void WriteText(const std::wstring& path, const std::wstring& text) { WriteNewFile(path, ToAnsi(text)); }

// The report folder's place beside the program, and the user's own, for when
// the program's folder cannot be written (a standard user under Program Files).
std::wstring FolderBesideProgram() { return App::Path() + L"\\" + vbwReportFolderName + L"\\"; }

std::wstring FolderOfTheUser() {
  char appData[MAX_PATH] = "";
  if (FAILED(Shell32().SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                        appData)))
    return L"";
  const std::wstring product = FromAnsi(appData) + L"\\" + vbwUserReportFolderParent;
  CreateDirectoryA(ToAnsi(product).c_str(), nullptr);
  return product + L"\\" + vbwReportFolderName + L"\\";
}

// Empties the folder (or makes it); whatever fails is let be. The folder is
// usable when the variables' file could be made anew in it.
bool RecreateReportFolder(const std::wstring& folder) {
  WIN32_FIND_DATAA found;
  const std::string path = ToAnsi(folder);
  HANDLE search = FindFirstFileA((path + "*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((path + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
  CreateDirectoryA(path.c_str(), nullptr);
  try {
    WriteNewFile(folder + L"Variables.txt", "");
    return true;
  } catch (const Error&) {
    return false;
  }
}

// The user's own folder, when the one beside the program cannot be used;
// whether it can be.
bool MoveToFolderOfTheUser() {
  const std::wstring own = FolderOfTheUser();
  if (own.empty() || own == vbwErrorPath || !RecreateReportFolder(own)) return false;
  vbwErrorPath = own;
  return true;
}

void PointDumpAtReportFolder() {
  vbwDumpFile = vbwErrorPath + L"Variables.txt";
  VbwExtension1.DumpPath = vbwDumpFile;
}

// Stage 1 after a report request: the folder, and what the extension needs
// to write the variables.
void PrepareReport() {
  vbwErrorPath = FolderBesideProgram();
  if (!RecreateReportFolder(vbwErrorPath)) MoveToFolderOfTheUser();
  PointDumpAtReportFolder();
  VbwExtension1.StringLimit = vbwDumpStringMaxLength;
  VbwExtension1.SizeValue = 1000000;
  VbwExtension1.SymbolData = vbwReadFile(App::Path() + L"\\" + App::EXEName + L".exe.obj");
  vbwObjectReporter = [](const std::wstring& name, const Object* object, int32_t indent) {
    VbwExtension1.ObjectReport(name, object, indent);
  };
}

std::wstring Subject(const std::wstring& project) {
  return L"Error report for " + project + L" " + std::to_wstring(App::Major) + L"." + std::to_wstring(App::Minor) +
         L"." + std::to_wstring(App::Revision);
}

}  // namespace

std::wstring vbwArchiveSizeKb(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(ToAnsi(path).c_str(), GetFileExInfoStandard, &data)) return L"0";
  return std::to_wstring(((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / 1024);
}

namespace {

// What the mail and the instructions say where no folder took the package
// (an empty archive path): there is nothing to attach.
constexpr const wchar_t* kNoPackage =
    L"no report file could be written: neither the folder beside the program nor the user's own could take it whole";

// The user's mail program, through a mailto: address; true when the user
// says the message went.
bool SendThroughMailProgram(const std::wstring& subject, const std::wstring& archive, const std::wstring& size) {
  const std::wstring attach = archive.empty()
                                  ? L"(Note: " + std::wstring(kNoPackage) + L".)"
                                  : L"(Please attach: " + archive + L" - Size: " + size + L" Kb to this message.)";
  const std::wstring address = L"mailto:" + vbwEmailRecipientAdress + L"?subject=" + subject + L"&body=" + attach;
  const auto result = reinterpret_cast<INT_PTR>(
      Shell32().ShellExecuteA(nullptr, "open", ToAnsi(address).c_str(), "", "c:\\", SW_SHOWNORMAL));
  if (result <= 32) return false;
  return MsgBox(L"Have you been able to send the message successfully ?", MB_YESNO | MB_ICONQUESTION | MB_TOPMOST,
                App::Title) != IDNO;
}

void PutOnClipboard(const std::wstring& text) {
  const std::string bytes = ToAnsi(text);
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1)) {
    memcpy(GlobalLock(memory), bytes.c_str(), bytes.size() + 1);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

void ShowInstructions(const std::wstring& subject, const std::wstring& archive, const std::wstring& size) {
  const std::wstring crlf = L"\r\n";
  const std::wstring text =
      L"Impossible to send the error report automatically !" + crlf + crlf +
      L"Please open your email messenger and send a message with the following parameters:" + crlf + L"Address: " +
      vbwEmailRecipientAdress + crlf + L"Subject: " + subject + crlf + L"Message: Please open the attached file." +
      crlf + L"Attached file: " +
      (archive.empty() ? L"none, " + std::wstring(kNoPackage) : archive + L" (Size: " + size + L" Kb)") + crlf + crlf +
      L"Would you like to copy this message to the clipboard ?" + crlf;
  if (MsgBox(text, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST, App::Title) == IDYES) PutOnClipboard(text);
}

// Whatever ends the program while the dialog is up (its Close) ends a run
// that failed; once the dialog has gone, the run goes on as it was.
void ShowErrorDialog() {
  struct EndCodeWhileShown {
    const uint32_t previous = EndCode();
    EndCodeWhileShown() {
      if (previous == 0) SetEndCode(kFailureEndCode);
    }
    ~EndCodeWhileShown() { SetEndCode(previous); }
  } failed;
  vbwShowErrorDialog();
}

struct Package {
  std::wstring subject;
  std::wstring archive;  // empty when it could not be written
  std::wstring size;     // in whole kilobytes
};

// The files of stage 2 and their archive. Every step that fails is left out.
Package WritePackage(const std::wstring& project) {
  const std::wstring crlf = L"\r\n";
  if (vbwTraceProc) {
    Attempt([] { WriteText(vbwErrorPath + L"Stack.txt", vbwGetStack() + L"\r\n"); });
    if (vbwLog && vbwFileExists(vbwLogFile))
      Attempt([] {
        vbwLogFileNum.reset();
        CopyFileA(ToAnsi(vbwLogFile).c_str(), ToAnsi(vbwErrorPath + L"Trace.txt").c_str(), FALSE);
      });
  }
  Package package{Subject(project), L"", L""};
  Attempt([&] {
    WriteText(vbwErrorPath + L"Error.txt",
              vbwMessageString + crlf + crlf + L"Circumstances:" + vbwCircumstancesString + crlf);
  });
  Attempt([] {
    VbwExtension1.InstanceHandle = GetModuleHandleA(nullptr);
    VbwExtension1.CommandLine = App::CommandLine();
    VbwExtension1.RuntimeLibrary = L"msvbvm60.dll";
    VbwExtension1.References = L"Scripting;DAO;Merrow32;MSComctlLib;Threed;FPSpread;HCBUTTONLib;vbwExtender;HCBUTTON";
  });
  Attempt([&] { WriteText(vbwErrorPath + L"Version.txt", VbwExtension1.VersionReport() + crlf); });
  Attempt([&] { WriteText(vbwErrorPath + L"System.txt", VbwExtension1.SystemReport() + crlf); });
  if (Attempt([&] { VbwExtension1.Compress(vbwErrorPath, package.subject + L".zip"); }))
    package.archive = vbwErrorPath + package.subject + L".zip";
  package.size = vbwArchiveSizeKb(package.archive);
  return package;
}

// The package where it can be written whole. The archive carries every file
// and is written last: a disk that cut a file before it has no room for it
// either. A folder beside the program that cannot take it (a full disk)
// gives way to the user's own, the variables written there anew; where
// neither takes it, there is no archive.
Package WriteWholePackage(const std::wstring& project) {
  Package package = WritePackage(project);
  if (!package.archive.empty() || !MoveToFolderOfTheUser()) return package;
  PointDumpAtReportFolder();
  Attempt([] { vbwWriteVariables(); });
  return WritePackage(project);
}

// Stage 2: the package is written, compressed and sent, then the dialog is
// shown again. Every step that fails is left out.
void BuildAndSendPackage(const std::wstring& project) {
  const std::wstring crlf = L"\r\n";
  const auto [subject, archive, size] = WriteWholePackage(project);
  const std::wstring note =
      archive.empty() ? std::wstring(kNoPackage) : L"the attached file is " + archive + L" - Size: " + size + L" Kb";
  const std::wstring body = vbwMessageString + crlf + crlf + L"Circumstances:" + vbwCircumstancesString + crlf + crlf +
                            L"(Note to sender: " + note + L")";
  int32_t mailed = reportext::kMailFailure;
  Attempt(
      [&] { mailed = VbwExtension1.SendMail(vbwEmailRecipientName, vbwEmailRecipientAdress, subject, body, archive); });
  bool sent = mailed == 0;
  // A user who cancelled in the mail program has chosen not to send it there:
  // a mailto: address would only open it again, without the archive.
  if (!sent && mailed != reportext::kMailCancelled)
    Attempt([&] { sent = SendThroughMailProgram(subject, archive, size); });
  if (!sent) Attempt([&] { ShowInstructions(subject, archive, size); });
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  DoEvents();
  vbwfHasReported = true;
  ShowErrorDialog();
}

void Notify(const std::wstring& packageFolder) {
  if (vbwErrorNotice) Attempt([&] { vbwErrorNotice(vbwMessageString, packageFolder); });
}

// Nobody is there to answer: the package is written as for a report, but
// not sent, the notice says where it is, and the program ends.
void ReportQuietly(const std::wstring& project) {
  vbwCircumstancesString.clear();
  Attempt(PrepareReport);
  Attempt([] { vbwWriteVariables(); });
  const bool written = !WriteWholePackage(project).archive.empty();
  vbwfHasReported = true;
  Notify(written ? vbwErrorPath : L"");
  vbwRetCode = kEnd;
}

std::wstring TimerEntry(const Timer& timer) { return std::to_wstring(timer.Identity()) + L'\0'; }

}  // namespace

vbwErrorDialog vbwShowErrorDialog = &vbwShowFrmErrHandler;

std::wstring vbwComposeMessage(int32_t Number, const std::wstring& Description, const std::wstring& Project,
                               const std::wstring& Module, const std::wstring& Procedure, int32_t Line) {
  const std::wstring crlf = L"\r\n";
  return L"An unexpected error has occurred in this application: " + crlf + crlf +  //
         L"Error " + std::to_wstring(Number) + crlf +                               //
         L"Description: " + Description + crlf +                                    //
         L"Project: " + Project + crlf +                                            //
         L"Module: " + Module + crlf +                                              //
         L"Procedure: " + Procedure + crlf +                                        //
         L"Line: " + std::to_wstring(Line) + crlf +                                 //
         L"Version: " + std::to_wstring(App::Major) + L"." + std::to_wstring(App::Minor) + L"." +
         std::to_wstring(App::Revision) + crlf;
}

int32_t vbwErrHandler(int32_t Number, const std::wstring& Description, const std::wstring& Project,
                      const std::wstring& Module, const std::wstring& Procedure, int32_t Line) {
  vbwRetCode = 0;
  if (Number == kPackage) {
    BuildAndSendPackage(Project);
  } else {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    vbwSavedErr = Err();
    vbwTurnOffTimers();
    DoEvents();
    vbwMessageString = vbwComposeMessage(Number, Description, Project, Module, Procedure, Line);
    vbwfHasReported = false;
    if (vbwQuiet) {
      ReportQuietly(Project);
    } else {
      Notify(L"");
      ShowErrorDialog();
      if (vbwRetCode == kReportRequest) PrepareReport();
    }
  }
  if (vbwRetCode != kReportRequest && vbwRetCode != kEnd) vbwTurnOnTimers();
  return vbwRetCode;
}

int32_t vbwReportRequested(const std::wstring& Project) {
  Attempt([] { vbwWriteVariables(); });
  return vbwErrHandler(kPackage, L"", Project, L"", L"", 0);
}

void vbwReportEscaped(const std::wstring& Module, const std::wstring& Procedure, std::exception_ptr Failure) {
  vbwTrap trap(Module.c_str(), Procedure.c_str());
  trap.Report(std::move(Failure));
}

void vbwLastResort(const std::wstring& Message) {
  const std::wstring text =
      Message + L"\r\nThe error dialog could not be shown, and the program cannot go on with this step.";
  if (!vbwQuiet) {
    MsgBox(text, MB_OK | MB_ICONERROR | MB_TOPMOST, App::Title);
  } else if (vbwErrorNotice) {
    Attempt([&] { vbwErrorNotice(text, L""); });
  }
}

void vbwTurnOffTimers() {
  vbwTurnOffTimersString = std::wstring(1, L'\0');
  for (Timer* timer : Timer::Loaded()) {
    if (!timer->Enabled()) continue;
    vbwTurnOffTimersString += TimerEntry(*timer);
    timer->SetEnabled(false);
  }
}

void vbwTurnOnTimers() {
  for (Timer* timer : Timer::Loaded()) {
    if (vbwTurnOffTimersString.find(L'\0' + TimerEntry(*timer)) != std::wstring::npos) timer->SetEnabled(true);
  }
}

bool vbwFileExists(const std::wstring& Path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(ToAnsi(Path).c_str(), GetFileExInfoStandard, &data) &&
         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring vbwReadFile(const std::wstring& Path) {
  if (!vbwFileExists(Path)) return L"";
  try {
    return FromAnsi(ReadWholeFile(Path));
  } catch (const Error&) {
    return L"";
  }
}
