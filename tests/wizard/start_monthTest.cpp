// The start-month form with its real grid: the one-tick rule and O.K.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "basic/Runtime.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"
#include "wizard/start_month.h"

namespace fs = std::filesystem;

namespace {

class StartMonth : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / "korvell-start-month";
    fs::remove_all(folder);
    fs::create_directories(folder);
    net_dir = folder.wstring();
    form.Show();
  }
  void TearDown() override {
    form.Unload();
    fs::remove_all(folder);
  }

  void Tick(int month) {
    driver::ClickMonth(form.hWnd(), month);
    basic::DoEvents();
  }
  std::vector<int> Ticked() const {
    std::vector<int> rows;
    for (int i = 1; i <= 12; ++i)
      if (form.vaSpread1.Checked(i)) rows.push_back(i);
    return rows;
  }
  void PressOk() {
    ASSERT_TRUE(driver::ClickButton(form.hWnd(), "O.K."));
    basic::DoEvents();
  }
  std::string Offset() const {
    std::ifstream in(folder / "Offset.DAT", std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  fs::path folder;
  start_month form;
};

TEST_F(StartMonth, ShowsTwelveUntickedMonthsUnderTheirHeaders) {
  EXPECT_EQ(form.vaSpread1.Rows(), 12);
  EXPECT_EQ(form.vaSpread1.Text(1, 1), L"January");
  EXPECT_EQ(form.vaSpread1.Text(1, 12), L"December");
  EXPECT_TRUE(Ticked().empty());
  EXPECT_EQ(form.vaSpread1.Text(2, 5), L"0");
}

TEST_F(StartMonth, OnlyTheLastTickedMonthStaysTicked) {
  Tick(3);
  EXPECT_EQ(Ticked(), std::vector<int>{3});
  EXPECT_EQ(form.vaSpread1.Text(2, 3), L"1");
  Tick(4);
  EXPECT_EQ(Ticked(), std::vector<int>{4});
  Tick(4);  // the ticked month again: none is left
  EXPECT_TRUE(Ticked().empty());
}

TEST_F(StartMonth, OkWritesTheTickedMonthAndCloses) {
  Tick(3);
  Tick(4);
  PressOk();
  EXPECT_EQ(Offset(), "4\r\n");
  EXPECT_EQ(ini_value, L"4");
  EXPECT_FALSE(form.IsLoaded());
}

TEST_F(StartMonth, DecemberIsWrittenInTwoDigits) {
  Tick(12);
  PressOk();
  EXPECT_EQ(Offset(), "12\r\n");
}

TEST_F(StartMonth, OkWithNothingTickedWritesNothing) {
  PressOk();
  EXPECT_EQ(Offset(), "<missing>");
  EXPECT_FALSE(form.IsLoaded());

  std::ofstream(folder / "Offset.DAT", std::ios::binary) << "7\r\n";
  form.Show();
  PressOk();
  EXPECT_EQ(Offset(), "7\r\n");
}

TEST_F(StartMonth, TheKeyboardTicksAMonth) {
  HWND grid = driver::FindChild(form.hWnd(), "KorvellCheckGrid");
  SetFocus(grid);
  for (int i = 0; i < 4; ++i) SendMessageA(grid, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(grid, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(Ticked(), std::vector<int>{5});
}

}  // namespace
