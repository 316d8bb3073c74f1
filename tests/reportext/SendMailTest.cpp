// Sending the report through Simple MAPI to a mail client of the test's own,
// registered as the machine's default client for as long as a test runs.
#include <gtest/gtest.h>
#include <windows.h>

#include "ReportExtTesting.h"
#include "standins/reportext/VbwExtension.h"
#include "support/TestMailClient.h"

namespace {

TEST(SendMail, OpensTheMessageWithRecipientSubjectBodyAndAttachmentInTheMailProgram) {
  TestMailClient client;
  VbwExtension extension;
  const std::wstring attachment = L"C:\\Error Report Files\\Error report for Tamsel 1.0.0.zip";
  EXPECT_EQ(extension.SendMail(L"Korvell", L"support@korvell.example", L"Error report for Tamsel 1.0.0",
                               L"Error 5\r\n\r\nCircumstances: at start", attachment),
            0);
  EXPECT_EQ(client.Received(),
            "flags: 9\n"  // MAPI_LOGON_UI | MAPI_DIALOG: the user sees and sends the message
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
  EXPECT_EQ(client.Received(), "flags: 9\nrecipient 1: Korvell <SMTP:a@b.example>\nsubject: s\nbody: b\n");
  client.Answer("26");
  EXPECT_EQ(extension.SendMail(L"Korvell", L"a@b.example", L"s", L"b", L""), 26);
}

}  // namespace
