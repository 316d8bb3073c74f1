#include "Text.h"

#include <windows.h>

namespace basic {

std::string ToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::optional<std::string> ToAnsiExact(std::wstring_view text) {
  std::string out = ToAnsi(text);
  if (FromAnsi(out) != text) return std::nullopt;
  return out;
}

std::wstring FromAnsi(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), out.data(), n);
  return out;
}

static std::wstring MapCase(std::wstring_view text, DWORD how) {
  std::wstring out(text);
  if (!out.empty()) LCMapStringW(LOCALE_USER_DEFAULT, how, text.data(), int(text.size()), out.data(), int(out.size()));
  return out;
}

// Keys of collections and trees go through here thousands of times a
// listing: plain ASCII is upper-cased without a call into the system.
std::wstring UCase(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (c >= 0x80) return MapCase(text, LCMAP_UPPERCASE);
    if (c >= L'a' && c <= L'z') c = wchar_t(c - (L'a' - L'A'));
  }
  return out;
}
std::wstring LCase(std::wstring_view text) { return MapCase(text, LCMAP_LOWERCASE); }

std::wstring Trim(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

}  // namespace basic
