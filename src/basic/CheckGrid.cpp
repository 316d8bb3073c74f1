#include "CheckGrid.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "CheckGridAccessible.h"
#include "Err.h"
#include "Form.h"
#include "Runtime.h"
#include "Text.h"

namespace basic {

void CheckGrid::Register() {
  static const bool registered = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &CheckGrid::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExA(&windowClass) != 0;
  }();
  (void)registered;
}

CheckGrid::~CheckGrid() {
  if (IsWindow(window_)) SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
}

void CheckGrid::Attach(HWND window) {
  window_ = window;
  font_ = reinterpret_cast<HFONT>(SendMessageA(GetParent(window), WM_GETFONT, 0, 0));
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void CheckGrid::SetColumns(std::vector<std::wstring> headers, std::vector<int> widthsTwips) {
  headers_ = std::move(headers);
  widths_.clear();
  for (int w : widthsTwips) widths_.push_back(TwipsToPixels(w));
  InvalidateRect(window_, nullptr, TRUE);
}

void CheckGrid::SetRows(std::vector<std::wstring> firstColumn) {
  rows_.clear();
  for (auto& text : firstColumn) rows_.push_back({std::move(text), false});
  // Whole rows only: the window loses the pixels that do not make a row.
  RECT client, frame;
  GetClientRect(window_, &client);
  GetWindowRect(window_, &frame);
  const int spare = int(client.bottom - client.top) - RowHeight() * (Rows() + 1);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - spare,
               SWP_NOMOVE | SWP_NOZORDER);
  InvalidateRect(window_, nullptr, TRUE);
}

void CheckGrid::SetChecked(int row, bool checked) {
  bool& box = rows_.at(size_t(row - 1)).checked;
  if (box == checked) return;
  box = checked;
  const RECT cell = Cell(int(headers_.size()), row);
  InvalidateRect(window_, &cell, TRUE);
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT, row);
}

std::wstring CheckGrid::Text(int column, int row) const {
  const Row& r = rows_.at(size_t(row - 1));
  if (column == int(headers_.size())) return r.checked ? L"1" : L"0";
  return column == 1 ? r.text : L"";
}

RECT CheckGrid::RowRect(int row) const {
  RECT client;
  GetClientRect(window_, &client);
  const int h = RowHeight();
  return RECT{0, row * h, client.right, (row + 1) * h};
}

int CheckGrid::RowAt(POINT client) const { return std::clamp(int(client.y) / RowHeight(), 0, Rows()); }

void CheckGrid::Select(int row, bool takeFocus) {
  if (takeFocus) SetFocus(window_);
  MoveCurrent(row);
}

int CheckGrid::RowHeight() const {
  RECT client;
  GetClientRect(window_, &client);
  return std::max(1L, (client.bottom - client.top) / LONG(rows_.size() + 1));
}

RECT CheckGrid::Cell(int column, int row) const {
  int left = 0;
  for (int c = 1; c < column; ++c) left += widths_.at(size_t(c - 1));
  RECT client;
  GetClientRect(window_, &client);
  const int right = column == int(widths_.size()) ? client.right : left + widths_.at(size_t(column - 1));
  const int h = RowHeight();
  return RECT{left, row * h, right, (row + 1) * h};
}

void CheckGrid::Paint(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  if (font_) SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  HPEN grid = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldPen = SelectObject(dc, grid);
  const int columns = int(headers_.size());
  for (int row = 0; row <= Rows(); ++row) {
    for (int column = 1; column <= columns; ++column) {
      RECT cell = Cell(column, row);
      if (row == 0) {
        FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &cell, EDGE_RAISED, BF_RECT);
      } else {
        MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
        LineTo(dc, cell.right, cell.bottom - 1);
        LineTo(dc, cell.right - 1, cell.top - 1);
      }
      if (row > 0 && row == current_ && column == 1 && GetFocus() == window_) {
        FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      } else {
        SetTextColor(dc, GetSysColor(row == 0 ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
      }
      if (row > 0 && column == columns) {
        const int box = std::min<int>(cell.bottom - cell.top - 4, Scaled(13));
        const int x = (cell.left + cell.right - box) / 2, y = (cell.top + cell.bottom - box) / 2;
        RECT r{x, y, x + box, y + box};
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | (rows_[size_t(row - 1)].checked ? DFCS_CHECKED : 0));
        continue;
      }
      const std::string text = ToAnsi(row == 0 ? headers_[size_t(column - 1)] : Text(column, row));
      RECT inner{cell.left + Scaled(4), cell.top, cell.right - Scaled(2), cell.bottom};
      DrawTextA(dc, text.c_str(), int(text.size()), &inner,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (row == 0 ? DT_CENTER : DT_LEFT));
    }
  }
  SelectObject(dc, oldPen);
  DeleteObject(grid);
}

void CheckGrid::Tick(int row) {
  if (row < 1 || row > Rows()) return;
  MoveCurrent(row);
  SetChecked(row, !Checked(row));
  if (ButtonClicked) ButtonClicked(int(headers_.size()), row, Checked(row));
}

void CheckGrid::MoveCurrent(int row) {
  const int before = std::exchange(current_, std::clamp(row, 1, std::max(1, Rows())));
  InvalidateRect(window_, nullptr, TRUE);
  if (current_ != before) AnnounceFocus();
}

// The row that has the keyboard is the focus of a reader.
void CheckGrid::AnnounceFocus() const {
  if (GetFocus() == window_) NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, current_);
}

LRESULT CheckGrid::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      Paint(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      SetFocus(window_);
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const int row = p.y / RowHeight();
      const RECT box = Cell(int(headers_.size()), row);
      if (row >= 1 && PtInRect(&box, p))
        Tick(row);
      else if (row >= 1)
        MoveCurrent(row);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE)
        Tick(current_);
      else if (wParam == VK_UP)
        MoveCurrent(current_ - 1);
      else if (wParam == VK_DOWN)
        MoveCurrent(current_ + 1);
      else if (wParam == VK_HOME)
        MoveCurrent(1);
      else if (wParam == VK_END)
        MoveCurrent(Rows());
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      InvalidateRect(window_, nullptr, TRUE);
      AnnounceFocus();
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_GETOBJECT:
      // The system's own object for anything else; and for the grid too,
      // where the accessibility library cannot be loaded.
      if (LONG(lParam) == OBJID_CLIENT) {
        try {
          return CheckGridAccessible::Serve(window_, wParam);
        } catch (const Error&) {
        }
      }
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK CheckGrid::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* grid = reinterpret_cast<CheckGrid*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!grid) return DefWindowProcA(window, message, wParam, lParam);
  // The owner's click procedure traps its own errors; whatever escapes is
  // reported, and nothing may unwind into the system.
  try {
    return grid->Handle(message, wParam, lParam);
  } catch (...) {
    ReportEscapedError(L"CheckGrid", L"WindowProc");
    return 0;
  }
}

}  // namespace basic
