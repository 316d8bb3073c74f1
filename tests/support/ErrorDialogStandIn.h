// Stands in for the user at the error dialog: answers each error with the
// next of the given action codes (the last one repeats) and records what the
// handler was given. Restores the real dialog when it goes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "errorreport/vbwErrHandler.h"

class ErrorDialogStandIn {
 public:
  explicit ErrorDialogStandIn(std::vector<int32_t> answers);
  ~ErrorDialogStandIn();

  struct Shown {
    std::wstring message;
    basic::ErrObject err;
  };
  const std::vector<Shown>& Errors() const { return shown_; }

 private:
  static void Answer();

  std::vector<int32_t> answers_;
  std::vector<Shown> shown_;
  vbwErrorDialog previous_;
  ErrorDialogStandIn* outer_;
};

// From now on an error that no stand-in answers fails the running test and
// leaves the failing procedure; and the tests are watched for what holds
// them (see Watchman.h).
void FailOnUnexpectedErrors();
