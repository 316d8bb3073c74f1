#include "Variant.h"

#include <array>

namespace basic {

std::wstring TypeName(const Variant& value) {
  static constexpr std::array<const wchar_t*, std::variant_size_v<Variant>> kNames{
      L"Empty", L"Boolean", L"Integer", L"Long", L"String", L"Byte()"};
  return kNames[value.index()];
}

}  // namespace basic
