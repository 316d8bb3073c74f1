#include "CheckGridAccessible.h"

#include <string>

#include "CheckGrid.h"
#include "SystemLibraries.h"
#include "Text.h"

namespace basic {

namespace {

HRESULT Text(const std::wstring& text, BSTR* out) {
  *out = OleAut32().SysAllocStringLen(text.data(), UINT(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetLong(VARIANT* out, LONG value) {
  OleAut32().VariantInit(out);
  out->vt = VT_I4;
  out->lVal = value;
}

// The screen rectangle of a part of the grid's client area.
RECT OnScreen(HWND window, RECT r) {
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

LRESULT CheckGridAccessible::Serve(HWND grid, WPARAM wParam) {
  // Loaded here, where a failure leaves the grid to the system's own object:
  // the methods that the reader calls take their texts from it and cannot
  // raise an error.
  OleAut32();
  CheckGridAccessible* object = new CheckGridAccessible(grid);
  const LRESULT result = Oleacc().LresultFromObject(IID_IAccessible, wParam, object);
  object->Release();
  return result;
}

CheckGrid* CheckGridAccessible::Grid() const {
  return IsWindow(window_) ? reinterpret_cast<CheckGrid*>(GetWindowLongPtrA(window_, GWLP_USERDATA)) : nullptr;
}

int CheckGridAccessible::RowOf(const VARIANT& child) const {
  const CheckGrid* grid = Grid();
  if (!grid || child.vt != VT_I4) return -1;
  return child.lVal >= CHILDID_SELF && child.lVal <= grid->Rows() ? int(child.lVal) : -1;
}

HRESULT CheckGridAccessible::QueryInterface(REFIID iid, void** object) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CheckGridAccessible::AddRef() { return ULONG(InterlockedIncrement(&references_)); }

ULONG CheckGridAccessible::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return ULONG(left);
}

HRESULT CheckGridAccessible::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}
HRESULT CheckGridAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT CheckGridAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT CheckGridAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT CheckGridAccessible::get_accParent(IDispatch** parent) {
  *parent = nullptr;
  if (!Grid()) return E_FAIL;
  return Oleacc().CreateStdAccessibleObject(window_, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT CheckGridAccessible::get_accChildCount(LONG* count) {
  const CheckGrid* grid = Grid();
  *count = grid ? grid->Rows() : 0;
  return grid ? S_OK : E_FAIL;
}

// The rows are simple elements of the list, without objects of their own.
HRESULT CheckGridAccessible::get_accChild(VARIANT child, IDispatch** object) {
  *object = nullptr;
  return RowOf(child) > 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT CheckGridAccessible::get_accName(VARIANT child, BSTR* name) {
  *name = nullptr;
  const int row = RowOf(child);
  if (row < 0) return E_INVALIDARG;
  if (row > 0) return Text(Grid()->Text(1, row), name);
  char text[512] = "";
  GetWindowTextA(window_, text, sizeof text);
  return Text(FromAnsi(text), name);
}

HRESULT CheckGridAccessible::get_accValue(VARIANT child, BSTR* value) {
  *value = nullptr;
  return RowOf(child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT CheckGridAccessible::get_accDescription(VARIANT child, BSTR* description) {
  *description = nullptr;
  return RowOf(child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT CheckGridAccessible::get_accRole(VARIANT child, VARIANT* role) {
  const int row = RowOf(child);
  if (row < 0) return E_INVALIDARG;
  SetLong(role, row > 0 ? ROLE_SYSTEM_CHECKBUTTON : ROLE_SYSTEM_LIST);
  return S_OK;
}

HRESULT CheckGridAccessible::get_accState(VARIANT child, VARIANT* state) {
  const int row = RowOf(child);
  if (row < 0) return E_INVALIDARG;
  const CheckGrid* grid = Grid();
  const bool focused = GetFocus() == window_;
  LONG flags = STATE_SYSTEM_FOCUSABLE;
  if (row == 0) {
    if (focused) flags |= STATE_SYSTEM_FOCUSED;
  } else {
    flags |= STATE_SYSTEM_SELECTABLE;
    if (grid->Checked(row)) flags |= STATE_SYSTEM_CHECKED;
    if (row == grid->Current()) flags |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
  }
  SetLong(state, flags);
  return S_OK;
}

HRESULT CheckGridAccessible::get_accHelp(VARIANT child, BSTR* help) {
  *help = nullptr;
  return RowOf(child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT CheckGridAccessible::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) {
  *file = nullptr;
  *topic = 0;
  return S_FALSE;
}

HRESULT CheckGridAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  *shortcut = nullptr;
  const int row = RowOf(child);
  if (row < 0) return E_INVALIDARG;
  return row > 0 ? Text(L"Space", shortcut) : S_FALSE;
}

HRESULT CheckGridAccessible::get_accFocus(VARIANT* child) {
  OleAut32().VariantInit(child);
  const CheckGrid* grid = Grid();
  if (!grid) return E_FAIL;
  if (GetFocus() == window_) SetLong(child, grid->Current());
  return S_OK;
}

HRESULT CheckGridAccessible::get_accSelection(VARIANT* children) {
  const CheckGrid* grid = Grid();
  if (!grid) return E_FAIL;
  SetLong(children, grid->Current());
  return S_OK;
}

HRESULT CheckGridAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  *action = nullptr;
  const int row = RowOf(child);
  if (row < 0) return E_INVALIDARG;
  if (row == 0) return S_FALSE;
  return Text(Grid()->Checked(row) ? L"Uncheck" : L"Check", action);
}

HRESULT CheckGridAccessible::accSelect(LONG flags, VARIANT child) {
  const int row = RowOf(child);
  if (row <= 0) return E_INVALIDARG;
  if (!(flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION))) return S_OK;
  try {
    Grid()->Select(row, flags & SELFLAG_TAKEFOCUS);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT CheckGridAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
  const int row = RowOf(child);
  if (row < 0) return E_INVALIDARG;
  RECT r;
  if (row > 0)
    r = OnScreen(window_, Grid()->RowRect(row));
  else
    GetWindowRect(window_, &r);
  *left = r.left, *top = r.top, *width = r.right - r.left, *height = r.bottom - r.top;
  return S_OK;
}

HRESULT CheckGridAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  OleAut32().VariantInit(end);
  const int row = RowOf(start);
  if (row < 0) return E_INVALIDARG;
  const int rows = Grid()->Rows();
  int to = 0;
  if (row == 0 && direction == NAVDIR_FIRSTCHILD)
    to = 1;
  else if (row == 0 && direction == NAVDIR_LASTCHILD)
    to = rows;
  else if (row > 0 && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN))
    to = row + 1;
  else if (row > 0 && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP))
    to = row - 1;
  if (to < 1 || to > rows) return S_FALSE;
  SetLong(end, to);
  return S_OK;
}

HRESULT CheckGridAccessible::accHitTest(LONG x, LONG y, VARIANT* child) {
  OleAut32().VariantInit(child);
  const CheckGrid* grid = Grid();
  if (!grid) return E_FAIL;
  POINT p{x, y};
  RECT window;
  GetWindowRect(window_, &window);
  if (!PtInRect(&window, p)) return S_FALSE;
  ScreenToClient(window_, &p);
  SetLong(child, grid->RowAt(p));
  return S_OK;
}

HRESULT CheckGridAccessible::accDoDefaultAction(VARIANT child) {
  const int row = RowOf(child);
  if (row <= 0) return E_INVALIDARG;
  // As the user's tick: the form's tick procedure reports its own errors.
  try {
    Grid()->Tick(row);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT CheckGridAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT CheckGridAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace basic
