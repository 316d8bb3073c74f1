#include "Variant.h"

#include <array>

namespace basic {

std::wstring TypeName(const Variant& value) {
  static constexpr std::array<const wchar_t*, std::variant_size_v<Variant> - 1> kNames{
      L"Empty", L"Boolean", L"Integer", L"Long", L"String", L"Byte()"};
  if (const auto* object = std::get_if<const Object*>(&value)) return *object ? (*object)->ClassName() : L"Nothing";
  return kNames[value.index()];
}

}  // namespace basic
