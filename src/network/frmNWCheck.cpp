#include "frmNWCheck.h"

#include <windowsx.h>

#include <optional>
#include <utility>

#include "../basic/App.h"
#include "../basic/Runtime.h"
#include "../basic/Scripting.h"
#include "../basic/Text.h"
#include "../errorreport/vbwTrap.h"
#include "../wizard/Global.h"
#include "../wizard/resource.h"
#include "NetResources.h"
#include "frmPassword.h"

using basic::ControlSpec;
using basic::Kind;

namespace {

const basic::FontSpec kTreeFont{L"Arial", 8.25};
constexpr int kTreeTop = 1035;  // below the panel

// In tab order: the tree, Confirm, Exit, Password.
const ControlSpec kControls[] = {
    {Kind::TreeView, L"tvwNetwork", 0, kTreeTop, 9015, 4350, L"", &kTreeFont},
    {Kind::Button, L"cmdMapDrive", 4920, 105, 1335, 675, L"&Confirm", nullptr, nullptr, IDI_CONFIRM},
    {Kind::Button, L"cmdExit", 7680, 120, 1335, 675, L"E&xit", nullptr, nullptr, IDI_EXIT},
    {Kind::Button, L"cmdPassword", 6300, 120, 1335, 675, L"&Password", nullptr, nullptr, IDI_PASSWORD},
    // The path on lines of its own below the instruction, both inside the panel.
    {Kind::Panel, L"SSPanel1", 60, 60, 4815, 915},
    {Kind::Label, L"Label1", 90, 90, 4695, 420,
     L"Expand the tree and select the Korvell folder on the master machine, then click the Confirm Icon ----->"},
    {Kind::Label, L"lblPath", 90, 540, 4695, 405, L"Selected Network Path: None"},
};

const basic::FormSpec kForm{
    L"frmNWCheck", L"Select Korvell  Master Directory", 9015, kTreeTop + 4350, WS_OVERLAPPEDWINDOW, 0, IDI_TAMSEL};

// The image list's keys, in the order of the images in the strip.
const std::vector<std::wstring> kImageKeys{L"directory", L"root",   L"group",  L"ndscontainer", L"network",
                                          L"server",    L"tree",   L"domain", L"share",        L"adminshare",
                                          L"printer",   L"folder", L"file"};

constexpr const wchar_t* kRootKey = L"_ROOT";
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

bool IsKorvellShare(const std::wstring& remoteName) {
  static const std::wstring kFolder = L"KORVELL";
  return remoteName.size() >= kFolder.size() && basic::UCase(remoteName.substr(remoteName.size() - kFolder.size())) == kFolder;
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
    // The strip holds 16-pixel images, drawn for 96 DPI; loaded stretched to this screen's.
    const int size = basic::Scaled(16);
    const basic::UniqueGdi strip(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_NETWORK), IMAGE_BITMAP,
                                            size * int(kImageKeys.size()), size, LR_CREATEDIBSECTION));
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
}

// A node for a network resource, not yet filled in, with its placeholder.
void frmNWCheck::AddNode(const std::wstring& parent, const NetResource& resource) {
  const std::wstring key = resource.RemoteName();
  tvwNetwork.Add(parent, key, resource.ShortName(), ImageOf(resource));
  tvwNetwork.SetTag(key, kNotFilled);
  tvwNetwork.Add(key, key + kPlaceholder, L"FAKE", L"server");
}

void frmNWCheck::Click(const std::wstring& control) {
  if (control == L"cmdMapDrive") cmdMapDrive_Click();
  else if (control == L"cmdPassword") cmdPassword_Click();
  else if (control == L"cmdExit") cmdExit_Click();
}

bool frmNWCheck::Message(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  if (message == WM_SIZE) {
    Form_Resize();
    return false;
  }
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
  basic::MsgBox(L"Setup Detects That The Korvell Directory On The Master Machine\r\n"
                L"Has Not Been Shared. Make Sure It Is Shared With Full Access,\r\n"
                L"And If It Is On A Windows NT Or 2000 Machine, Make Sure Its \r\n"
                L"Permissions Are Set For Everyone Who Will Be Using Korvell.\r\n"
                L"Once This Is Done, Run The Ostrelle From The Korvell Program Group.",
                MB_OK | MB_ICONINFORMATION, L"Korvell Ostrelle");
  basic::End();
}

void frmNWCheck::tvwNetwork_NodeClick(const std::wstring& key) {
  vbwTrap trap(L"frmNWCheck", L"tvwNetwork_NodeClick");
  bool share = false;
  trap(1, [&] { share = tvwNetwork.Image(key) == L"share"; });
  if (share) {
    trap(2, [&] {
      networkdriveprotected = !FolderTest(key);
      if (networkdriveprotected) UserPassword.clear();
    });
    trap(3, [&] { networkdriveunc = key; });
    trap(4, [&] { tvwNetwork.Select(key); });
  } else {
    trap(5, [] { networkdriveunc = L"None"; });
  }
  trap(6, [&] { SetText(L"lblPath", L"Selected Network Path: " + networkdriveunc); });
  trap(7, [&] { ApplyButtonRule(); });
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
  int answer = IDNO;
  trap(1, [&] {
    answer = basic::MsgBox(L"Are You Sure That\r\n" + networkdriveunc + L"\r\nIs The Korvell Master Directory?",
                           MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL, L"Korvell Ostrelle ");
  });
  if (trap.Leaving() || answer == IDNO) return;
  trap(3, [] { ini_value = std::to_wstring(CurrentYear()), WriteSetting(kValueYear, kHKeyCurrentUser); });
  trap(4, [] { ini_value = networkdriveunc + L"\\dats", WriteSetting(kValueNetDirSlave, kHKeyLocalMachine); });
  trap(5, [] { ini_value = L"NO", WriteSetting(kValueFirstRun, kHKeyLocalMachine); });
  trap(6, [] { StartProgram(L"\"" + basic::App::Path() + L"\\korvell.exe\""); });
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
