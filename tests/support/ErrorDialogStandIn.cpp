#include "ErrorDialogStandIn.h"

#include <algorithm>

namespace {
ErrorDialogStandIn* g_current = nullptr;
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
