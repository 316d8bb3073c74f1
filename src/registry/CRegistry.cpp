#include "CRegistry.h"

#include "../basic/App.h"
#include "../basic/Err.h"
#include "../basic/Handles.h"
#include "../basic/Text.h"
#include "../errorreport/vbwTrap.h"
#include "../wizard/Global.h"

using namespace basic;

namespace {

constexpr REGSAM kQuery = KEY_QUERY_VALUE;          // 1
constexpr REGSAM kEnumerate = KEY_ENUMERATE_SUB_KEYS;  // 8
constexpr REGSAM kWrite = 0x3F;                     // query, set, create, enumerate, notify, link

std::wstring Source() { return std::wstring(App::EXEName) + L".CRegistry"; }

// A key or value name with a character that has no ANSI equivalent would
// name another key; such a name is treated as one the registry refuses.
std::optional<std::string> Name(const std::wstring& name) { return ToAnsiExact(name); }

UniqueKey OpenKey(HKEY root, const std::wstring& keyName, REGSAM access) {
  const auto name = Name(keyName);
  HKEY key = nullptr;
  if (!name || RegOpenKeyExA(root, name->c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return UniqueKey(key);
}

UniqueKey CreateKeyPath(HKEY root, const std::wstring& keyName) {
  const auto name = Name(keyName);
  if (!name) return nullptr;
  SECURITY_ATTRIBUTES security{};  // default security for the new key
  char emptyClass[] = "";
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, name->c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE, kWrite, &security, &key,
                      nullptr) != ERROR_SUCCESS)
    return nullptr;
  return UniqueKey(key);
}

struct RawValue {
  DWORD type = REG_NONE;
  std::string data;
};

// The value's type and data; none when the value cannot be read.
std::optional<RawValue> ReadRaw(HKEY key, const std::string& valueName) {
  RawValue value;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, valueName.c_str(), nullptr, &value.type, nullptr, &size);
  while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
    value.data.resize(size);
    rc = RegQueryValueExA(key, valueName.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()),
                          &size);
    if (rc == ERROR_SUCCESS) {
      value.data.resize(size);
      return value;
    }
  }
  return std::nullopt;
}

std::wstring TextValue(std::string data) {
  if (data.empty()) Raise(errInvalidCall);  // no terminating NUL to remove
  if (data.back() == '\0') data.pop_back();
  return FromAnsi(data);
}

int32_t NumberValue(const std::string& data) {
  uint32_t number = 0;
  memcpy(&number, data.data(), std::min(data.size(), sizeof number));
  return int32_t(number);
}

// Bytes become the raw character data of the text, two bytes a character.
std::wstring BytesAsText(const std::string& data) {
  std::wstring text((data.size() + 1) / 2, L'\0');
  memcpy(text.data(), data.data(), data.size());
  return text;
}

// The type and data that SetValue stores for a value; none when the value
// does not fit the type asked for.
std::optional<RawValue> Encode(const Variant& value, int32_t valueType) {
  switch (valueType) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      const auto text = AsText(value);
      if (!text) return std::nullopt;
      const DWORD type = CRegistry::HoldsVariableReference(*text) ? REG_EXPAND_SZ : REG_SZ;
      return RawValue{type, ToAnsi(*text) + '\0'};
    }
    case REG_BINARY: {
      if (!std::holds_alternative<ByteArray>(value)) return std::nullopt;
      const auto& bytes = std::get<ByteArray>(value);
      return RawValue{REG_BINARY, std::string(bytes.begin(), bytes.end())};
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
      int32_t number = 0;
      if (const auto* i = std::get_if<int16_t>(&value)) number = *i;
      else if (const auto* l = std::get_if<int32_t>(&value)) number = *l;
      else return std::nullopt;
      std::string data(sizeof number, '\0');
      memcpy(data.data(), &number, sizeof number);
      return RawValue{REG_DWORD, data};  // machine order, whatever was asked
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

// The key name is checked under the operation's own trap; any other failure
// ends the operation and reaches the caller as a component failure.
template <class Result, class Body>
Result CRegistry::Operation(const wchar_t* name, const std::wstring* keyToValidate, Result result, Body body) {
  vbwTrap trap(L"CRegistry", name);
  if (keyToValidate) {
    trap(1, [&] {
      if (keyToValidate->empty()) Raise(kInvalidKeyName, L"Invalid KeyName value", Source());
    });
    if (trap.Leaving()) return result;
  }
  try {
    return body();
  } catch (...) {
    Raise(kComponentFailure, L"CRegistry component failure", Source());
  }
}

HKEY CRegistry::Root(std::optional<int32_t> RootKey) const {
  return reinterpret_cast<HKEY>(uintptr_t(uint32_t(RootKey.value_or(m_RootKey))));
}

bool CRegistry::CreateKey(const std::wstring& KeyName, std::optional<int32_t> RootKey) {
  return Operation(L"CreateKey", &KeyName, false, [&] { return CreateKeyPath(Root(RootKey), KeyName) != nullptr; });
}

bool CRegistry::DeleteKey(const std::wstring& KeyName, std::optional<int32_t> RootKey) {
  return Operation(L"DeleteKey", &KeyName, false, [&] {
    const auto name = Name(KeyName);
    return name && RegDeleteKeyA(Root(RootKey), name->c_str()) == ERROR_SUCCESS;
  });
}

bool CRegistry::DeleteValue(const std::wstring& KeyName, const std::wstring& ValueName) {
  return Operation(L"DeleteValue", &KeyName, false, [&] {
    const auto key = OpenKey(Root({}), KeyName, kWrite);
    const auto name = Name(ValueName);
    return key && name && RegDeleteValueA(key.get(), name->c_str()) == ERROR_SUCCESS;
  });
}

int32_t CRegistry::GetAllSubKeys(const std::wstring& KeyName, std::vector<std::wstring>& Names) {
  return Operation(L"GetAllSubKeys", nullptr, int32_t(0), [&] {
    Names.clear();
    const auto key = OpenKey(Root({}), KeyName, kEnumerate);
    if (!key) return int32_t(0);
    char buffer[256];
    for (DWORD index = 0; RegEnumKeyA(key.get(), index, buffer, sizeof buffer) == ERROR_SUCCESS; ++index)
      Names.push_back(FromAnsi(std::string_view(buffer, strnlen(buffer, sizeof buffer))));
    return int32_t(Names.size());
  });
}

int32_t CRegistry::GetAllValueNames(const std::wstring& KeyName, std::vector<std::wstring>& Names) {
  return Operation(L"GetAllValueNames", nullptr, int32_t(0), [&] {
    Names.clear();
    const auto key = OpenKey(Root({}), KeyName, kQuery);
    if (!key) return int32_t(0);
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
      return int32_t(0);
    std::string buffer(longest + 1, '\0');
    for (DWORD index = 0;;) {
      DWORD length = DWORD(buffer.size());
      const LONG rc = RegEnumValueA(key.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_MORE_DATA) {  // a name longer in ANSI than the key announced
        buffer.resize(buffer.size() * 2);
        continue;
      }
      if (rc != ERROR_SUCCESS) break;
      Names.push_back(FromAnsi(std::string_view(buffer.data(), length)));
      ++index;
    }
    return int32_t(Names.size());
  });
}

void CRegistry::GetValue(const std::wstring& KeyName, const std::wstring& ValueName, const Variant& /*Default*/,
                         std::optional<int32_t> RootKey) {
  Operation(L"GetValue", nullptr, 0, [&] {
    std::wstring text;
    const auto key = OpenKey(Root(RootKey), KeyName, kQuery);
    const auto name = Name(ValueName);
    if (const auto value = key && name ? ReadRaw(key.get(), *name) : std::nullopt) {
      switch (value->type) {
        case REG_SZ:
        case REG_MULTI_SZ: text = TextValue(value->data); break;
        case REG_EXPAND_SZ: text = ExpandEnvStr(TextValue(value->data)); break;
        case REG_DWORD: text = std::to_wstring(NumberValue(value->data)); break;
        case REG_DWORD_BIG_ENDIAN: text = std::to_wstring(SwapEndian(NumberValue(value->data))); break;
        default: text = BytesAsText(value->data); break;
      }
    }
    ini_value = text;
    return 0;
  });
}

bool CRegistry::KeyExists(const std::wstring& KeyName) {
  return Operation(L"KeyExists", &KeyName, false, [&] { return OpenKey(Root({}), KeyName, kQuery) != nullptr; });
}

bool CRegistry::SetValue(const std::wstring& KeyName, const std::wstring& ValueName, const Variant& Value,
                         int32_t ValueType, std::optional<int32_t> RootKey) {
  return Operation(L"SetValue", &KeyName, false, [&] {
    const auto key = CreateKeyPath(Root(RootKey), KeyName);
    if (!key) return false;
    const auto name = Name(ValueName);
    const auto raw = Encode(Value, ValueType);
    return name && raw &&
           RegSetValueExA(key.get(), name->c_str(), 0, raw->type, reinterpret_cast<const BYTE*>(raw->data.data()),
                          DWORD(raw->data.size())) == ERROR_SUCCESS;
  });
}

int32_t CRegistry::ValueType(const std::wstring& KeyName, const std::wstring& ValueName) {
  return Operation(L"ValueType", &KeyName, int32_t(0), [&] {
    const auto key = OpenKey(Root({}), KeyName, kQuery);
    const auto name = Name(ValueName);
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!key || !name) return int32_t(0);
    const LONG rc = RegQueryValueExA(key.get(), name->c_str(), nullptr, &type, nullptr, &size);
    return rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA ? int32_t(type) : int32_t(0);
  });
}

std::wstring CRegistry::ExpandEnvStr(const std::wstring& Text) {
  const std::string source = ToAnsi(Text);
  const DWORD size = ExpandEnvironmentStringsA(source.c_str(), nullptr, 0);
  std::string buffer(size, '\0');
  ExpandEnvironmentStringsA(source.c_str(), buffer.data(), size);
  return FromAnsi(std::string_view(buffer.c_str()));
}

int32_t CRegistry::SwapEndian(int32_t x) {
  const uint32_t u = uint32_t(x);
  return int32_t((u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24));
}

bool CRegistry::HoldsVariableReference(const std::wstring& text) {
  const auto first = text.find(L'%');
  return first != std::wstring::npos && text.find(L'%', first + 2) != std::wstring::npos;
}
