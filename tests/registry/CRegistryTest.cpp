// The registry class against the real registry of the test prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include "basic/Text.h"
#include "registry/CRegistry.h"
#include "support/ErrorDialogStandIn.h"
#include "support/RegistrySandbox.h"
#include "wizard/Global.h"

using basic::ByteArray;

namespace {

class Registry : public ::testing::Test {
 protected:
  static constexpr const char* kKey = "Software\\KorvellTests\\CRegistry";
  const std::wstring key = L"Software\\KorvellTests\\CRegistry";

  std::wstring Read(const std::wstring& name, const std::wstring& keyName) {
    ini_value = L"stale";
    reg.GetValue(keyName, name, std::wstring(L"default"), kHKeyCurrentUser);
    return ini_value;
  }
  std::wstring Read(const std::wstring& name) { return Read(name, key); }

  bool Write(const std::wstring& name, const basic::Variant& value, int32_t type) {
    return reg.SetValue(key, name, value, type, kHKeyCurrentUser);
  }

  // The type and bytes that the registry holds for a value.
  std::pair<DWORD, std::string> Stored(const char* name) {
    DWORD type = 0, size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) != 0)
      return {0, "<missing>"};
    std::string data(size, '\0');
    RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
    data.resize(size);
    return {type, data};
  }

  void Raw(const char* name, DWORD type, const std::string& data) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, name, type, data.data(), DWORD(data.size())), 0);
  }

  RegistrySandbox sandbox{HKEY_CURRENT_USER, "Software\\KorvellTests"};
  CRegistry reg;
};

// Each value as the registry holds it, type and bytes, and as it reads back.
// Any value that is not an object is written as text where text is asked for;
// numbers go in machine order, whatever order was asked.
TEST_F(Registry, EachValueIsStoredWholeAndReadsBack) {
  const struct {
    basic::Variant value;
    int32_t asked;
    DWORD type;
    std::string bytes;
    std::wstring read;
  } rows[] = {
      {std::wstring(L"Network Korvell"), REG_SZ, REG_SZ, {"Network Korvell\0", 16}, L"Network Korvell"},
      {std::wstring(), REG_SZ, REG_SZ, {"\0", 1}, L""},
      {int32_t(12), REG_SZ, REG_SZ, {"12\0", 3}, L"12"},
      {int16_t(-3), REG_EXPAND_SZ, REG_SZ, {"-3\0", 3}, L"-3"},
      {true, REG_SZ, REG_SZ, {"True\0", 5}, L"True"},
      {basic::Variant(), REG_SZ, REG_SZ, {"\0", 1}, L""},
      {int32_t(0x12345678), REG_DWORD, REG_DWORD, "\x78\x56\x34\x12", L"305419896"},
      {int32_t(1), REG_DWORD_BIG_ENDIAN, REG_DWORD, {"\1\0\0\0", 4}, L"1"},
      {int16_t(-2), REG_DWORD, REG_DWORD, "\xFE\xFF\xFF\xFF", L"-2"},
      {ByteArray{'a', 0, 'b', 0}, REG_BINARY, REG_BINARY, {"a\0b\0", 4}, L"ab"},
  };
  for (const auto& row : rows) {
    EXPECT_TRUE(Write(L"Value", row.value, row.asked)) << basic::ToAnsi(row.read);
    EXPECT_EQ(Stored("Value"), std::make_pair(row.type, row.bytes)) << basic::ToAnsi(row.read);
    EXPECT_EQ(Read(L"value"), row.read);  // names ignore case
  }
  EXPECT_FALSE(Write(L"Object", basic::Variant(static_cast<const basic::Object*>(nullptr)), REG_SZ));
  EXPECT_EQ(Stored("Object").second, "<missing>");
}

TEST_F(Registry, TheStoredTextTypeFollowsThePercentSignsNotTheTypeAskedFor) {
  struct Case {
    const wchar_t* text;
    int32_t asked;
    DWORD stored;
  };
  const Case cases[] = {
      {L"%WINDIR%\\x", REG_SZ, REG_EXPAND_SZ}, {L"100%", REG_EXPAND_SZ, REG_SZ},  {L"%%", REG_SZ, REG_SZ},
      {L"a%%b", REG_EXPAND_SZ, REG_SZ},        {L"%a%", REG_SZ, REG_EXPAND_SZ},   {L"x%%%", REG_SZ, REG_EXPAND_SZ},
      {L"plain", REG_EXPAND_SZ, REG_SZ},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Write(L"V", std::wstring(c.text), c.asked));
    EXPECT_EQ(Stored("V").first, c.stored) << std::string(c.text, c.text + wcslen(c.text));
  }
}

TEST_F(Registry, AnExpandableTextIsReadExpanded) {
  SetEnvironmentVariableA("KORVELL_TEST_VAR", "expanded");
  Raw("E", REG_EXPAND_SZ, std::string("[%KORVELL_TEST_VAR%]\0", 22));
  EXPECT_EQ(Read(L"E"), L"[expanded]");
}

TEST_F(Registry, ABigEndianNumberIsReadWithItsBytesReversed) {
  Raw("BE", REG_DWORD_BIG_ENDIAN, std::string("\x78\x56\x34\x12", 4));
  EXPECT_EQ(Read(L"BE"), L"2018915346");
  EXPECT_EQ(CRegistry::SwapEndian(0x12345678), 0x78563412);
  EXPECT_EQ(CRegistry::SwapEndian(int32_t(0xFF000080)), int32_t(0x800000FF));
}

TEST_F(Registry, BytesBecomeTheRawCharacterDataOfTheText) {
  Raw("Odd", REG_BINARY, "abc");  // an odd byte keeps its own character
  EXPECT_EQ(Read(L"Odd"), std::wstring({wchar_t(0x6261), wchar_t(0x63)}));
  Raw("Link", REG_LINK, std::string("x\0y\0", 4));
  EXPECT_EQ(Read(L"Link"), L"xy");
  Raw("None", REG_NONE, "");
  EXPECT_EQ(Read(L"None"), L"");
}

TEST_F(Registry, AMultiStringKeepsItsInnerSeparators) {
  Raw("Multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9));
  EXPECT_EQ(Read(L"Multi"), std::wstring(L"one\0two\0", 8));
}

TEST_F(Registry, AMegabyteValueRoundTrips) {
  const std::wstring big(1 << 20, L'k');
  EXPECT_TRUE(Write(L"Big", big, REG_SZ));
  EXPECT_EQ(Read(L"Big"), big);
}

TEST_F(Registry, AMissingKeyOrValueReadsAsEmptyWhateverTheDefault) {
  EXPECT_EQ(Read(L"Absent"), L"");
  EXPECT_EQ(Read(L"Absent", key + L"\\Nowhere"), L"");
}

TEST_F(Registry, WritesThatDoNotFitTheTypeStoreNothingButTheKeyPath) {
  const std::wstring deep = key + L"\\a\\b";
  EXPECT_FALSE(reg.SetValue(deep, L"Multi", std::wstring(L"x"), REG_MULTI_SZ, kHKeyCurrentUser));
  EXPECT_FALSE(Write(L"Bin", std::wstring(L"text"), REG_BINARY));
  EXPECT_FALSE(Write(L"Num", std::wstring(L"12"), REG_DWORD));
  reg.SetRootKey(kHKeyCurrentUser);
  EXPECT_TRUE(reg.KeyExists(deep));
  std::vector<std::wstring> names;
  EXPECT_EQ(reg.GetAllValueNames(key, names), 0);
  EXPECT_EQ(reg.GetAllValueNames(deep, names), 0);
}

TEST_F(Registry, NamesWithoutAnAnsiEquivalentNeverReachAnotherKey) {
  const std::wstring foreign = key + L"\\\x4E00";
  EXPECT_FALSE(reg.SetValue(foreign, L"v", std::wstring(L"x"), REG_SZ, kHKeyCurrentUser));
  EXPECT_FALSE(Write(L"\x4E00", std::wstring(L"x"), REG_SZ));
  reg.SetRootKey(kHKeyCurrentUser);
  EXPECT_FALSE(reg.KeyExists(key + L"\\?"));
  EXPECT_EQ(reg.ValueType(key, L"?"), 0);
}

TEST_F(Registry, OperationsWithoutARootArgumentWorkBelowTheObjectsRoot) {
  EXPECT_EQ(reg.RootKey(), kHKeyClassesRoot);
  EXPECT_FALSE(reg.KeyExists(key));
  ASSERT_TRUE(Write(L"S", std::wstring(L"x"), REG_SZ));
  ASSERT_TRUE(Write(L"D", int32_t(1), REG_DWORD));
  ASSERT_TRUE(reg.CreateKey(key + L"\\Beta", kHKeyCurrentUser));
  ASSERT_TRUE(reg.CreateKey(key + L"\\Alpha", kHKeyCurrentUser));

  reg.Init(kHKeyCurrentUser);
  EXPECT_TRUE(reg.KeyExists(key));
  EXPECT_EQ(reg.ValueType(key, L"S"), REG_SZ);
  EXPECT_EQ(reg.ValueType(key, L"D"), REG_DWORD);
  EXPECT_EQ(reg.ValueType(key, L"Absent"), 0);

  std::vector<std::wstring> names{L"old"};
  EXPECT_EQ(reg.GetAllSubKeys(key, names), 2);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"Beta"}));
  EXPECT_EQ(reg.GetAllValueNames(key, names), 2);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"D", L"S"}));
  EXPECT_EQ(reg.GetAllSubKeys(key + L"\\Nowhere", names), 0);
  EXPECT_TRUE(names.empty());

  EXPECT_TRUE(reg.DeleteValue(key, L"S"));
  EXPECT_FALSE(reg.DeleteValue(key, L"S"));
  EXPECT_TRUE(reg.DeleteKey(key + L"\\Alpha"));
  EXPECT_FALSE(reg.KeyExists(key + L"\\Alpha"));
}

TEST_F(Registry, AnEmptyKeyNameIsReportedAsAnErrorOfTheOperation) {
  ErrorDialogStandIn user({4, 6});  // retry once, then leave
  EXPECT_FALSE(reg.SetValue(L"", L"v", std::wstring(L"x"), REG_SZ, kHKeyCurrentUser));
  ASSERT_EQ(user.Errors().size(), 2u);
  const auto& err = user.Errors()[0].err;
  EXPECT_EQ(err.Number, -2147203503);
  EXPECT_EQ(err.Description, L"Invalid KeyName value");
  EXPECT_EQ(err.Source, L"Tamsel32.CRegistry");
  EXPECT_NE(user.Errors()[0].message.find(L"Module: CRegistry\r\nProcedure: SetValue\r\n"), std::wstring::npos);

  ErrorDialogStandIn leave({6});
  EXPECT_FALSE(reg.KeyExists(L""));
  EXPECT_FALSE(reg.CreateKey(L""));
  EXPECT_EQ(reg.ValueType(L"", L"v"), 0);
  EXPECT_EQ(leave.Errors().size(), 3u);
}

TEST_F(Registry, ATextValueOfNoBytesIsAComponentFailureForTheCaller) {
  Raw("Zero", REG_SZ, "");
  try {
    Read(L"Zero");
    FAIL() << "no error";
  } catch (const basic::Error& e) {
    EXPECT_EQ(e.Number(), -2147203501);
    EXPECT_EQ(e.Description(), L"CRegistry component failure");
    EXPECT_EQ(e.Source(), L"Tamsel32.CRegistry");
  }
}

TEST_F(Registry, ExpandEnvStrExpandsVariables) {
  SetEnvironmentVariableA("KORVELL_TEST_VAR", "value");
  EXPECT_EQ(reg.ExpandEnvStr(L"a %KORVELL_TEST_VAR% b %NOT_DEFINED_HERE%"), L"a value b %NOT_DEFINED_HERE%");
  EXPECT_EQ(reg.ExpandEnvStr(L""), L"");
}

}  // namespace
