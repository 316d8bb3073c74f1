#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

// Where the kernel runs no 32-bit program, the scripts run Wine's 32-bit
// processes in an emulator of the processor and set KORVELL_EMULATED_CPU.
// The emulator hands Wine no trap number with a fault, so Wine names the
// faults wrongly there (an access violation an illegal instruction, a
// division by zero an invalid floating-point operation): a test of how a
// fault is named and ended cannot pass, and says why it did not run.
#define SKIP_WHERE_FAULTS_ARE_EMULATED()                                                      \
  if (std::getenv("KORVELL_EMULATED_CPU"))                                                    \
  GTEST_SKIP() << "the processor is emulated on this machine, and the emulator misnames faults"
