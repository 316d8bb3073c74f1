#include "ObjectDescription.h"

#include <windows.h>

#include "basic/Form.h"
#include "basic/Text.h"

namespace reportext {

namespace {

std::wstring WindowText(HWND window) {
  std::string text(size_t(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(size_t(GetWindowTextA(window, text.data(), int(text.size()))));
  return basic::FromAnsi(text);
}

// One line however long the text and whatever line breaks it holds.
std::wstring Quoted(std::wstring text, int32_t limit) {
  const bool cut = limit > 0 && text.size() > size_t(limit);
  if (cut) text.resize(size_t(limit));
  std::wstring out = L"\"";
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
      out += L"<CrLf>";
      ++i;
    } else if (text[i] == L'\r') {
      out += L"<Cr>";
    } else if (text[i] == L'\n') {
      out += L"<Lf>";
    } else {
      out += text[i];
    }
  }
  return out + (cut ? L"{...}\"" : L"\"");
}

std::wstring ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return basic::FromAnsi(name);
}

bool IsPasswordBox(HWND window) {
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "Edit") == 0 && (GetWindowLongA(window, GWL_STYLE) & ES_PASSWORD);
}

// Position and size in pixels, a control's within its form.
std::wstring Placement(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return L"left " + std::to_wstring(r.left) + L", top " + std::to_wstring(r.top) + L", width " +
         std::to_wstring(r.right - r.left) + L", height " + std::to_wstring(r.bottom - r.top);
}

std::wstring State(HWND window) {
  return std::wstring(IsWindowEnabled(window) ? L"enabled" : L"disabled") +
         (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE ? L", visible" : L", hidden");
}

std::wstring ControlLine(const std::wstring& name, HWND window, int32_t limit) {
  const std::wstring text = IsPasswordBox(window) ? L"(password, not shown)" : Quoted(WindowText(window), limit);
  return L"\t" + name + L" (" + ClassOf(window) + L"): " + text + L", " + Placement(window) + L", " + State(window);
}

std::vector<std::wstring> DescribeForm(const std::wstring& name, const basic::Form& form, int32_t limit) {
  std::vector<std::wstring> lines{L"Form " + name + L" (" + form.ClassName() + L")"};
  if (!form.IsLoaded()) {
    lines.push_back(L"\t(not loaded)");
    return lines;
  }
  lines.push_back(L"\tCaption: " + Quoted(WindowText(form.hWnd()), limit) + L", " + Placement(form.hWnd()) + L", " +
                  State(form.hWnd()));
  for (const auto& [control, window] : form.Controls()) lines.push_back(ControlLine(control, window, limit));
  return lines;
}

}  // namespace

std::vector<std::wstring> DescribeObject(const std::wstring& name, const basic::Object* object, int32_t textLimit) {
  if (!object) return {name + L" = Nothing"};
  if (const auto* form = dynamic_cast<const basic::Form*>(object)) return DescribeForm(name, *form, textLimit);
  return {L"Object " + name + L" (" + object->ClassName() + L")"};
}

}  // namespace reportext
