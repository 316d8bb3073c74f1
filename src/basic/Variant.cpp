#include "Variant.h"

#include <array>
#include <map>

namespace basic {

namespace {
// By creation number: a tree of ten thousand objects goes at once. Objects
// of static storage may outlive the list at the end of the program.
struct LivingList {
  std::map<uint64_t, const Object*> objects;
  bool alive = true;
  ~LivingList() { alive = false; }
};
LivingList& LivingObjects() {
  static LivingList list;
  return list;
}
uint64_t g_created = 0;
}  // namespace

Object::Object() : created_(++g_created) { LivingObjects().objects.emplace(created_, this); }
Object::Object(const Object&) : Object() {}
Object::~Object() {
  if (LivingList& list = LivingObjects(); list.alive) list.objects.erase(created_);
}

std::vector<const Object*> Object::Living() {
  std::vector<const Object*> objects;
  for (const auto& entry : LivingObjects().objects) objects.push_back(entry.second);
  return objects;
}

std::wstring TypeName(const Variant& value) {
  static constexpr std::array<const wchar_t*, std::variant_size_v<Variant> - 1> kNames{
      L"Empty", L"Boolean", L"Integer", L"Long", L"String", L"Byte()"};
  if (const auto* object = std::get_if<const Object*>(&value)) return *object ? (*object)->ClassName() : L"Nothing";
  return kNames[value.index()];
}

std::optional<std::wstring> AsText(const Variant& value) {
  struct {
    std::optional<std::wstring> operator()(std::monostate) const { return L""; }
    std::optional<std::wstring> operator()(bool b) const { return b ? L"True" : L"False"; }
    std::optional<std::wstring> operator()(int16_t i) const { return std::to_wstring(i); }
    std::optional<std::wstring> operator()(int32_t i) const { return std::to_wstring(i); }
    std::optional<std::wstring> operator()(const std::wstring& s) const { return s; }
    std::optional<std::wstring> operator()(const ByteArray& bytes) const {
      std::wstring text;
      for (size_t i = 0; i + 1 < bytes.size(); i += 2) text += wchar_t(bytes[i] | bytes[i + 1] << 8);
      return text;
    }
    std::optional<std::wstring> operator()(const Object*) const { return std::nullopt; }
  } text;
  return std::visit(text, value);
}

}  // namespace basic
