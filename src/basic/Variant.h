// A value of any of the kinds that the program passes where the original
// took "any value": nothing, a flag, 16- and 32-bit integers, text, bytes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace basic {

class Object;
using ByteArray = std::vector<uint8_t>;
using Variant = std::variant<std::monostate, bool, int16_t, int32_t, std::wstring, ByteArray, const Object*>;

// A form or a class instance: what the error report describes as an object,
// and whose module-level variables it writes. Every living one is listed, in
// the order of creation, so that a report can reach them all.
class Object {
 public:
  Object();
  Object(const Object&);
  Object& operator=(const Object&) { return *this; }
  virtual ~Object();

  virtual std::wstring ClassName() const = 0;
  // The module-level variables in declaration order; a record is given
  // field by field, as name.field.
  using ModuleVariable = std::pair<std::wstring, Variant>;
  virtual std::vector<ModuleVariable> ModuleVariables() const { return {}; }

  // Runtime objects (collections) are described, but have no variables of a module.
  virtual bool IsModule() const { return true; }

  static std::vector<const Object*> Living();

 private:
  uint64_t created_;
};

// The kind's name as the error report writes it ("Empty", "Long", "Byte()");
// an object's is its class name, "Nothing" for none.
std::wstring TypeName(const Variant& value);

// The value as text, as the original's conversion gives it: "12", "True",
// "" for Empty, a byte array's bytes as UTF-16 code units; none for an object.
std::optional<std::wstring> AsText(const Variant& value);

}  // namespace basic
