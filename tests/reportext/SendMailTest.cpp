// Sending the report through Simple MAPI to a mail client of the test's own,
// registered as the machine's default client for as long as a test runs.
#include <gtest/gtest.h>
#include <windows.h>

#include "ReportExtTesting.h"
#include "standins/reportext/VbwExtension.h"
#include "support/RegistrySandbox.h"

namespace {

constexpr const char* kClients = "Software\\Clients\\Mail";
constexpr const char* kClientName = "Korvell Test Mail";

std::string DefaultClient() {
  char name[MAX_PATH] = "";
  DWORD size = sizeof name;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kClients, nullptr, RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS)
    return {};
  return name;
}

void SetDefaultClient(const std::string& name) {
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

TEST(SendMail, HandsRecipientSubjectBodyAndAttachmentToTheMailClientWithoutDialog) {
  TestMailClient client;
  VbwExtension extension;
  const std::wstring attachment = L"C:\\Error Report Files\\Error report for Tamsel 1.0.0.zip";
  EXPECT_EQ(extension.SendMail(L"Korvell", L"support@korvell.example", L"Error report for Tamsel 1.0.0",
                               L"Error 5\r\n\r\nCircumstances: at start", attachment),
            0);
  EXPECT_EQ(client.Received(),
            "flags: 0\n"
            "recipient 1: Korvell <SMTP:support@korvell.example>\n"
            "subject: Error report for Tamsel 1.0.0\n"
            "body: Error 5\r\n\r\nCircumstances: at start\n"
            "attachment: C:\\Error Report Files\\Error report for Tamsel 1.0.0.zip\n");
}

TEST(SendMail, AnswersTheMailClientsRefusalAndSendsWithoutAttachmentWhenNoneIsNamed) {
  TestMailClient client;
  client.Answer("1");  // the user cancelled
  VbwExtension extension;
  EXPECT_EQ(extension.SendMail(L"Korvell", L"a@b.example", L"s", L"b", L""), 1);
  EXPECT_EQ(client.Received(), "flags: 0\nrecipient 1: Korvell <SMTP:a@b.example>\nsubject: s\nbody: b\n");
  client.Answer("26");
  EXPECT_EQ(extension.SendMail(L"Korvell", L"a@b.example", L"s", L"b", L""), 26);
}

}  // namespace
