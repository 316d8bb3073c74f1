// The tests' main: an error that reaches the error layer while no test
// stands in for the user is a failure of the running test, not a dialog
// that waits for someone or an end of the program that looks like success.
#include <gtest/gtest.h>

#include "ErrorDialogStandIn.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  FailOnUnexpectedErrors();
  return RUN_ALL_TESTS();
}
