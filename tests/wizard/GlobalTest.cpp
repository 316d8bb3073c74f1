// The settings and the data files that the set-up prepares for the planner.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "basic/Err.h"
#include "basic/Runtime.h"
#include "support/EndToEnd.h"
#include "support/RegistrySandbox.h"
#include "wizard/Global.h"

namespace fs = std::filesystem;

namespace {

class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = fs::path(temp) / ("korvell-data-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::wstring File(const char* name) const { return (folder / name).wstring(); }

  static std::string Contents(const std::wstring& path) { return endtoend::Contents(path); }
  static void Put(const std::wstring& path, const std::string& bytes) {
    std::ofstream(fs::path(path), std::ios::binary) << bytes;
  }

  fs::path folder;
};

TEST_F(DataFiles, TheYearFileIsNamedByTheYear) {
  EXPECT_EQ(yearfile::FileName(2026), L"2026.DAT");
  EXPECT_EQ(yearfile::RecordNumber(1, 1), 1);
  EXPECT_EQ(yearfile::RecordNumber(2, 1), 301);
  EXPECT_EQ(yearfile::RecordNumber(12, 300), 3600);
}

// New, or over every record of what was there.
TEST_F(DataFiles, AYearFileIsPreparedInFullWithOneStepPerCharacter) {
  const std::wstring path = File("2026.DAT");
  for (const bool existed : {false, true}) {
    if (existed) Put(path, std::string(111600, '7'));
    YearFile file(path);
    EXPECT_FALSE(file.IsPrepared());
    int steps = 0;
    file.Prepare([&] { ++steps; });
    EXPECT_EQ(steps, 111600);
    EXPECT_TRUE(file.IsPrepared());
    EXPECT_EQ(Contents(path), std::string(111600, '0'));
  }
}

TEST_F(DataFiles, OnlyAFileBeginningWithZeroOrOneCountsAsPrepared) {
  const struct {
    std::string content;
    bool prepared;
  } cases[] = {{"1000", true}, {"0", true}, {"", false}, {"X000", false}, {std::string(31, '\0'), false}};
  for (const auto& c : cases) {
    Put(File("y.DAT"), c.content);
    EXPECT_EQ(YearFile(File("y.DAT")).IsPrepared(), c.prepared) << c.content;
  }
}

TEST_F(DataFiles, AnInterruptedPreparationIsNotTakenAsPrepared) {
  for (const int stopAfter : {5, 31 * 1000, 111599}) {
    fs::remove(File("y.DAT"));
    {
      YearFile file(File("y.DAT"));
      int steps = 0;
      EXPECT_THROW(file.Prepare([&] {
        if (++steps == stopAfter) throw std::runtime_error("power cut");
      }),
                   std::runtime_error);
    }
    YearFile again(File("y.DAT"));
    EXPECT_FALSE(again.IsPrepared()) << stopAfter;
    again.Prepare([] {});
    EXPECT_EQ(Contents(File("y.DAT")), std::string(111600, '0'));
  }
}

// The preparation repaints its bar when the pacer is due. A repaint slower
// than the interval (a slow display) must still leave it a whole interval of
// work, or it repaints at every pixel that the bar grows and takes seconds.
TEST(Pacer, CountsItsIntervalFromTheEndOfWhatItPaced) {
  basic::Pacer pacer(200);
  EXPECT_FALSE(pacer.Due());
  Sleep(250);
  ASSERT_TRUE(pacer.Due());
  Sleep(250);  // a repaint slower than the interval
  pacer.Restart();
  EXPECT_FALSE(pacer.Due());
}

TEST_F(DataFiles, OffsetHoldsTheMonthAndCrLfAndReplacesWhatWasThere) {
  Put(File("Offset.DAT"), "12\r\nold content");
  WriteOffsetFile(File("Offset.DAT"), 3);
  EXPECT_EQ(Contents(File("Offset.DAT")), "3\r\n");
  WriteOffsetFile(File("Offset.DAT"), 12);
  EXPECT_EQ(Contents(File("Offset.DAT")), "12\r\n");
}

TEST_F(DataFiles, TouchingCreatesAnEmptyFileAndKeepsAnExistingOne) {
  TouchFile(File("Boxes.DAT"));
  EXPECT_EQ(Contents(File("Boxes.DAT")), "");
  Put(File("names.DAT"), "Ada;Grace");
  TouchFile(File("names.DAT"));
  EXPECT_EQ(Contents(File("names.DAT")), "Ada;Grace");
}

TEST_F(DataFiles, AMissingFolderIsARunTimeError) {
  const std::wstring missing = File("no such folder") + L"\\Boxes.DAT";
  try {
    TouchFile(missing);
    FAIL() << "no error";
  } catch (const basic::Error& e) {
    EXPECT_EQ(e.Number(), basic::errPathNotFound);
  }
  EXPECT_THROW(WriteOffsetFile(missing, 1), basic::Error);
  EXPECT_THROW(YearFile{missing}, basic::Error);
}

TEST(Settings, WritingNetdirChangesTheExistingNetDirValue) {
  RegistrySandbox sandbox(HKEY_CURRENT_USER, "Software\\KorvellTests");
  const std::wstring key = L"Software\\KorvellTests\\Network Korvell";
  CRegistry reg;
  ASSERT_TRUE(reg.SetValue(key, kValueNetDir, std::wstring(L"C:\\Korvell\\dats"), REG_SZ, kHKeyCurrentUser));
  ASSERT_TRUE(reg.SetValue(key, kValueNetDirSlave, std::wstring(L"\\\\MASTER\\KORVELL\\dats"), REG_SZ,
                           kHKeyCurrentUser));
  reg.GetValue(key, kValueNetDir, ini_value, kHKeyCurrentUser);
  EXPECT_EQ(ini_value, L"\\\\MASTER\\KORVELL\\dats");
  std::vector<std::wstring> names;
  reg.Init(kHKeyCurrentUser);
  EXPECT_EQ(reg.GetAllValueNames(key, names), 1);
}

}  // namespace
