// Stands in for the user at a message box or dialog box of this process: a
// helper thread waits for the dialog window, remembers its title and text,
// and presses the chosen button.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

class DialogAnswerer {
 public:
  explicit DialogAnswerer(int buttonId, DWORD timeoutMs = 10000);
  ~DialogAnswerer();  // waits for the helper thread

  // Valid once the dialog has been answered.
  bool Answered() const { return answered_; }
  const std::string& Title() const { return title_; }
  const std::string& Text() const { return text_; }

 private:
  void Run(int buttonId, DWORD timeoutMs);

  std::atomic<bool> answered_ = false;
  std::string title_;
  std::string text_;
  std::thread thread_;
};
