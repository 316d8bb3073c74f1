// The network tests run with the stand-in provider registered for two
// providers; each test serves the network it needs under their names.
#include <gtest/gtest.h>

#include "support/ErrorDialogStandIn.h"
#include "support/NetProviderSandbox.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  FailOnUnexpectedErrors();
  // The Lab's unlisted server lets the tests see which folders the
  // registration makes.
  return RunWithNetProvider(
      "provider Office Network\nprovider Lab Network\n"
      "  server HIDDEN | unlisted\n    share Stock | dats\n    share Safe | password holiday\n",
      [] { return RUN_ALL_TESTS(); });
}
