// The wizard's program entry.
#include <windows.h>

#include "../basic/Form.h"
#include "../basic/SystemLibraries.h"
#include "Global.h"
#include "Unattended.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  basic::RestrictLibrarySearch();
  // From the command line the set-up runs unattended and ends the program
  // with its exit code.
  if (UnattendedRequested()) RunUnattended();
  Main();
  // On a slave the process lives on in the network selector, which ends it.
  MSG msg;
  while (!basic::Form::Forms().empty() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (basic::Form::RouteDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
