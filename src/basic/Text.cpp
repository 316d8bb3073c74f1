#include "Text.h"

#include <windows.h>

#include <cwchar>

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

std::wstring Spelled(std::wstring_view text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
    const std::wstring_view character = text.substr(i, pair ? 2 : 1);
    if (ToAnsiExact(character)) {
      out += character;
    } else {
      const unsigned code =
          pair ? 0x10000 + ((unsigned(text[i]) - 0xD800) << 10) + (unsigned(text[i + 1]) - 0xDC00) : text[i];
      wchar_t spelled[16];
      swprintf(spelled, 16, L"<U+%04X>", code);
      out += spelled;
    }
    i += pair;
  }
  return out;
}

std::wstring FromAnsi(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), out.data(), n);
  return out;
}

// Keys of collections and trees, and the names of their images, go through
// here thousands of times a listing: plain ASCII changes case without a call
// into the system. `from` is the first letter of the case that changes.
static std::wstring ChangeCase(std::wstring_view text, wchar_t from, DWORD how) {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (c >= 0x80) {
      LCMapStringW(LOCALE_USER_DEFAULT, how, text.data(), int(text.size()), out.data(), int(out.size()));
      return out;
    }
    if (c >= from && c <= from + 25) c ^= 0x20;
  }
  return out;
}

std::wstring Abridged(std::wstring_view text) {
  constexpr size_t kShown = 80;
  if (text.size() <= kShown) return std::wstring(text);
  return std::wstring(text.substr(0, kShown)) + L"... (" + std::to_wstring(text.size()) + L" characters)";
}

std::wstring UCase(std::wstring_view text) { return ChangeCase(text, L'a', LCMAP_UPPERCASE); }
std::wstring LCase(std::wstring_view text) { return ChangeCase(text, L'A', LCMAP_LOWERCASE); }

std::wstring Trim(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

}  // namespace basic
