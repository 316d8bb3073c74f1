#include "vbwDump.h"

#include <windows.h>

#include "../basic/Files.h"
#include "../basic/Form.h"
#include "../basic/Text.h"
#include "vbwCommon.h"
#include "vbwErrHandler.h"
#include "vbwOptions.h"
#include "vbwTrap.h"

using namespace basic;

vbwObjectReport vbwObjectReporter;

namespace {

constexpr int32_t kMostDimensions = 4;

std::wstring Tabs(int32_t indent) { return std::wstring(size_t(std::max(indent, 0)), L'\t'); }

std::wstring Replace(std::wstring text, std::wstring_view what, std::wstring_view with) {
  for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

// A scalar as the dump writes it, before its type name.
std::wstring ScalarText(const Variant& value) {
  struct {
    std::wstring operator()(std::monostate) const { return L""; }
    std::wstring operator()(bool b) const { return b ? L"True" : L"False"; }
    std::wstring operator()(int16_t i) const { return std::to_wstring(i); }
    std::wstring operator()(int32_t i) const { return std::to_wstring(i); }
    std::wstring operator()(const std::wstring& s) const { return FormatString(s); }
    std::wstring operator()(const ByteArray&) const { return L""; }
    std::wstring operator()(const Object*) const { return L""; }
  } text;
  return std::visit(text, value);
}

// A byte array is an array of bytes, from 0.
vbwArray BytesAsArray(const ByteArray& bytes) {
  return {L"Byte()",
          {{0, int32_t(bytes.size()) - 1}},
          [&bytes](const std::vector<int32_t>& at) { return Variant(int16_t(bytes.at(size_t(at[0])))); }};
}

std::wstring IndexText(const std::vector<int32_t>& index) {
  std::wstring text;
  for (size_t d = 0; d < index.size(); ++d) text += (d ? L"," : L"") + std::to_wstring(index[d]);
  return text;
}

void ReportArray(const std::wstring& name, const vbwArray& array, int32_t indent) {
  const int32_t dimensions = GetArrayDimension(array);
  if (dimensions < 1 || dimensions > kMostDimensions) {
    vbwReportToFile(Tabs(indent) + L"Array " + name + L"() not processed: " + std::to_wstring(dimensions) +
                    L" dimensions");
    return;
  }
  std::wstring bounds;
  for (const auto& [lower, upper] : array.bounds)
    bounds += (bounds.empty() ? L"" : L",") + std::to_wstring(lower) + L" To " + std::to_wstring(upper);
  vbwReportToFile(Tabs(indent) + L"Array " + name + L"(" + bounds + L") As " + array.typeName);
  // The first index varies fastest.
  std::vector<int32_t> index;
  for (const auto& b : array.bounds) index.push_back(b.first);
  if (std::any_of(array.bounds.begin(), array.bounds.end(), [](auto b) { return b.second < b.first; })) return;
  for (;;) {
    const std::wstring element = name + L"(" + IndexText(index) + L")";
    try {
      vbwReportVariable(element, array.element(index), indent + 1);
    } catch (...) {
      vbwReportToFile(Tabs(indent + 1) + element + L" = {Variable Dumping Error}");
    }
    size_t d = 0;
    while (d < index.size() && ++index[d] > array.bounds[d].second) index[d] = array.bounds[d].first, ++d;
    if (d == index.size()) return;
  }
}

void WriteDumpLine(const std::string& bytes) {
  DWORD written = 0;
  WriteFile(vbwDumpFileNum.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

UniqueFile OpenDump(DWORD disposition) {
  UniqueFile file = OpenFile(vbwDumpFile, GENERIC_WRITE, disposition);
  SetFilePointer(file.get(), 0, nullptr, FILE_END);
  return file;
}

}  // namespace

void vbwReportToFile(const std::wstring& Line) {
  vbwTrap trap(L"vbwCommon", L"vbwReportToFile");
  trap(1, [&] { WriteDumpLine(ToAnsi(Line) + "\r\n"); });
}

void vbwReportVariable(const std::wstring& Name, const vbwValue& Value, int32_t Indent) {
  vbwTrap trap(L"vbwCommon", L"vbwReportVariable");
  trap(1, [&] {
    try {
      if (const auto* array = std::get_if<vbwArray>(&Value)) return ReportArray(Name, *array, Indent);
      if (const auto* record = std::get_if<vbwRecord>(&Value)) {
        for (const auto& [field, value] : record->fields) vbwReportVariable(Name + L"." + field, value, Indent);
        return;
      }
      const Variant& value = std::get<Variant>(Value);
      if (const auto* bytes = std::get_if<ByteArray>(&value)) return ReportArray(Name, BytesAsArray(*bytes), Indent);
      if (const auto* object = std::get_if<const Object*>(&value)) return vbwDumpObject(Name, *object, Indent);
      vbwReportToFile(Tabs(Indent) + Name + L" = " + ScalarText(value) + L" (" + TypeName(value) + L")");
    } catch (...) {
      vbwReportToFile(Tabs(Indent) + Name + L" = {Variable Dumping Error}");
    }
  });
}

int32_t GetArrayDimension(const vbwArray& Value) { return int32_t(Value.bounds.size()); }

std::wstring FormatString(const std::wstring& Text) {
  vbwTrap trap(L"vbwCommon", L"FormatString");
  std::wstring text = Text;
  trap(1, [&] {
    if (!text.empty() && text.back() == L'}') return;
    const size_t limit = size_t(vbwDumpStringMaxLength);
    if (limit != 0 && text.size() > limit) {
      text.resize(limit + 1);
      // A line break is never cut in two.
      if (!text.ends_with(L"\r\n")) text.resize(limit);
      text += L"{...}";
    }
    text = L"\"" + Replace(Replace(Replace(text, L"\r\n", L"<CrLf>"), L"\r", L"<Cr>"), L"\n", L"<Lf>") + L"\"";
  });
  return text;
}

void vbwDumpObject(const std::wstring& Name, const Object* Object, int32_t Indent) {
  if (Name == L"Err") {
    vbwReportToFile(L"**** ErrObject Err ****\r\n");
    vbwReportVariable(L"Err.Description", Variant(vbwSavedErr.Description), 0);
    vbwReportVariable(L"Err.HelpContext", Variant(vbwSavedErr.HelpContext), 0);
    vbwReportVariable(L"Err.HelpFile", Variant(vbwSavedErr.HelpFile), 0);
    vbwReportVariable(L"Err.LastDllError", Variant(int32_t(vbwSavedErr.LastDllError)), 0);
    vbwReportVariable(L"Err.Number", Variant(vbwSavedErr.Number), 0);
    vbwReportVariable(L"Err.Source", Variant(vbwSavedErr.Source), 0);
    return;
  }
  vbwDumpFileNum.reset();
  if (vbwObjectReporter) vbwObjectReporter(Name, Object, Indent);
  vbwDumpFileNum = OpenDump(OPEN_ALWAYS);
}

std::wstring vbwGetStack() {
  vbwTrap trap(L"vbwCommon", L"vbwGetStack");
  std::wstring stack = L"{Unavailable}";
  trap(1, [&] {
    if (!vbwTraceProc) return;
    stack.clear();
    for (int32_t i = nStackCalls; i >= 1; --i) stack += Tabs(i - 1) + vbwStackCalls.at(size_t(i - 1)) + L"\r\n";
    if (stack.empty()) stack = L"{Empty}";
  });
  return stack;
}

void vbwReportModuleVariables(const Object& object) {
  const std::wstring stars(26, L'*');
  vbwReportToFile(L"\r\n" + stars + L"\r\n* MODULE LEVEL VARIABLES *\r\n" + stars + L"\r\n");
  for (const auto& [name, value] : object.ModuleVariables()) vbwReportVariable(name, value, 0);
  if (const auto* form = dynamic_cast<const Form*>(&object)) vbwDumpObject(form->Name(), form, 0);
}

void vbwWriteVariables() {
  vbwDumpFileNum = OpenDump(CREATE_ALWAYS);
  // Which error occurred, with the system's own code, before what the forms held.
  vbwDumpObject(L"Err", nullptr, 0);
  for (const Object* object : Object::Living()) {
    const auto* form = dynamic_cast<const Form*>(object);
    if (object->IsModule() && (!form || form->IsLoaded())) vbwReportModuleVariables(*object);
  }
  vbwDumpFileNum.reset();
}
