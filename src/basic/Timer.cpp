#include "Timer.h"

#include <algorithm>

#include "Runtime.h"

namespace basic {

namespace {
std::vector<Timer*>& LiveTimers() {
  static std::vector<Timer*> timers;
  return timers;
}
}  // namespace

Timer::Timer(UINT intervalMs, std::function<void()> onTick) : interval_(intervalMs), onTick_(std::move(onTick)) {
  LiveTimers().push_back(this);
}

Timer::~Timer() {
  SetEnabled(false);
  std::erase(LiveTimers(), this);
}

const std::vector<Timer*>& Timer::Loaded() { return LiveTimers(); }

void Timer::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  if (enabled) {
    id_ = SetTimer(nullptr, 0, interval_, &Timer::OnTimer);
  } else {
    KillTimer(nullptr, id_);
    id_ = 0;
  }
}

void CALLBACK Timer::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  const auto& timers = LiveTimers();
  const auto it = std::find_if(timers.begin(), timers.end(), [id](const Timer* t) { return t->id_ == id; });
  if (it == timers.end()) return;
  // Tick procedures trap their own errors; whatever still escapes is
  // reported and must not unwind into the system's message dispatch.
  try {
    (*it)->onTick_();
  } catch (...) {
    ReportEscapedError(L"Timer", L"Timer");
  }
}

}  // namespace basic
