// The runtime's keyed collection.
#include <gtest/gtest.h>

#include <windows.h>

#include "basic/Collection.h"
#include "basic/Text.h"

using basic::Collection;
using basic::Variant;

namespace {

Collection<int> ThreeItems() {
  Collection<int> c;
  c.Add(L"one", 1);
  c.Add(L"two", 2);
  c.Add(L"three", 3);
  return c;
}

std::vector<int> Items(const Collection<int>& c) { return {c.begin(), c.end()}; }

TEST(Collection, KeepsTheOrderOfAddingAndFindsByKeyOrPosition) {
  const auto c = ThreeItems();
  EXPECT_EQ(Items(c), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(*c.Item(std::wstring(L"two")), 2);
  EXPECT_EQ(*c.Item(std::wstring(L"THREE")), 3);  // keys ignore case
  EXPECT_EQ(*c.Item(int32_t(1)), 1);
  EXPECT_EQ(*c.Item(int16_t(3)), 3);
}

// Keys and image names change case without the system where they are plain
// ASCII, and must come out as the system would make them all the same.
TEST(Case, ChangesAsTheSystemDoesForAsciiAndOtherLetters) {
  const auto system = [](const std::wstring& text, DWORD how) {
    std::wstring out(text);
    LCMapStringW(LOCALE_USER_DEFAULT, how, text.data(), int(text.size()), out.data(), int(out.size()));
    return out;
  };
  for (const std::wstring text : {L"", L"share", L"\\\\MASTER\\Korvell_FAKE", L"@[`{ az AZ 09",
                                   L"\u00c4rger \u00fcber \u00d6l", L"kontor\\\u00e9t\u00e9"}) {
    EXPECT_EQ(basic::UCase(text), system(text, LCMAP_UPPERCASE)) << basic::ToAnsi(text);
    EXPECT_EQ(basic::LCase(text), system(text, LCMAP_LOWERCASE)) << basic::ToAnsi(text);
  }
}

TEST(Collection, GivesNothingForAMissingKeyAPositionOutOfRangeOrAnotherKindOfIndex) {
  const auto c = ThreeItems();
  for (const Variant& index : {Variant(std::wstring(L"four")), Variant(std::wstring()), Variant(int32_t(0)),
                               Variant(int32_t(4)), Variant(int16_t(-1)), Variant(), Variant(true)})
    EXPECT_EQ(c.Item(index), nullptr) << basic::TypeName(index).c_str();
}

TEST(Collection, ADuplicateKeyInAnyCaseIsError457AndAddsNothing) {
  auto c = ThreeItems();
  try {
    c.Add(L"TWO", 4);
    FAIL() << "no error";
  } catch (const basic::Error& e) {
    EXPECT_EQ(e.Number(), 457);
    EXPECT_EQ(e.Description(), L"This key is already associated with an element of this collection");
  }
  EXPECT_EQ(Items(c), (std::vector<int>{1, 2, 3}));
  c.Add(L"four", 4);  // the failed key left nothing behind
  EXPECT_EQ(*c.Item(int32_t(4)), 4);
}

}  // namespace
