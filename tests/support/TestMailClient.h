// The test mail client, registered as the machine's default mail client for
// as long as the object lives; it records what it receives beside the test
// program and answers what the test tells it.
#pragma once
#include <windows.h>

#include <string>

#include "reportext/ReportExtTesting.h"
#include "support/RegistrySandbox.h"

namespace testmail {

constexpr const char* kClients = "Software\\Clients\\Mail";
constexpr const char* kClientName = "Korvell Test Mail";

inline std::string DefaultClient() {
  char name[MAX_PATH] = "";
  DWORD size = sizeof name;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kClients, nullptr, RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS)
    return {};
  return name;
}

inline void SetDefaultClient(const std::string& name) {
  if (name.empty()) {
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kClients, nullptr);
    return;
  }
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kClients, nullptr, REG_SZ, name.c_str(), DWORD(name.size() + 1));
}

// The test client as the default mail client; the previous default comes back
// when the test ends.
class TestMailClient {
 public:
  TestMailClient() : previous_(DefaultClient()) {
    const std::string dll = ThisFolder() + "\\TestMailProvider.dll";
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, client_.Path().c_str(), "DLLPath", REG_SZ, dll.c_str(), DWORD(dll.size() + 1));
    SetDefaultClient(kClientName);
    SetEnvironmentVariableA("KORVELL_TEST_MAIL_RECORD", record_.c_str());
    DeleteFileA(record_.c_str());
  }
  ~TestMailClient() {
    SetDefaultClient(previous_);
    SetEnvironmentVariableA("KORVELL_TEST_MAIL_RECORD", nullptr);
    SetEnvironmentVariableA("KORVELL_TEST_MAIL_ANSWER", nullptr);
    DeleteFileA(record_.c_str());
  }
  void Answer(const char* code) { SetEnvironmentVariableA("KORVELL_TEST_MAIL_ANSWER", code); }
  std::string Received() const { return ReadFileText(record_); }

 private:
  RegistrySandbox client_{HKEY_LOCAL_MACHINE, std::string(kClients) + "\\" + kClientName};
  std::string previous_;
  std::string record_ = ThisFolder() + "\\reportext-mail.txt";
};


}  // namespace testmail

using testmail::TestMailClient;
