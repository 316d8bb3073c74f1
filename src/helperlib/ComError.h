// Failures leave the library only as an HRESULT with the thread's error
// information set, so that clients of either binding see the run-time
// error's number and text.
#pragma once
#include <windows.h>

#include <exception>

// Records what was thrown as the thread's error information and answers its HRESULT.
HRESULT ReportFailure(std::exception_ptr thrown) noexcept;

// Runs one call from a client; nothing it throws gets past this.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (...) {
    return ReportFailure(std::current_exception());
  }
}
