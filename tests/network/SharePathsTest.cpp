// What a typed or chosen network path means, without any window: the texts
// of shares, drives and folders, a drive's share, and the data folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "basic/Text.h"
#include "network/MappedDrives.h"
#include "network/SharePaths.h"

namespace {

namespace fs = std::filesystem;
using namespace sharepaths;

TEST(SharePaths, WhatATextNames) {
  // Folders at the longest path the system takes, and one character past it.
  const std::wstring longest = L"C:\\" + std::wstring(kMaxFolderPath - 3, L'x');
  const std::wstring tooLong = longest + L"x";
  const struct {
    std::wstring text;
    bool drive, network, fullFolder, korvell;
    std::wstring trimmed;
    bool fits = true;  // within the path limit of a folder
  } cases[] = {
      {L"K:", true, false, false, false, L"K:"},
      {L"k:\\", true, false, true, false, L"k:"},
      {L"K:x", false, false, false, false, L"K:x"},
      {L"\\\\MASTER\\KORVELL", false, true, true, true, L"\\\\MASTER\\KORVELL"},
      {L"\\\\MASTER\\korvell\\\\", false, true, true, false, L"\\\\MASTER\\korvell"},
      {L"\\\\MASTER\\KORVELL\\dats", false, true, true, false, L"\\\\MASTER\\KORVELL\\dats"},
      {L"\\\\server\\", false, false, false, false, L"\\\\server"},
      {L"\\\\\\KORVELL", false, false, false, true, L"\\\\\\KORVELL"},
      {L"dats", false, false, false, false, L"dats"},
      {L"\\dats", false, false, false, false, L"\\dats"},
      {L"C:dats", false, false, false, false, L"C:dats"},
      {L"C:\\Korvell\\dats", false, false, true, false, L"C:\\Korvell\\dats"},
      {L"C:\\Kor?ell", false, false, false, false, L"C:\\Kor?ell"},
      // Device paths: their "server" is no machine.
      {L"\\\\.\\NUL", false, false, false, false, L"\\\\.\\NUL"},
      {L"\\\\.\\C:\\dats", false, false, false, false, L"\\\\.\\C:\\dats"},
      {L"\\\\..\\share\\dats", false, false, false, false, L"\\\\..\\share\\dats"},
      {L"\\\\?\\C:\\dats", false, false, false, false, L"\\\\?\\C:\\dats"},
      {L"\\\\?\\UNC\\MASTER\\KORVELL", false, false, false, true, L"\\\\?\\UNC\\MASTER\\KORVELL"},
      {longest, false, false, true, false, longest},
      {tooLong, false, false, true, false, tooLong, false},
  };
  for (const auto& c : cases) {
    const std::string text = basic::ToAnsi(c.text);
    EXPECT_EQ(IsDriveText(c.text), c.drive) << text;
    EXPECT_EQ(IsNetworkPath(c.text), c.network) << text;
    EXPECT_EQ(IsFullFolderPath(c.text), c.fullFolder) << text;
    EXPECT_EQ(IsKorvellShare(c.text), c.korvell) << text;
    EXPECT_EQ(WithoutTrailingBackslashes(c.text), c.trimmed) << text;
    EXPECT_EQ(FitsFolderPathLimit(c.text), c.fits) << text;
  }
}

TEST(TypedPath, NamesAShareOnlyAsServerAndShareOrAsADriveConnectedToOne) {
  struct Case {
    std::wstring typed;
    std::wstring path;
    std::wstring refusal;
  };
  // The longest share whose data folder, "\\dats" below it, fits in a path.
  const std::wstring longest = L"\\\\MASTER\\" + std::wstring(kMaxFolderPath - 5 - 9, L'k');
  const std::wstring tooLong = longest + L"k";
  const Case cases[] = {
      {L"\\\\MASTER\\korvell", L"\\\\MASTER\\korvell", L""},
      {L"\\\\MASTER\\korvell\\", L"\\\\MASTER\\korvell", L""},
      {L"  \\\\MASTER\\korvell  ", L"\\\\MASTER\\korvell", L""},
      {L"k:", L"\\\\MASTER\\korvell", L""},
      {L"K:\\", L"\\\\MASTER\\korvell", L""},
      {L"", L"", L""},
      {L"   ", L"", L""},
      {L"Q:", L"", L"Q: is not a network drive."},
      {L"L:", L"", L"L: leads to \\\\MASTER, which is not a network share."},
      {L"C:\\Korvell", L"", L"\"C:\\Korvell\" is not the path of a network share."},
      {L"abc", L"", L"\"abc\" is not the path of a network share."},
      {std::wstring(80, L'a'), L"", L"\"" + std::wstring(80, L'a') + L"\" is not the path of a network share."},
      {L"\\\\MASTER", L"", L"\"\\\\MASTER\" is not the path of a network share."},
      {L"\\\\MASTER\\", L"", L"\"\\\\MASTER\\\" is not the path of a network share."},
      {L"\\\\MASTER\\korvell\\dats", L"", L"\"\\\\MASTER\\korvell\\dats\" is not the path of a network share."},
      {L"\\\\\\korvell", L"", L"\"\\\\\\korvell\" is not the path of a network share."},
      {L"\\\\?\\C:", L"", L"\"\\\\?\\C:\" is not the path of a network share."},
      {L"K:\\dats", L"", L"\"K:\\dats\" is not the path of a network share."},
      {L"\\\\.\\PIPE", L"", L"\"\\\\.\\PIPE\" is not the path of a network share."},
      {longest, longest, L""},
      {tooLong, L"",
       L"\"" + tooLong.substr(0, 80) +
           L"... (243 characters)\" is too long: the set-up can record a share of at most "
           L"242 characters, so that its data folder fits in a path."},
      {L"\\\\" + std::wstring(70000, L'm'), L"",
       L"\"\\\\" + std::wstring(78, L'm') + L"... (70002 characters)\" is not the path of a network share."},
  };
  for (const Case& c : cases) {
    const TypedShare typed = ResolveTypedPath(c.typed, &MappedDrives);
    EXPECT_EQ(typed.path, c.path) << basic::ToAnsi(c.typed);
    EXPECT_EQ(typed.refusal, c.refusal) << basic::ToAnsi(c.typed);
  }
}

// A share holds the data folder only where "dats" is a folder, not a file.
TEST(SharePaths, TheDataFolderIsAFolderNamedDats) {
  const fs::path root = fs::temp_directory_path() / "korvell-share-paths";
  fs::remove_all(root);
  fs::create_directories(root / "folder" / "dats");
  fs::create_directories(root / "file");
  std::ofstream(root / "file" / "dats") << "not a folder";
  fs::create_directories(root / "none");
  EXPECT_TRUE(HoldsDataFolder((root / "folder").wstring()));
  EXPECT_FALSE(HoldsDataFolder((root / "file").wstring()));
  EXPECT_FALSE(HoldsDataFolder((root / "none").wstring()));
  fs::remove_all(root);
}

}  // namespace
