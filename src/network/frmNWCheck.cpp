#include "frmNWCheck.h"

#include <windowsx.h>
// after windows.h
#include <winnetwk.h>

#include <iterator>
#include <optional>
#include <utility>

#include "../basic/App.h"
#include "../basic/Runtime.h"
#include "../basic/Text.h"
#include "../errorreport/vbwTrap.h"
#include "../wizard/Global.h"
#include "../wizard/resource.h"
#include "NetResources.h"
#include "SharePaths.h"
#include "frmPassword.h"

using basic::ControlSpec;
using basic::Kind;
using namespace sharepaths;

namespace {

const basic::FontSpec kTreeFont{L"Arial", 8.25};
constexpr int kTreeTop = 1710;  // below the panel and the path box
constexpr const wchar_t* kInstruction =
    L"Expand the tree and select the Korvell folder on the master machine, then click the Confirm Icon ----->";

// In tab order: the tree, the path box, Confirm, Exit, Password. Each label
// comes just before what it names, as screen readers look for it; the tree
// is read by its own text, the instruction.
const ControlSpec kControls[] = {
    // The path on lines of its own below the instruction, both inside the panel.
    {Kind::Panel, L"SSPanel1", 60, 60, 4815, 915},
    {Kind::Label, L"Label1", 90, 90, 4695, 420, kInstruction},
    {Kind::Label, L"lblPath", 90, 540, 4695, 405, L"Selected Network Path: None"},
    {Kind::TreeView, L"tvwNetwork", 0, kTreeTop, 9015, 4350, kInstruction, &kTreeFont},
    // Where browsing finds nothing, the master's share can still be typed.
    {Kind::Label, L"lblTypePath", 90, 1050, 8835, 255, L"Or type the master folder, for example \\\\MASTER\\KORVELL:"},
    {Kind::TextBox, L"txtPath", 60, 1320, 4815, 315},
    {Kind::Button, L"cmdMapDrive", 4920, 105, 1335, 675, L"&Confirm", nullptr, nullptr, IDI_CONFIRM},
    {Kind::Button, L"cmdExit", 7680, 120, 1335, 675, L"E&xit", nullptr, nullptr, IDI_EXIT},
    {Kind::Button, L"cmdPassword", 6300, 120, 1335, 675, L"&Password", nullptr, nullptr, IDI_PASSWORD},
};

const basic::FormSpec kForm{L"frmNWCheck", L"Select Korvell  Master Directory", 9015, kTreeTop + 4350,
                            WS_OVERLAPPEDWINDOW};

// The image list's keys, in the order of the images in the strip.
const std::vector<std::wstring> kImageKeys{L"directory", L"root",   L"group",  L"ndscontainer", L"network",
                                           L"server",    L"tree",   L"domain", L"share",        L"adminshare",
                                           L"printer",   L"folder", L"file"};

// The strips of those images, each drawn for its size of image.
struct ImageStrip {
  int size;
  int resource;
};
constexpr ImageStrip kImageStrips[] = {{16, IDB_NETWORK}, {24, IDB_NETWORK_24}, {32, IDB_NETWORK_32}};

// The strip drawn for this size, else the next larger one, which shrinks
// better than a smaller one grows.
int ImageStripFor(int size) {
  for (const ImageStrip& strip : kImageStrips)
    if (strip.size >= size) return strip.resource;
  return std::rbegin(kImageStrips)->resource;
}

constexpr const wchar_t* kRootKey = L"_ROOT";
// The folders this user is connected to; their keys are the prefix and the
// path, since a share may be listed under the whole network as well.
constexpr const wchar_t* kConnectedKey = L"_CONNECTED";
constexpr std::wstring_view kConnectedPrefix = L"_CONNECTED|";
constexpr const wchar_t* kPlaceholder = L"_FAKE";
constexpr const wchar_t* kNotFilled = L"N";
constexpr const wchar_t* kFilled = L"Y";

std::optional<frmNWCheck> g_selector;

std::wstring ImageOf(const NetResource& resource) { return basic::LCase(resource.ResourceTypeName()); }

}  // namespace

SelectorButtons ButtonRule(bool isProtected, const std::wstring& path, const std::wstring& password) {
  // Only a share can be confirmed: a password typed for one must not carry
  // over to a server or workgroup clicked afterwards.
  const bool share = !path.empty() && path != L"None";
  if (isProtected) return {true, share && !password.empty()};
  return {false, share};
}

frmNWCheck::frmNWCheck() : Form(kForm, kControls) {}

frmNWCheck& frmNWCheck::Instance() {
  if (!g_selector) g_selector.emplace();
  return *g_selector;
}

std::vector<basic::Form::ModuleVariable> frmNWCheck::ModuleVariables() const {
  return {{L"NetRoot", static_cast<const basic::Object*>(NetRoot.get())}};
}

void frmNWCheck::Form_Load() {
  vbwTrap trap(L"frmNWCheck", L"Form_Load");
  trap(1, [&] {
    tvwNetwork.Attach(Control(L"tvwNetwork"));
    const int size = basic::Scaled(16);
    const basic::UniqueGdi strip(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ImageStripFor(size)),
                                            IMAGE_BITMAP, size * int(kImageKeys.size()), size, LR_CREATEDIBSECTION));
    tvwNetwork.SetImages(static_cast<HBITMAP>(strip.get()), kImageKeys);
  });
  trap(2, [&] { NetRoot = std::make_shared<NetResource>(); });
  trap(3, [&] {
    tvwNetwork.Add(L"", kRootKey, L"Entire Network", L"root");
    tvwNetwork.SetTag(kRootKey, kFilled);
  });
  trap(4, [&] {
    for (const auto& provider : *NetRoot->Children()) {
      const NetResource& resource = *provider;
      AddNode(kRootKey, resource);
      tvwNetwork.EnsureVisible(resource.RemoteName());
    }
  });
  trap(5, [&] { AddConnectedFolders(); });
}

// Beside the whole network, which often lists nothing on today's networks:
// the shares this user already reaches, with nothing to browse.
void frmNWCheck::AddConnectedFolders() {
  tvwNetwork.Add(L"", kConnectedKey, L"Connected Network Folders", L"network");
  tvwNetwork.SetTag(kConnectedKey, kFilled);
  for (const std::wstring& remote : ConnectedFolders()) {
    const std::wstring path = SharePath(remote);
    if (path.empty()) continue;
    const std::wstring key = std::wstring(kConnectedPrefix) + path;
    tvwNetwork.Add(kConnectedKey, key, path, L"share");
    tvwNetwork.SetTag(key, kFilled);
  }
  tvwNetwork.Expand(kConnectedKey);
}

// A node for a network resource, not yet filled in, with its placeholder.
void frmNWCheck::AddNode(const std::wstring& parent, const NetResource& resource) {
  const std::wstring key = resource.RemoteName();
  tvwNetwork.Add(parent, key, resource.ShortName(), ImageOf(resource));
  tvwNetwork.SetTag(key, kNotFilled);
  tvwNetwork.Add(key, key + kPlaceholder, L"FAKE", L"server");
}

void frmNWCheck::Click(const std::wstring& control) {
  if (control == L"cmdMapDrive")
    cmdMapDrive_Click();
  else if (control == L"cmdPassword")
    cmdPassword_Click();
  else if (control == L"cmdExit")
    cmdExit_Click();
}

bool frmNWCheck::Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_SIZE) {
    Form_Resize();
    return false;
  }
  if (message == WM_COMMAND) return Command(wParam, lParam);
  if (message != WM_NOTIFY) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.hwndFrom != tvwNetwork.hWnd()) return false;
  const auto& tree = *reinterpret_cast<const NMTREEVIEWA*>(lParam);
  switch (header.code) {
    case TVN_ITEMEXPANDINGA:
      tvwNetwork_Expand(tvwNetwork.KeyOf(tree.itemNew.hItem));
      result = FALSE;
      return true;
    case TVN_SELCHANGEDA:
      // The keyboard moves the selection one node at a time: each move is a
      // click. A mouse click is taken from NM_CLICK alone, which comes once
      // per click, before or after the selection change depending on the system.
      if (tree.action == TVC_BYKEYBOARD) tvwNetwork_NodeClick(tvwNetwork.KeyOf(tree.itemNew.hItem));
      return false;
    case NM_CLICK:
      if (HTREEITEM item = ItemAtMessage()) tvwNetwork_NodeClick(tvwNetwork.KeyOf(item));
      return false;
  }
  return false;
}

// The path box is no multi-line box: Enter in it comes as the keyboard's
// command for the window, without a control.
bool frmNWCheck::Command(WPARAM wParam, LPARAM lParam) {
  HWND box = Control(L"txtPath");
  if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED && !lParam && GetFocus() == box) {
    txtPath_Return();
    return true;
  }
  if (HIWORD(wParam) == EN_KILLFOCUS && HWND(lParam) == box) {
    txtPath_LostFocus();
    return true;
  }
  return false;
}

// The node under the mouse when the message being handled was sent; none
// for a click beside the nodes or on an expand button.
HTREEITEM frmNWCheck::ItemAtMessage() const {
  const DWORD at = GetMessagePos();
  TVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  ScreenToClient(tvwNetwork.hWnd(), &hit.pt);
  TreeView_HitTest(tvwNetwork.hWnd(), &hit);
  return hit.flags & TVHT_ONITEM ? hit.hItem : nullptr;
}

void frmNWCheck::tvwNetwork_Expand(const std::wstring& key) {
  vbwTrap trap(L"frmNWCheck", L"tvwNetwork_Expand");
  bool unfilled = false;
  trap(1, [&] { unfilled = tvwNetwork.Tag(key) == kNotFilled; });
  if (unfilled) trap(2, [&] { NodeExpand(key); });
}

void frmNWCheck::NodeExpand(const std::wstring& key) {
  vbwTrap trap(L"frmNWCheck", L"NodeExpand");
  trap(1, [&] { tvwNetwork.Remove(key + kPlaceholder); });
  bool openShare = false;
  trap(2, [&] { openShare = tvwNetwork.Image(key) == L"share" && FolderTest(key); });
  if (openShare) {
    trap(3, [&] { tvwNetwork.SetTag(key, kFilled); });
  } else {
    std::shared_ptr<NetResource> object;
    trap(4, [&] { object = ObjectOf(key); });
    trap(5, [&] {
      tvwNetwork.BeginUpdate();
      struct Redraw {
        basic::TreeView& tree;
        ~Redraw() { tree.EndUpdate(); }
      } redraw{tvwNetwork};
      for (const auto& entry : *object->Children()) {
        const NetResource& child = *entry;
        AddNode(object->RemoteName(), child);
        if (ImageOf(child) == L"share") {
          InShareRoot = true;
          if (IsKorvellShare(child.RemoteName())) ObrinShared = true;
        }
        tvwNetwork.SetSorted(child.RemoteName(), true);
      }
    });
    trap(6, [&] { tvwNetwork.SetTag(key, kFilled); });
  }
  trap(7, [&] { ShareCheck(); });
}

// The object behind a node: the keys from the top down name it, one level
// of Children after the other.
std::shared_ptr<NetResource> frmNWCheck::ObjectOf(const std::wstring& key) {
  std::vector<std::wstring> path;
  for (std::wstring node = key; !tvwNetwork.Parent(node).empty(); node = tvwNetwork.Parent(node))
    path.insert(path.begin(), node);
  std::shared_ptr<NetResource> object = NetRoot;
  for (const std::wstring& piece : path) {
    object = object->Children()->Item(piece);
    if (!object) basic::Raise(91, L"Object variable or With block variable not set");
  }
  return object;
}

// The first listing of disk shares decides: without the planner's share among
// them, the folder has not been shared and the wizard ends.
void frmNWCheck::ShareCheck() {
  if (!InShareRoot || ObrinShared) return;
  InShareRoot = false;
  basic::MsgBox(
      L"Setup Detects That The Korvell Directory On The Master Machine\r\n"
      L"Has Not Been Shared. Make Sure It Is Shared With Full Access,\r\n"
      L"And If It Is On A Windows NT Or 2000 Machine, Make Sure Its \r\n"
      L"Permissions Are Set For Everyone Who Will Be Using Korvell.\r\n"
      L"Once This Is Done, Run The Ostrelle From The Korvell Program Group.",
      MB_OK | MB_ICONINFORMATION, L"Korvell Ostrelle");
  basic::End();
}

void frmNWCheck::tvwNetwork_NodeClick(const std::wstring& key) {
  vbwTrap trap(L"frmNWCheck", L"tvwNetwork_NodeClick");
  std::wstring share;
  trap(1, [&] { share = SharePathOf(key); });
  if (share.empty()) {
    trap(2, [] { networkdriveunc = L"None"; });
    trap(3, [&] { ShowSelection(); });
  } else {
    trap(4, [&] { SelectShare(share); });
    trap(5, [&] { tvwNetwork.Select(key); });
  }
}

// The network path of a share's node; empty for any other node.
std::wstring frmNWCheck::SharePathOf(const std::wstring& key) const {
  if (tvwNetwork.Image(key) != L"share") return L"";
  return key.starts_with(kConnectedPrefix) ? key.substr(kConnectedPrefix.size()) : key;
}

// A share chosen by a click or typed: one that does not open is protected,
// and a password given for an earlier one does not carry over to it.
void frmNWCheck::SelectShare(const std::wstring& path) {
  vbwTrap trap(L"frmNWCheck", L"SelectShare");
  trap(1, [&] {
    networkdriveprotected = !FolderTest(path);
    if (networkdriveprotected) UserPassword.clear();
  });
  trap(2, [&] { networkdriveunc = path; });
  trap(3, [&] { ShowSelection(); });
}

void frmNWCheck::ShowSelection() {
  SetText(L"lblPath", L"Selected Network Path: " + networkdriveunc);
  ApplyButtonRule();
}

void frmNWCheck::txtPath_Return() {
  vbwTrap trap(L"frmNWCheck", L"txtPath_Return");
  trap(1, [&] { SelectTypedPath(); });
}

// Only for a move within the window, and a text not taken yet: neither
// switching to another program nor the refusal's own message box selects.
void frmNWCheck::txtPath_LostFocus() {
  vbwTrap trap(L"frmNWCheck", L"txtPath_LostFocus");
  bool changed = false;
  trap(1, [&] { changed = IsChild(hWnd(), GetFocus()) && Text(L"txtPath") != lastTyped_; });
  if (changed) trap(2, [&] { SelectTypedPath(); });
}

// A typed share is taken as a click on it would be; anything else is
// refused and the selection stays. Browsing's share check has no part here.
void frmNWCheck::SelectTypedPath() {
  vbwTrap trap(L"frmNWCheck", L"SelectTypedPath");
  TypedShare typed;
  trap(1, [&] {
    lastTyped_ = Text(L"txtPath");
    typed = ResolveTypedPath(lastTyped_, DriveConnection);
  });
  if (!typed.path.empty()) {
    trap(2, [&] { SelectShare(typed.path); });
  } else if (!typed.refusal.empty()) {
    trap(3, [&] {
      basic::MsgBox(typed.refusal +
                        L"\r\nType the master folder as \\\\SERVER\\SHARE, for example \\\\MASTER\\KORVELL, "
                        L"or the letter of a network drive connected to it, for example K:",
                    MB_OK | MB_ICONEXCLAMATION, L"Korvell Ostrelle", hWnd());
    });
  }
}

void frmNWCheck::ApplyButtonRule() {
  const SelectorButtons buttons = ButtonRule(networkdriveprotected, networkdriveunc, UserPassword);
  SetEnabled(L"cmdPassword", buttons.password);
  SetEnabled(L"cmdMapDrive", buttons.confirm);
}

void frmNWCheck::Paint(HDC) {
  vbwTrap trap(L"frmNWCheck", L"Form_Paint");
  trap(1, [&] { ApplyButtonRule(); });
}

void frmNWCheck::Form_Resize() {
  vbwTrap trap(L"frmNWCheck", L"Form_Resize");
  if (!IsChild(hWnd(), tvwNetwork.hWnd())) return;  // sized while being created, before the tree is known
  trap(1, [&] {
    RECT client, tree;
    GetClientRect(hWnd(), &client);
    GetWindowRect(tvwNetwork.hWnd(), &tree);
    MapWindowPoints(nullptr, hWnd(), reinterpret_cast<POINT*>(&tree), 2);
    const int top = tree.top;
    MoveWindow(tvwNetwork.hWnd(), 0, top, client.right, std::max<int>(0, client.bottom - top), TRUE);
  });
}

void frmNWCheck::cmdMapDrive_Click() {
  vbwTrap trap(L"frmNWCheck", L"cmdMapDrive_Click");
  int anyway = IDYES;
  // A share that holds no data folder yet is most likely not the master's.
  trap(1, [&] {
    if (HoldsDataFolder(networkdriveunc)) return;
    anyway = basic::MsgBox(networkdriveunc +
                               L" holds no Korvell data folder yet: has the master set-up been run?\r\n"
                               L"Yes uses this folder anyway, No goes back to the selection.",
                           MB_YESNO | MB_ICONQUESTION, L"Korvell Ostrelle", hWnd());
  });
  if (trap.Leaving() || anyway == IDNO) return;
  int answer = IDNO;
  trap(2, [&] {
    answer = basic::MsgBox(L"Are You Sure That\r\n" + networkdriveunc + L"\r\nIs The Korvell Master Directory?",
                           MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL, L"Korvell Ostrelle ");
  });
  if (trap.Leaving() || answer == IDNO) return;
  trap(3, [] { RecordSlaveSettings(networkdriveunc); });
  trap(6, [] { StartPlanner(basic::App::Path()); });
  trap(7, [] {
    helper.Release();
    basic::End();
  });
}

void frmNWCheck::cmdPassword_Click() {
  vbwTrap trap(L"frmNWCheck", L"cmdPassword_Click");
  trap(1, [] { frmPassword().ShowModal(); });
}

void frmNWCheck::cmdExit_Click() {
  vbwTrap trap(L"frmNWCheck", L"cmdExit_Click");
  trap(1, [] {
    RegHelper.reset();
    basic::End();
  });
}
