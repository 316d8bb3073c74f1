// A timer control: calls its tick procedure every Interval milliseconds while
// enabled. Every live timer is listed, so that the error layer can switch all
// of them off while it handles an error and on again afterwards.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace basic {

class Timer {
 public:
  Timer(UINT intervalMs, std::function<void()> onTick);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return id_ != 0; }
  void SetEnabled(bool enabled);
  UINT Interval() const { return interval_; }

  // The object's identity as the error layer records it.
  uintptr_t Identity() const { return reinterpret_cast<uintptr_t>(this); }

  // Every timer that exists now, in creation order.
  static const std::vector<Timer*>& Loaded();

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);

  UINT interval_;
  std::function<void()> onTick_;
  UINT_PTR id_ = 0;
};

}  // namespace basic
