// Figures of the network selector under Wine: opening it on the network, and
// expanding a server with 10,000 shares, from the key press to the sorted
// tree on the screen (the listing from the network included, and shown on
// its own as well). Each figure is the median of several runs, with the
// fastest and the slowest. Prints them; asserts nothing.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "Figures.h"
#include "basic/Runtime.h"
#include "network/NetResources.h"
#include "network/SelectorNetwork.h"
#include "network/frmNWCheck.h"
#include "support/NetProviderSandbox.h"
#include "wizard/Global.h"

namespace {

using bench::Figure;
using bench::TimeMs;

constexpr const wchar_t* kBig = L"\\\\BIG";

void Expand(basic::TreeView& tree, const std::wstring& key) {
  tree.Select(key);
  SendMessageA(tree.hWnd(), WM_KEYDOWN, VK_ADD, 0);
}

int Measure() {
  std::vector<double> opening, listing, expanding;
  size_t shares = 0;
  for (int run = 0; run < bench::kRuns; ++run) {
    frmNWCheck& selector = frmNWCheck::Instance();
    opening.push_back(TimeMs([&] {
      selector.Show();
      basic::DoEvents();
    }));
    listing.push_back(TimeMs([] {
      NetResource root;
      auto lab = root.Children()->Item(std::wstring(L"Lab Network"))->Children()->Item(std::wstring(L"LAB"));
      lab->Children()->Item(std::wstring(kBig))->Children();
    }));
    ObrinShared = true;  // as after the master's shares were listed
    basic::TreeView& tree = selector.tvwNetwork;
    Expand(tree, L"Lab Network");
    Expand(tree, L"LAB");
    expanding.push_back(TimeMs([&] {
      Expand(tree, kBig);
      UpdateWindow(tree.hWnd());
      basic::DoEvents();
    }));
    shares = tree.ChildKeys(kBig).size();
    selector.Unload();
  }
  std::printf("opening the selector on the network: %s\n", Figure(opening).c_str());
  std::printf("expanding a server with %zu shares: %s\n", shares, Figure(expanding).c_str());
  std::printf("  listing them from the network alone: %s\n", Figure(listing).c_str());
  return 0;
}

}  // namespace

int main() { return RunWithNetProvider(kSelectorNetwork, Measure); }
