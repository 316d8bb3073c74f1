// Owners for the system's handles: each closes its handle when it goes.
#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace basic {

template <auto Close>
struct HandleCloser {
  template <class H>
  void operator()(H h) const {
    Close(h);
  }
};

template <class H, auto Close>
using UniqueOf = std::unique_ptr<std::remove_pointer_t<H>, HandleCloser<Close>>;

using UniqueKey = UniqueOf<HKEY, RegCloseKey>;
using UniqueHandle = UniqueOf<HANDLE, CloseHandle>;
using UniqueModule = UniqueOf<HMODULE, FreeLibrary>;
using UniqueWindow = UniqueOf<HWND, DestroyWindow>;
using UniqueGdi = UniqueOf<HGDIOBJ, DeleteObject>;

// A file handle: INVALID_HANDLE_VALUE, not null, marks "none".
class UniqueFile {
 public:
  UniqueFile() = default;
  explicit UniqueFile(HANDLE h) : h_(h) {}
  UniqueFile(UniqueFile&& other) noexcept : h_(other.release()) {}
  UniqueFile& operator=(UniqueFile&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueFile() { reset(); }

  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
  void reset(HANDLE h = INVALID_HANDLE_VALUE) {
    if (*this) CloseHandle(h_);
    h_ = h;
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

}  // namespace basic
