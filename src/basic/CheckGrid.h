// A grid of text cells with a header row, whose last column holds check
// boxes. Rows are numbered from 1 and columns from 1, as the forms count
// them. The mouse or Space ticks a box; Up and Down move between rows. A
// screen reader reads it as a list of check boxes named by their rows, named
// itself by its window text; it is told of each move and tick.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace basic {

class CheckGrid {
 public:
  static constexpr const char* kClassName = "KorvellCheckGrid";
  static void Register();

  CheckGrid() = default;
  ~CheckGrid();
  CheckGrid(const CheckGrid&) = delete;
  CheckGrid& operator=(const CheckGrid&) = delete;

  // Takes over a window of kClassName.
  void Attach(HWND window);
  void SetColumns(std::vector<std::wstring> headers, std::vector<int> widthsTwips);
  void SetRows(std::vector<std::wstring> firstColumn);

  int Rows() const { return int(rows_.size()); }
  bool Checked(int row) const { return rows_.at(size_t(row - 1)).checked; }
  void SetChecked(int row, bool checked);
  // "1" for a ticked box, "0" for an unticked one; the text for other cells.
  std::wstring Text(int column, int row) const;

  HWND hWnd() const { return window_; }
  // The row that the keyboard is on.
  int Current() const { return current_; }
  // A row's rectangle in the grid's client area; the row at a point of it (0
  // for the header).
  RECT RowRect(int row) const;
  int RowAt(POINT client) const;
  // Moves to a row, and takes the focus if asked; ticks or unticks a row's
  // box as the user does.
  void Select(int row, bool takeFocus);
  void Tick(int row);

  // Called after the user ticks or unticks a box: column, row, new state.
  std::function<void(int, int, bool)> ButtonClicked;

 private:
  struct Row {
    std::wstring text;
    bool checked = false;
  };
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);
  RECT Cell(int column, int row) const;  // row 0 is the header
  int RowHeight() const;
  void MoveCurrent(int row);
  void AnnounceFocus() const;

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<std::wstring> headers_;
  std::vector<int> widths_;  // pixels
  std::vector<Row> rows_;
  int current_ = 1;
};

}  // namespace basic
