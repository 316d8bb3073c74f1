// Stands in for the user at a message box or dialog box of this process: a
// helper thread waits for the dialog window, remembers its title and text,
// and presses the chosen button.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class DialogAnswerer {
 public:
  explicit DialogAnswerer(int buttonId, DWORD timeoutMs = 10000) : DialogAnswerer(std::vector<int>{buttonId}, timeoutMs) {}
  // Answers one dialog after the other with these buttons.
  explicit DialogAnswerer(std::vector<int> buttonIds, DWORD timeoutMs = 10000);
  ~DialogAnswerer();  // waits for the helper thread

  // Valid once the dialogs have been answered (after the destructor's wait
  // or when Answered() says so).
  bool Answered() const { return answered_ == buttons_.size(); }
  const std::string& Title() const { return titles_.at(0); }
  const std::string& Text() const { return texts_.at(0); }
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  void Run(DWORD timeoutMs);

  std::vector<int> buttons_;
  std::atomic<size_t> answered_ = 0;
  std::vector<std::string> titles_;
  std::vector<std::string> texts_;
  std::thread thread_;
};
