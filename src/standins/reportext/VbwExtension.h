// The report extension of the error dialog: our own stand-in for the outside
// control that writes the version and system reports, packs the report
// folder into a zip archive, sends it by e-mail and describes objects in the
// variable dump. The handler sets the properties and calls the members
// directly; nothing here shows a window.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "basic/Variant.h"

class VbwExtension {
 public:
  // Set by the handler before a report; only what the members below use has
  // any effect.
  std::wstring DumpPath;               // the file that object reports are appended to
  int32_t StringLimit = 0;             // longest text of an object report, 0 for no limit
  int32_t SizeValue = 0;               // accepted, no effect
  std::wstring SymbolData;             // accepted, no effect
  HINSTANCE InstanceHandle = nullptr;  // the program's module; the running program's when none
  std::wstring CommandLine;
  std::wstring RuntimeLibrary;  // a library whose version the version report names
  std::wstring References;      // library names separated by ";"

  // Lines separated by CR LF, without a line break at the end.
  std::wstring VersionReport() const;
  std::wstring SystemReport() const;

  // Writes archiveName into folder, holding the folder's other regular files.
  // Raises a run-time error when a file cannot be read or written.
  void Compress(const std::wstring& folder, const std::wstring& archiveName) const;

  // Opens the message, archive attached, in the user's mail program for the
  // user to send: 0 when it was sent, kMailCancelled when the user chose not
  // to, else the mail system's code (or a failure code when there is none).
  // Never throws.
  int32_t SendMail(const std::wstring& recipientName, const std::wstring& recipientAddress, const std::wstring& subject,
                   const std::wstring& body, const std::wstring& attachmentPath) const noexcept;

  // Appends a description of the object to the dump file, in the ANSI code
  // page, each line behind indent tabs. Raises a run-time error when the file
  // cannot be written.
  void ObjectReport(const std::wstring& name, const basic::Object* object, int32_t indent) const;
};
