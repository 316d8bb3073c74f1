// Start-up of the error layer, exception names and the debugger link.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "basic/App.h"
#include "errorreport/vbwCommon.h"
#include "errorreport/vbwOptions.h"
#include "support/RegistrySandbox.h"

namespace {

TEST(vbwInitialize, SetsTheShippedOptionsAndFilesOnceOnly) {
  vbwInitialize();
  EXPECT_EQ(vbwDumpStringMaxLength, 128);
  EXPECT_TRUE(vbwException);
  EXPECT_FALSE(vbwDebugger);
  EXPECT_FALSE(vbwTraceProc);
  EXPECT_EQ(vbwEmailRecipientName, L"Korvell");
  EXPECT_NE(vbwEmailRecipientAdress.find(L'@'), std::wstring::npos);
  EXPECT_EQ(vbwLogFile, basic::App::Path() + L"\\vbwTamsel32.exe.log");
  // The dump file changes with a report; its first path shows in a fresh process.
  EXPECT_EXIT(
      {
        vbwInitialize();
        std::exit(vbwDumpFile == basic::App::Path() + L"\\vbwTamsel32.exe.dmp" ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");

  vbwDumpStringMaxLength = 7;
  vbwEmailRecipientName = L"changed";
  vbwInitialize();
  EXPECT_EQ(vbwDumpStringMaxLength, 7);
  EXPECT_EQ(vbwEmailRecipientName, L"changed");
  vbwDumpStringMaxLength = 128;
  vbwEmailRecipientName = L"Korvell";
}

TEST(vbwExceptionName, NamesEveryCodeOfTheTable) {
  const std::vector<std::pair<uint32_t, const wchar_t*>> table{
      {0x80000001, L"Exception: Guard Page"},
      {0x80000002, L"Exception: Datatype Misalignment"},
      {0x80000003, L"Exception: Breakpoint"},
      {0x80000004, L"Exception: Single Step"},
      {0xC0000005, L"Exception: Access Violation"},
      {0xC0000006, L"Exception: In Page Error"},
      {0xC0000008, L"Exception: Invalid Handle"},
      {0xC000001D, L"Exception: Illegal Instruction"},
      {0xC0000025, L"Exception: Non Continuable Exception"},
      {0xC0000026, L"Exception: Invalid Disposition"},
      {0xC000008C, L"Exception: Array Bounds Exceeded"},
      {0xC000008D, L"Exception: Float Denormal Operand"},
      {0xC000008E, L"Exception: Float Divide By Zero"},
      {0xC000008F, L"Exception: Float Inexact Result"},
      {0xC0000090, L"Exception: Float Invalid Operation"},
      {0xC0000091, L"Exception: Float Overflow"},
      {0xC0000092, L"Exception: Float Stack Check"},
      {0xC0000093, L"Exception: Float Underflow"},
      {0xC0000094, L"Exception: Integer Divide By Zero"},
      {0xC0000095, L"Exception: Integer Overflow"},
      {0xC0000096, L"Exception: Priv Instruction"},
      {0xC00000FD, L"Exception: Stack Overflow"},
      {0xC000013A, L"Exception: Control C Exit"},
  };
  for (const auto& [code, name] : table) EXPECT_EQ(vbwExceptionName(code), name) << std::hex << code;
  for (uint32_t other : {0u, 0xC0000007u, 0xE06D7363u, 0x80000005u})
    EXPECT_EQ(vbwExceptionName(other), L"Unknown Exception") << std::hex << other;
}

TEST(vbwIsInIDE, IsFalseForAnOrdinaryProgram) { EXPECT_FALSE(vbwIsInIDE()); }

// A stand-in for the external debugger window: it publishes its handle in the
// per-user settings, answers the registration and records every message.
class DebuggerWindow {
 public:
  struct Message {
    WPARAM wParam;
    ULONG_PTR type;
    std::string text;
  };

  explicit DebuggerWindow(bool accepts, const char* newId = "4242") : accepts_(accepts) {
    thread_ = std::thread([this] { Run(); });
    while (!window_) Sleep(1);
    const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(window_.load()));
    Publish("hWnd", handle.c_str());
    Publish("NewID", newId);
  }
  ~DebuggerWindow() {
    Publish("hWnd", "0");
    PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  std::vector<Message> Received() const { return messages_; }

 private:
  static void Publish(const char* name, const char* value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, vbwDebuggerSettingsKey, name, REG_SZ, value, DWORD(strlen(value) + 1));
  }

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DebuggerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && self) {
      const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      self->messages_.push_back({wParam, data.dwData, std::string(static_cast<const char*>(data.lpData), data.cbData)});
      return data.dwData == ULONG_PTR(-1) && self->accepts_ ? -999999 : 0;
    }
    if (message == WM_CLOSE) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  void Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Proc;
    windowClass.lpszClassName = "TestDebuggerWindow";
    windowClass.hInstance = GetModuleHandleA(nullptr);
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("TestDebuggerWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(window);
  }

  bool accepts_;
  std::atomic<HWND> window_ = nullptr;
  std::vector<Message> messages_;
  std::thread thread_;
};

class DebuggerLink : public ::testing::Test {
 protected:
  void SetUp() override {
    vbwDebugger = true;
    DebuggerID = 0;
  }
  void TearDown() override {
    vbwDebugger = false;
    vbwSendDebugger(0, L"");  // the published handle is 0 again: nothing is sent
  }
  RegistrySandbox settings{HKEY_CURRENT_USER, vbwDebuggerSettingsKey};
};

TEST_F(DebuggerLink, ANewWindowLearnsOfTheRunThenOfEveryClass) {
  {
    DebuggerWindow debugger(true);
    vbwDeclareInstances();
    const auto messages = debugger.Received();
    ASSERT_EQ(messages.size(), 10u);
    EXPECT_EQ(messages[0].wParam, 0u);  // registration
    EXPECT_EQ(messages[0].type, ULONG_PTR(-1));
    EXPECT_EQ(messages[1].wParam, 4242u);  // the start message, under the published id
    EXPECT_EQ(messages[1].type, 0u);
    const std::string start = messages[1].text;
    EXPECT_EQ(start.substr(0, start.find('|')), std::to_string(GetCurrentThreadId()));
    EXPECT_NE(start.find("\\Tamsel32.exe|"), std::string::npos);
    EXPECT_EQ(start.back(), '\0');
    const char* classes[] = {"Class NetResource", "Class NetResources", "Form frmPassword", "Form frmNWCheck",
                             "Form Continue",     "Form frmProcessing", "Form start_month", "Class CRegistry"};
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(messages[2 + i].type, 4u);
      EXPECT_EQ(messages[2 + i].wParam, 4242u);
      EXPECT_EQ(messages[2 + i].text, std::string(classes[i]) + '\0');
    }
  }
}

TEST_F(DebuggerLink, TextIsCutTo1024CharactersAndAnIdIsMadeUpWhenNoneIsPublished) {
  DebuggerWindow debugger(true, "0");
  vbwSendDebugger(4, std::wstring(3000, L'x'));
  const auto messages = debugger.Received();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_NE(messages[2].wParam, 0u);
  EXPECT_LT(messages[2].wParam, 1u << 30);
  EXPECT_EQ(messages[2].text, std::string(1024, 'x') + '\0');
}

TEST_F(DebuggerLink, AWindowThatRefusesTheRegistrationGetsNothingAndIsAskedAgain) {
  DebuggerWindow debugger(false);
  vbwSendDebugger(4, L"one");
  vbwSendDebugger(4, L"two");
  // Each message tries the registration again: the first one twice, once
  // for the start message that a new window must receive first.
  const auto messages = debugger.Received();
  ASSERT_EQ(messages.size(), 3u);
  for (const auto& m : messages) EXPECT_EQ(m.type, ULONG_PTR(-1));
  EXPECT_EQ(DebuggerID, 0);
}

TEST_F(DebuggerLink, WithTheShippedOptionsNothingIsDeclared) {
  DebuggerWindow debugger(true);
  vbwDebugger = false;
  vbwDeclareInstances();
  EXPECT_TRUE(debugger.Received().empty());
}

}  // namespace
