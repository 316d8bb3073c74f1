// A value of any of the kinds that the program passes where the original
// took "any value": nothing, a flag, 16- and 32-bit integers, text, bytes.
#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace basic {

// What the error report describes as an object: a form or a class instance.
class Object {
 public:
  virtual ~Object() = default;
  virtual std::wstring ClassName() const = 0;
};

using ByteArray = std::vector<uint8_t>;
using Variant = std::variant<std::monostate, bool, int16_t, int32_t, std::wstring, ByteArray, const Object*>;

// The kind's name as the error report writes it ("Empty", "Long", "Byte()");
// an object's is its class name, "Nothing" for none.
std::wstring TypeName(const Variant& value);

}  // namespace basic
