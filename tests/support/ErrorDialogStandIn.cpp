#include "ErrorDialogStandIn.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "Watchman.h"
#include "basic/Text.h"

namespace {
ErrorDialogStandIn* g_current = nullptr;

void FailTheTest() {
  ADD_FAILURE() << "unexpected error:\n" << basic::ToAnsi(vbwMessageString);
  vbwRetCode = 6;
}
}  // namespace

void FailOnUnexpectedErrors() {
  vbwShowErrorDialog = &FailTheTest;
  WatchTheTests();
}


ErrorDialogStandIn::ErrorDialogStandIn(std::vector<int32_t> answers)
    : answers_(std::move(answers)), previous_(vbwShowErrorDialog), outer_(g_current) {
  g_current = this;
  vbwShowErrorDialog = &ErrorDialogStandIn::Answer;
}

ErrorDialogStandIn::~ErrorDialogStandIn() {
  vbwShowErrorDialog = previous_;
  g_current = outer_;
}

void ErrorDialogStandIn::Answer() {
  auto& self = *g_current;
  const size_t i = std::min(self.shown_.size(), self.answers_.size() - 1);
  self.shown_.push_back({vbwMessageString, vbwSavedErr});
  vbwRetCode = self.answers_[i];
}
