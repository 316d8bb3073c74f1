// The variable dump of an error report ("Variables.txt") and the call-stack
// text; part of module vbwCommon. Every line goes to the open dump file.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "../basic/Variant.h"

// An array as the dump sees it: the bounds of each dimension (none for an
// array without dimensions), the type name ("String()") and a reader of one
// element, indexes in dimension order. A reader may fail.
struct vbwArray {
  std::wstring typeName;
  std::vector<std::pair<int32_t, int32_t>> bounds;
  std::function<basic::Variant(const std::vector<int32_t>&)> element;
};

// A record: its fields in order.
struct vbwRecord {
  std::vector<std::pair<std::wstring, basic::Variant>> fields;
};

using vbwValue = std::variant<basic::Variant, vbwArray, vbwRecord>;

void vbwReportToFile(const std::wstring& Line);
void vbwReportVariable(const std::wstring& Name, const vbwValue& Value, int32_t Indent);
int32_t GetArrayDimension(const vbwArray& Value);
std::wstring FormatString(const std::wstring& Text);
void vbwDumpObject(const std::wstring& Name, const basic::Object* Object, int32_t Indent);
std::wstring vbwGetStack();

// Writes the header and the module-level variables of a form or class; a
// form then writes itself.
void vbwReportModuleVariables(const basic::Object& object);

// The way from a report request to the package: writes vbwDumpFile with the
// module-level variables of every living form and class.
void vbwWriteVariables();

// Describes an object into the dump file, which is closed while it runs;
// the report package sets it to the extension's object report.
using vbwObjectReport = std::function<void(const std::wstring&, const basic::Object*, int32_t)>;
extern vbwObjectReport vbwObjectReporter;
