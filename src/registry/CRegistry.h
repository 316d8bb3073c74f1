// The wizard's access to the registry. GetValue leaves what it reads, as
// text, in the shared ini_value of module Global.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "../basic/Variant.h"

// The registry's predefined root keys, as the numbers the program passes around.
inline constexpr int32_t kHKeyClassesRoot = int32_t(0x80000000);
inline constexpr int32_t kHKeyCurrentUser = int32_t(0x80000001);
inline constexpr int32_t kHKeyLocalMachine = int32_t(0x80000002);

class CRegistry : public basic::Object {
 public:
  std::wstring ClassName() const override { return L"CRegistry"; }
  std::vector<ModuleVariable> ModuleVariables() const override { return {{L"m_RootKey", m_RootKey}}; }

  static constexpr int32_t kInvalidKeyName = int32_t(0x80040000) + 18001;
  static constexpr int32_t kComponentFailure = int32_t(0x80040000) + 18003;

  CRegistry() = default;

  void Init(int32_t RootKey) { m_RootKey = RootKey; }
  int32_t RootKey() const { return m_RootKey; }
  void SetRootKey(int32_t eKey) { m_RootKey = eKey; }

  bool CreateKey(const std::wstring& KeyName, std::optional<int32_t> RootKey = {});
  bool DeleteKey(const std::wstring& KeyName, std::optional<int32_t> RootKey = {});
  bool DeleteValue(const std::wstring& KeyName, const std::wstring& ValueName);
  // Names is filled with the entries 1 to count (stored from index 0).
  int32_t GetAllSubKeys(const std::wstring& KeyName, std::vector<std::wstring>& Names);
  int32_t GetAllValueNames(const std::wstring& KeyName, std::vector<std::wstring>& Names);
  // The value, as text, goes to ini_value; Default is not consulted: a
  // missing key or value always reads as the empty text.
  void GetValue(const std::wstring& KeyName, const std::wstring& ValueName, const basic::Variant& Default,
                std::optional<int32_t> RootKey = {});
  bool KeyExists(const std::wstring& KeyName);
  // False when nothing was written. Callers that store settings must act on
  // it: a setting that silently failed to be stored is lost.
  bool SetValue(const std::wstring& KeyName, const std::wstring& ValueName, const basic::Variant& Value,
                int32_t ValueType = REG_SZ, std::optional<int32_t> RootKey = {});
  int32_t ValueType(const std::wstring& KeyName, const std::wstring& ValueName);

  std::wstring ExpandEnvStr(const std::wstring& Text);
  static int32_t SwapEndian(int32_t x);

  // Whether SetValue stores a text as REG_EXPAND_SZ: a "%" with a further "%"
  // at least two positions after it.
  static bool HoldsVariableReference(const std::wstring& text);

 private:
  template <class Result, class Body>
  Result Operation(const wchar_t* name, const std::wstring* keyToValidate, Result result, Body body);
  HKEY Root(std::optional<int32_t> RootKey) const;

  int32_t m_RootKey = kHKeyClassesRoot;
};
