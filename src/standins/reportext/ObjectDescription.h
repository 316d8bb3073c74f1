// How an object of the variable dump is described: a form with its
// controls, any other object by its class, or Nothing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "basic/Variant.h"

namespace reportext {

// The lines of the description; the lines about a form's parts start with
// one more tab than its header. Texts longer than textLimit (when not 0) are
// cut; the text of a password box is never read.
std::vector<std::wstring> DescribeObject(const std::wstring& name, const basic::Object* object, int32_t textLimit);

}  // namespace reportext
