// Sending one message through the user's mail system by Simple MAPI.
#pragma once
#include <cstdint>
#include <string>

namespace reportext {

struct MailMessage {
  std::string recipientName, recipientAddress;  // address without a transport prefix
  std::string subject, body;
  std::string attachmentPath;  // none when empty
};

// What a message that could not even be handed over answers (MAPI_E_FAILURE).
constexpr int32_t kMailFailure = 2;
// What the mail system answers when the user chose not to send (MAPI_USER_ABORT).
constexpr int32_t kMailCancelled = 1;

// The answer of MAPISendMail (0 when the mail system took the message), or
// a failure code when there is no Simple MAPI in the system.
int32_t SendSimpleMail(const MailMessage& message);

}  // namespace reportext
