// The network selector of a slave machine: the Windows network as a tree
// that fills itself as the user expands it. The user picks the master's
// Korvell share and confirms it; the wizard lives in this window until then.
#pragma once
#include <memory>
#include <string>

#include "../basic/Form.h"
#include "../basic/Scripting.h"
#include "../basic/TreeView.h"
#include "NetResource.h"

// Which of the selector's buttons can be used.
struct SelectorButtons {
  bool password;
  bool confirm;
};
// The rule for the password and Confirm buttons: Confirm only for a share
// path, and for a protected one only once a password was given.
SelectorButtons ButtonRule(bool isProtected, const std::wstring& path, const std::wstring& password);

// Whether a remote name ends with the name of the planner's folder, in any case.
bool IsKorvellShare(const std::wstring& remoteName);

// The \\server\share path that a text names, without a trailing backslash;
// empty when the text names anything else (a local folder, a server alone, a
// folder below a share).
std::wstring SharePath(const std::wstring& text);
// Whether the text names a drive: "K:" or "K:\".
bool IsDriveText(const std::wstring& text);
// Whether the folder holds the data folder "dats" that a slave records.
bool HoldsDataFolder(const std::wstring& folder);

// The network path that a drive letter ("K:") is connected to; the router's
// answer, NO_ERROR when there is one.
DWORD NetworkDriveConnection(const std::string& drive, std::string& remote);
using DriveResolver = DWORD (*)(const std::string& drive, std::string& remote);

// A path typed in the selector: the share it names, given as \\server\share
// or as the letter of a drive connected to one; else why it names none, in a
// sentence for the user. Both are empty for an empty text.
struct TypedShare {
  std::wstring path;
  std::wstring refusal;
};
TypedShare ResolveTypedPath(const std::wstring& typed, DriveResolver driveConnection);

class frmNWCheck : public basic::Form {
 public:
  frmNWCheck();
  // The one selector of the process; created by the slave start-up.
  static frmNWCheck& Instance();

  basic::TreeView tvwNetwork;
  std::vector<ModuleVariable> ModuleVariables() const override;
  const std::shared_ptr<NetResource>& Root() const { return NetRoot; }

  // Whether a share's folder opens; the scripting runtime's test, which may
  // wait on a slow network. Tests count its calls here.
  inline static bool (*FolderTest)(const std::wstring& path) = &basic::FolderOpens;
  // Where a typed drive letter leads. Tests put a network drive here: the
  // router does not ask network providers about drive letters.
  inline static DriveResolver DriveConnection = &NetworkDriveConnection;

  // Event procedures, as the window and the tests call them.
  void tvwNetwork_Expand(const std::wstring& key);
  void tvwNetwork_NodeClick(const std::wstring& key);
  // Enter in the path box, and the focus leaving it for another control.
  void txtPath_Return();
  void txtPath_LostFocus();
  void cmdMapDrive_Click();
  void cmdPassword_Click();
  void cmdExit_Click();
  // Enables the password and Confirm buttons as the selection's state allows.
  void ApplyButtonRule();

 protected:
  void Form_Load() override;
  void Click(const std::wstring& control) override;
  void Paint(HDC dc) override;
  bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void NodeExpand(const std::wstring& key);
  void AddNode(const std::wstring& parent, const NetResource& resource);
  std::shared_ptr<NetResource> ObjectOf(const std::wstring& key);
  void ShareCheck();
  void AddConnectedFolders();
  std::wstring SharePathOf(const std::wstring& key) const;
  void SelectShare(const std::wstring& path);
  void SelectTypedPath();
  void ShowSelection();
  bool Command(WPARAM wParam, LPARAM lParam);
  void Form_Resize();
  HTREEITEM ItemAtMessage() const;

  std::shared_ptr<NetResource> NetRoot;
  std::wstring lastTyped_;  // the path box's text when it last selected
};
