// Processor exceptions: those of the program's own code arrive in the trap of
// the procedure that had them; those that nothing handles are reported by the
// process's last resort, and the program then ends with the exception's code.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "basic/App.h"
#include "basic/Form.h"
#include "basic/Text.h"
#include "errorreport/vbwCommon.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "errorreport/vbwTrap.h"
#include "support/EmulatedProcessor.h"
#include "support/ErrorDialogStandIn.h"
#include "support/TestMailClient.h"
#include "support/WizardDriver.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kUnknownCode = 0xE0001234;

void Breakpoint() { __debugbreak(); }

struct PageRelease {
  void operator()(void* page) const { VirtualFree(page, 0, MEM_RELEASE); }
};

void TouchGuardPage() {
  const std::unique_ptr<void, PageRelease> page(
      VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD));
  *static_cast<volatile int*>(page.get()) = 1;
}

// The system's own copy, so that the fault happens inside a system DLL.
using CopyFunction = void* (*)(void*, const void*, size_t);
void CopyFromNowhere() {
  static const auto copy = reinterpret_cast<CopyFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), "memcpy")));
  char target[64];
  copy(target, reinterpret_cast<const void*>(16), sizeof target);
}

void RaiseUnknown() { RaiseException(kUnknownCode, 0, 0, nullptr); }

// Each frame keeps a buffer that is read after the call returns, so that the
// recursion cannot become a loop; its end is nowhere the compiler can see.
volatile int g_bottom = INT_MAX;
[[gnu::noinline]] int Deeper(int depth) {
  if (depth == g_bottom) return 0;
  volatile char frame[256];
  frame[depth % 256] = char(depth);
  return Deeper(depth + 1) + frame[(depth * 7) % 256];
}
void OverflowTheStack() { (void)Deeper(0); }

// A guarded procedure whose third statement has the fault.
void Guarded(void (*fault)()) {
  vbwTrap trap(L"TestModule", L"Guarded");
  trap(3, [&] { fault(); });
}

class Exceptions : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vbwInitialize(); }
};

TEST_F(Exceptions, BreakpointAndGuardPageOfOwnCodeArriveInTheTrapAsError65535) {
  SKIP_WHERE_FAULTS_ARE_EMULATED();
  const std::vector<std::pair<void (*)(), const wchar_t*>> faults{
      {&Breakpoint, L"Exception: Breakpoint"},
      {&TouchGuardPage, L"Exception: Guard Page"},
  };
  for (const auto& [fault, name] : faults) {
    ErrorDialogStandIn user({6});
    bool after = false;
    vbwTrap trap(L"TestModule", L"Own");
    trap(5, [&] {
      fault();
      after = true;
    });
    EXPECT_FALSE(after) << basic::ToAnsi(name);
    ASSERT_EQ(user.Errors().size(), 1u) << basic::ToAnsi(name);
    EXPECT_EQ(user.Errors()[0].err.Number, 65535);
    EXPECT_EQ(user.Errors()[0].err.Description, name);
    EXPECT_NE(user.Errors()[0].message.find(L"Procedure: Own\r\nLine: 5"), std::wstring::npos);
  }
}

// The user at the error dialog of a child process: each message goes to the
// standard error on one line, where the parent's pattern finds it, and after
// a report, the files of the package; the answers come from a list, the last
// one repeating. A test can have something more done while the dialog is up.
std::vector<int32_t> g_answers;
size_t g_shown = 0;
void (*g_whileShown)() = nullptr;

std::string PackageFiles() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(vbwErrorPath)))
    names.insert(entry.path().filename().string());
  std::string list;
  for (const auto& name : names) list += " " + name;
  return list;
}

void TellAndAnswer() {
  std::string line = basic::ToAnsi(vbwMessageString);
  for (size_t at; (at = line.find("\r\n")) != std::string::npos;) line.replace(at, 2, " / ");
  if (vbwfHasReported) line += "package:" + PackageFiles();
  fprintf(stderr, "%s\n", line.c_str());
  fflush(stderr);
  vbwRetCode = g_answers[std::min(g_shown++, g_answers.size() - 1)];
  if (g_whileShown) g_whileShown();
}

// Runs in the child: has the fault, with TellAndAnswer at the dialog.
void FaultWithAnswers(void (*fault)(), std::vector<int32_t> answers, void (*whileShown)() = nullptr) {
  g_answers = std::move(answers);
  g_whileShown = whileShown;
  vbwShowErrorDialog = &TellAndAnswer;
  fault();
  fprintf(stderr, "the fault was survived\n");
  std::exit(0);
}

TEST_F(Exceptions, AFaultInASystemDllIsReportedWithItsPackageAndEndsWithItsCode) {
  SKIP_WHERE_FAULTS_ARE_EMULATED();
  TestMailClient mail;
  fs::remove_all(fs::path(basic::App::Path()) / vbwReportFolderName);
  EXPECT_EXIT(FaultWithAnswers([] { Guarded(&CopyFromNowhere); }, {8, 4}),
              ::testing::ExitedWithCode(int(EXCEPTION_ACCESS_VIOLATION)),
              "Error 65535 / Description: Exception: Access Violation / Project: Tamsel / "
              "Module: TestModule / Procedure: Guarded / Line: 3 / .*\n.*package: .*\\.zip Error\\.txt System\\.txt "
              "Variables\\.txt Version\\.txt\n");
  fs::remove_all(fs::path(basic::App::Path()) / vbwReportFolderName);
}

TEST_F(Exceptions, AnUnknownCodeEndsWithItsCodeWhenTheUserClosesTheProgram) {
  EXPECT_EXIT(FaultWithAnswers([] { Guarded(&RaiseUnknown); }, {3}), ::testing::ExitedWithCode(int(kUnknownCode)),
              "Error 65535 / Description: Unknown Exception / Project: Tamsel / Module: TestModule / "
              "Procedure: Guarded / Line: 3 / Version: .*\n");
}

TEST_F(Exceptions, OutsideAnyGuardedProcedureTheFilterIsNamedAndTheDialogLeftEndsTheProgram) {
  EXPECT_EXIT(FaultWithAnswers(&RaiseUnknown, {4}), ::testing::ExitedWithCode(int(kUnknownCode)),
              "Error 65535 / Description: Unknown Exception / Project: Tamsel / Module: vbwCommon / "
              "Procedure: vbwExceptionFilter / Line: 0 / Version: .*\n");
}

// A second fault while the first is reported ends the program with the first
// one's code; reported in turn, it would end it with its own.
TEST_F(Exceptions, ASecondFaultWhileReportingEndsTheProgramWithTheFirstCode) {
  EXPECT_EXIT(FaultWithAnswers([] { Guarded(&RaiseUnknown); }, {6}, &CopyFromNowhere),
              ::testing::ExitedWithCode(int(kUnknownCode)), "Error 65535 / Description: Unknown Exception / .*\n");
}

TEST_F(Exceptions, AStackOverflowIsReportedOnAStackOfItsOwnAndEndsWithItsCode) {
  EXPECT_EXIT(FaultWithAnswers([] { Guarded(&OverflowTheStack); }, {4}),
              ::testing::ExitedWithCode(int(EXCEPTION_STACK_OVERFLOW)),
              "Error 65535 / Description: Exception: Stack Overflow / Project: Tamsel / Module: TestModule / "
              "Procedure: Guarded / Line: 3 / Version: .*\n");
}

// The real dialog over a form of the program, which it disables while it is
// up: after a stack overflow the report must still run on the thread that owns
// the form, or the program would hang on it.
const basic::FormSpec kOpenForm{L"OpenForm", L"Open form", 3000, 2000};
class OpenForm : public basic::Form {
 public:
  OpenForm() : Form(kOpenForm, {}) {}
};

// Presses the dialog's Close button from another thread; a program that has
// not ended some time after that, or shows no dialog, ends with code 1.
void PressCloseOnTheErrorDialog() {
  std::thread([] {
    if (HWND dialog = driver::WaitForWindow(GetCurrentProcessId(), &driver::IsErrorDialog, 10000))
      if (driver::ClickButton(dialog, "Close")) Sleep(10000);
    ExitProcess(1);
  }).detach();
}

TEST_F(Exceptions, TheRealDialogsCloseEndsWithTheCodeOfAStackOverflowWhileAFormIsOpen) {
  EXPECT_EXIT(
      {
        vbwShowErrorDialog = &vbwShowFrmErrHandler;
        OpenForm form;
        form.Show();
        PressCloseOnTheErrorDialog();
        Guarded(&OverflowTheStack);
      },
      ::testing::ExitedWithCode(int(EXCEPTION_STACK_OVERFLOW)), "");
}

}  // namespace
