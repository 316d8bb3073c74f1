#include "SimpleMapi.h"

#include <windows.h>
// after windows.h, whose types it uses
#include <mapi.h>

#include "basic/SystemLibraries.h"

namespace reportext {

int32_t SendSimpleMail(const MailMessage& message) {
  // Loaded for each message rather than imported: the program starts on a
  // machine without Simple MAPI, and the mail client is read again when the
  // library loads, so one installed meanwhile is found.
  const basic::UniqueModule mapi = basic::LoadSystemLibrary("mapi32.dll");
  if (!mapi) return kMailFailure;
  const auto send =
      reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(mapi.get(), "MAPISendMail")));
  if (!send) return MAPI_E_NOT_SUPPORTED;

  std::string name = message.recipientName, address = "SMTP:" + message.recipientAddress;
  std::string subject = message.subject, body = message.body, path = message.attachmentPath;
  std::string fileName = path.substr(path.find_last_of("\\/") + 1);
  MapiRecipDesc recipient{};
  recipient.ulRecipClass = MAPI_TO;
  recipient.lpszName = name.data();
  recipient.lpszAddress = address.data();
  MapiFileDesc attachment{};
  attachment.nPosition = ULONG(-1);
  attachment.lpszPathName = path.data();
  attachment.lpszFileName = fileName.data();
  MapiMessage mail{};
  mail.lpszSubject = subject.data();
  mail.lpszNoteText = body.data();
  mail.nRecipCount = 1;
  mail.lpRecips = &recipient;
  mail.nFileCount = path.empty() ? 0 : 1;
  mail.lpFiles = &attachment;
  // The user sees the message in their own mail program, with the archive
  // attached, and sends it there; a logon is asked for where one is needed.
  return int32_t(send(0, 0, &mail, MAPI_DIALOG | MAPI_LOGON_UI, 0));
}

}  // namespace reportext
