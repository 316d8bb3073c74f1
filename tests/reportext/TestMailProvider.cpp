// A mail client for the tests: Simple MAPI's MAPISendMail that records what
// it was given in the file named by KORVELL_TEST_MAIL_RECORD and answers the
// number in KORVELL_TEST_MAIL_ANSWER (0 when unset).
#include <windows.h>
// after windows.h, whose types it uses
#include <mapi.h>

#include <cstdlib>
#include <fstream>

namespace {

std::string Environment(const char* name) {
  char value[MAX_PATH] = "";
  return std::string(value, GetEnvironmentVariableA(name, value, MAX_PATH));
}

const char* OrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

extern "C" ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG) {
  std::ofstream record(Environment("KORVELL_TEST_MAIL_RECORD"), std::ios::binary | std::ios::app);
  record << "flags: " << flags << "\n";
  for (ULONG i = 0; i < message->nRecipCount; ++i) {
    const MapiRecipDesc& to = message->lpRecips[i];
    record << "recipient " << to.ulRecipClass << ": " << OrEmpty(to.lpszName) << " <" << OrEmpty(to.lpszAddress)
           << ">\n";
  }
  record << "subject: " << OrEmpty(message->lpszSubject) << "\n";
  record << "body: " << OrEmpty(message->lpszNoteText) << "\n";
  for (ULONG i = 0; i < message->nFileCount; ++i)
    record << "attachment: " << OrEmpty(message->lpFiles[i].lpszPathName) << "\n";
  return ULONG(std::strtoul(Environment("KORVELL_TEST_MAIL_ANSWER").c_str(), nullptr, 10));
}
