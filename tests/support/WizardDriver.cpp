#include "WizardDriver.h"

#include <commctrl.h>

#include <vector>

namespace driver {

namespace {

struct Search {
  DWORD process;
  const WindowTest* test;
  HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if ((search.process && process != search.process) || !IsWindowVisible(window) || !(*search.test)(window)) return TRUE;
  search.found = window;
  return FALSE;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool IsForm(HWND window) { return ClassOf(window) == "KorvellForm"; }

}  // namespace

HWND WaitForWindow(DWORD processId, const WindowTest& test, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    Search search{processId, &test, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(25);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

std::string ShownWindows(DWORD processId) {
  std::string list;
  WaitForWindow(
      processId,
      [&](HWND window) {
        list += (list.empty() ? "" : "; ") + ClassOf(window) + " \"" + Text(window) + "\"";
        if (IsMessageBox(window)) list += ": " + MessageText(window);
        return false;
      },
      0);
  return list.empty() ? "none" : list;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

std::vector<HWND> VisibleFolderWindows() {
  std::vector<HWND> windows;
  for (const char* windowClass : kFolderWindowClasses)
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, windowClass, nullptr));)
      if (IsWindowVisible(window)) windows.push_back(window);
  return windows;
}

bool ExplorerBeside(HWND instruction) {
  RECT form, folder;
  GetWindowRect(instruction, &form);
  for (HWND window : VisibleFolderWindows())
    if (GetWindowRect(window, &folder) && folder.left >= form.right) return true;
  return false;
}

// Asking for the length would send the window a message and wait for its
// program to take it; for another process's window GetWindowText answers the
// text the system keeps, at once, however busy the program is.
std::string Text(HWND window) {
  std::string text(4096, '\0');
  text.resize(size_t(GetWindowTextA(window, text.data(), int(text.size()))));
  return text;
}

// The box itself is asked: for another process's window GetWindowText
// answers the caption the system keeps, which an edit box does not update
// while it is typed into.
std::string BoxText(HWND edit) {
  std::string text(size_t(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  text.resize(size_t(SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

HWND FindChild(HWND parent, const std::string& className, const std::string& text) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) == className && (text.empty() || Text(child).starts_with(text))) return child;
  return nullptr;
}

bool IsSharingInstruction(HWND window) { return IsForm(window) && FindChild(window, "Static", "Make Sure"); }
bool IsStartMonth(HWND window) { return IsForm(window) && FindChild(window, "KorvellCheckGrid"); }
bool IsProgressWindow(HWND window) { return IsForm(window) && FindChild(window, "msctls_progress32"); }
bool IsMessageBox(HWND window) { return ClassOf(window) == "#32770"; }
bool IsErrorDialog(HWND window) { return IsForm(window) && FindChild(window, "Button", "Report &Error"); }
bool IsNetworkSelector(HWND window) { return IsForm(window) && FindChild(window, "SysTreeView32"); }
bool IsPasswordPrompt(HWND window) { return IsForm(window) && Text(window) == "Enter Network Password"; }

namespace {

RECT RectIn(HWND parent, HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// How far a control lies from a label when it follows it: on the label's
// line (its height overlaps) to the right, or else below; -1 for neither.
// A control beside the label always comes before one below it.
long Following(const RECT& label, const RECT& control) {
  constexpr long kBelow = 1L << 20;
  const bool sameLine = control.top < label.bottom && label.top < control.bottom;
  if (sameLine && control.left >= label.right) return control.left - label.right;
  if (!sameLine && control.top >= label.bottom) return kBelow + control.top - label.bottom;
  return -1;
}

}  // namespace

HWND FindByLabel(HWND parent, const std::string& label, const std::string& className) {
  HWND caption = FindChild(parent, "Static", label);
  if (!caption) return nullptr;
  const RECT labelRect = RectIn(parent, caption);
  HWND nearest = nullptr;
  long nearestDistance = 0;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != className) continue;
    const long distance = Following(labelRect, RectIn(parent, child));
    if (distance < 0 || (nearest && distance >= nearestDistance)) continue;
    nearest = child;
    nearestDistance = distance;
  }
  return nearest;
}

std::string MessageText(HWND dialog) {
  std::string longest;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != "Static") continue;
    const std::string text = Text(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

void Click(HWND button) {
  // As a click arrives: the button itself tells its parent.
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

bool ClickButton(HWND window, const std::string& caption) {
  HWND button = FindChild(window, "Button", caption);
  if (!button) return false;
  Click(button);
  return true;
}

void PressKey(HWND window, UINT virtualKey) {
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(window, WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
}

void TypeChar(HWND window, char c) { PostMessageA(window, WM_CHAR, WPARAM(uint8_t(c)), 1); }

bool TypeText(HWND edit, const std::string& text) {
  // The edit box takes the focus itself when the mouse goes down in it.
  RECT client;
  GetClientRect(edit, &client);
  const LPARAM end = MAKELPARAM(client.right - 1, client.bottom / 2);
  const std::string before = BoxText(edit);
  PostMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, end);
  PostMessageA(edit, WM_LBUTTONUP, 0, end);
  for (char c : text) TypeChar(edit, c);
  return WaitUntil([&] { return BoxText(edit) == before + text; });
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  for (const DWORD start = GetTickCount(); !condition();) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(10);
  }
  return true;
}

bool WaitForEnabled(HWND control, bool enabled, DWORD timeoutMs) {
  return WaitUntil([&] { return bool(IsWindowEnabled(control)) == enabled; }, timeoutMs);
}

namespace {

constexpr DWORD kTreeResponseMs = 10000;

HTREEITEM Caret(HWND tree) { return TreeView_GetSelection(tree); }

// A message box or dialog of the tree's program: what a step of the tree may
// open instead of going on (a notice, a question).
bool DialogOfTree(HWND tree) {
  DWORD process = 0;
  GetWindowThreadProcessId(tree, &process);
  return WaitForWindow(process, IsMessageBox, 0) != nullptr;
}

// The tree takes characters typed in quick succession as one search, the
// '+' of the expanding key among them: a letter must start a new one, after
// the control's type-ahead pause. The pause counts from when the tree took
// the last character, which a busy machine may do long after it was typed:
// at the latest when the tree's answer to it was seen.
DWORD lastTaken = 0;

}  // namespace

bool SelectNode(HWND window, char letter) {
  HWND tree = FindChild(window, "SysTreeView32");
  const DWORD sinceLast = GetTickCount() - lastTaken;
  if (sinceLast < kTypeAheadPauseMs) Sleep(kTypeAheadPauseMs - sinceLast);
  const HTREEITEM before = Caret(tree);
  TypeChar(tree, letter);
  const bool answered = WaitUntil([&] { return Caret(tree) != before || DialogOfTree(tree); }, kTreeResponseMs);
  lastTaken = GetTickCount();
  return answered;
}

bool ExpandNode(HWND window, char letter) {
  if (!SelectNode(window, letter)) return false;
  HWND tree = FindChild(window, "SysTreeView32");
  const HTREEITEM node = Caret(tree);
  const HTREEITEM firstChild = TreeView_GetChild(tree, node);
  PressKey(tree, VK_ADD);
  // Filled in (its placeholder gone) or opened, or a notice came instead.
  const bool answered = WaitUntil(
      [&] {
        return TreeView_GetChild(tree, node) != firstChild ||
               (TreeView_GetItemState(tree, node, TVIS_EXPANDED) & TVIS_EXPANDED) || DialogOfTree(tree);
      },
      kTreeResponseMs);
  lastTaken = GetTickCount();
  return answered;
}

void ClickMonth(HWND startMonth, int month) {
  HWND grid = FindChild(startMonth, "KorvellCheckGrid");
  RECT client;
  GetClientRect(grid, &client);
  const int rowHeight = (client.bottom - client.top) / 13;  // the header and twelve months
  const int x = client.right - 10, y = month * rowHeight + rowHeight / 2;
  PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace driver
