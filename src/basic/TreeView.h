// A tree view whose nodes are known by unique text keys and carry a tag and
// the key of their image, as the forms address them.
#pragma once
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <unordered_map>
#include <string>
#include <vector>

namespace basic {

class TreeView {
 public:
  // Run-time errors of the node collection.
  static constexpr int32_t kKeyNotUnique = 35602;
  static constexpr int32_t kElementNotFound = 35601;
  static constexpr int32_t kNoSuchImage = 35600;

  TreeView() = default;
  ~TreeView();
  TreeView(const TreeView&) = delete;
  TreeView& operator=(const TreeView&) = delete;

  void Attach(HWND window);
  HWND hWnd() const { return window_; }
  // The images from a bitmap strip in which magenta is transparent: square,
  // as wide as the strip is high.
  void SetImages(HBITMAP strip, std::vector<std::wstring> keys);

  // Adds a node below `parent` (none: at the top). Raises an error for a key
  // that is taken, a parent that does not exist or an image without a key.
  void Add(const std::wstring& parent, const std::wstring& key, const std::wstring& text, const std::wstring& image);
  void Remove(const std::wstring& key);
  bool Exists(const std::wstring& key) const;

  std::wstring Tag(const std::wstring& key) const;
  void SetTag(const std::wstring& key, const std::wstring& tag);
  std::wstring Image(const std::wstring& key) const;
  // The parent's key; empty for a node at the top.
  std::wstring Parent(const std::wstring& key) const;
  std::wstring Text(const std::wstring& key) const;
  std::vector<std::wstring> ChildKeys(const std::wstring& key) const;
  // Children added from now on are kept in alphabetical order.
  void SetSorted(const std::wstring& key, bool sorted);
  void EnsureVisible(const std::wstring& key);
  void Select(const std::wstring& key);
  void Expand(const std::wstring& key);

  // Many nodes at once: the tree is drawn, and sorted children put in order,
  // when the batch ends.
  void BeginUpdate();
  void EndUpdate();

  // The key of a node handle the control reported; empty when unknown.
  std::wstring KeyOf(HTREEITEM item) const;

 private:
  struct Node {
    HTREEITEM item = nullptr;
    std::wstring key;
    std::wstring text;
    std::wstring tag;
    std::wstring image;
    bool sorted = false;
    // Made when the node is first sorted: the bytes of the text's sort key
    // are in the order in which the control compares texts, without case.
    std::string sortKey;
  };
  const Node& At(const std::wstring& key) const;
  Node& At(const std::wstring& key);
  int ImageIndex(const std::wstring& image) const;
  void SortChildren(HTREEITEM parent);
  static int CALLBACK CompareNodes(LPARAM first, LPARAM second, LPARAM);
  static const std::string& SortKeyOf(Node& node);

  HWND window_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::vector<std::wstring> imageKeys_;
  std::unordered_map<std::wstring, Node> nodes_;  // by upper-case key
  std::unordered_map<HTREEITEM, std::wstring> keys_;
  std::vector<HTREEITEM> toSort_;
  int updating_ = 0;
};

}  // namespace basic
