// The network selector of a slave machine: the Windows network as a tree
// that fills itself as the user expands it. The user picks the master's
// Korvell share and confirms it; the wizard lives in this window until then.
#pragma once
#include <memory>
#include <string>

#include "../basic/Form.h"
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

class frmNWCheck : public basic::Form {
 public:
  frmNWCheck();
  // The one selector of the process; created by the slave start-up.
  static frmNWCheck& Instance();

  basic::TreeView tvwNetwork;
  std::vector<ModuleVariable> ModuleVariables() const override;
  const std::shared_ptr<NetResource>& Root() const { return NetRoot; }

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
