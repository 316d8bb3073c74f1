// Text at the boundary with the operating system: the program keeps UTF-16,
// every system call takes and gives text in the ANSI code page.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace basic {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);
// The ANSI form of a name that must not be confused with another one: none
// when a character has no equivalent in the code page.
std::optional<std::string> ToAnsiExact(std::wstring_view text);
// The text with each character that the code page cannot carry written as
// <U+XXXX>: how such a name is told where only ANSI text goes (a log, a
// message box), instead of a "?" that names nothing.
std::wstring Spelled(std::wstring_view text);

// A text for a message: whole when it is short, else its start, "..." and
// how many characters it has, so that a message stays readable.
std::wstring Abridged(std::wstring_view text);

std::wstring UCase(std::wstring_view text);
std::wstring LCase(std::wstring_view text);
std::wstring Trim(std::wstring_view text);  // blanks only, as the original's Trim

}  // namespace basic
