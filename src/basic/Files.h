// Files as the program opens, reads and writes them: by path, through the
// ANSI functions, every failure a run-time error ("Path not found", ...).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "Handles.h"

namespace basic {

// Shared for reading and writing: a log or a data file may be open elsewhere.
UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD disposition);
// Writes every byte; a short write is a full disk.
void WriteAll(HANDLE file, std::string_view bytes);
// Creates or replaces the file with these bytes.
void WriteNewFile(const std::wstring& path, std::string_view bytes);
std::string ReadWholeFile(const std::wstring& path);

}  // namespace basic
