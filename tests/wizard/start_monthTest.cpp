// The start-month form with its real grid: the one-tick rule and O.K.
#include <gtest/gtest.h>
#include <windows.h>

#include "basic/Runtime.h"
#include "support/EndToEnd.h"
#include "support/FormsUnderTest.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"
#include "wizard/start_month.h"

namespace {

class StartMonth : public StartMonthShown {
 protected:
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
  std::string Offset() const { return endtoend::Contents(folder / "Offset.DAT"); }
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

TEST_F(StartMonth, OkWritesTheTickedMonthInOneOrTwoDigitsAndCloses) {
  const struct {
    std::vector<int> ticks;
    const char* month;
  } cases[] = {{{3, 4}, "4"}, {{12}, "12"}};
  for (const auto& [ticks, month] : cases) {
    if (!form.IsLoaded()) form.Show();
    for (int tick : ticks) Tick(tick);
    PressOk();
    EXPECT_EQ(Offset(), std::string(month) + "\r\n");
    EXPECT_EQ(ini_value, basic::FromAnsi(month));
    EXPECT_FALSE(form.IsLoaded()) << month;
  }
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
