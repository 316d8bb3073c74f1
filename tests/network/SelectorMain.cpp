// The selector tests run with the stand-in provider serving a small office
// network: a master server with the planner's share, a protected share and a
// printer, a second server, a workgroup and a server with many shares.
#include <gtest/gtest.h>

#include "network/SelectorNetwork.h"
#include "support/ErrorDialogStandIn.h"
#include "support/NetProviderSandbox.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  FailOnUnexpectedErrors();
  return RunWithNetProvider(kSelectorNetwork, [] { return RUN_ALL_TESTS(); });
}
