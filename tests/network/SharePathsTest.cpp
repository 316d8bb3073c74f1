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
  const struct {
    const wchar_t* text;
    bool drive, network, fullFolder, korvell;
    const wchar_t* trimmed;
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
  };
  for (const auto& c : cases) {
    const std::string text = basic::ToAnsi(c.text);
    EXPECT_EQ(IsDriveText(c.text), c.drive) << text;
    EXPECT_EQ(IsNetworkPath(c.text), c.network) << text;
    EXPECT_EQ(IsFullFolderPath(c.text), c.fullFolder) << text;
    EXPECT_EQ(IsKorvellShare(c.text), c.korvell) << text;
    EXPECT_EQ(WithoutTrailingBackslashes(c.text), c.trimmed) << text;
  }
}

TEST(TypedPath, NamesAShareOnlyAsServerAndShareOrAsADriveConnectedToOne) {
  struct Case {
    const wchar_t* typed;
    const wchar_t* path;
    const wchar_t* refusal;
  };
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
      {L"\\\\MASTER", L"", L"\"\\\\MASTER\" is not the path of a network share."},
      {L"\\\\MASTER\\", L"", L"\"\\\\MASTER\\\" is not the path of a network share."},
      {L"\\\\MASTER\\korvell\\dats", L"", L"\"\\\\MASTER\\korvell\\dats\" is not the path of a network share."},
      {L"\\\\\\korvell", L"", L"\"\\\\\\korvell\" is not the path of a network share."},
      {L"\\\\?\\C:", L"", L"\"\\\\?\\C:\" is not the path of a network share."},
      {L"K:\\dats", L"", L"\"K:\\dats\" is not the path of a network share."},
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
