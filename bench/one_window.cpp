// The least a program can do to show a window like the sharing instruction
// under Wine: it loads the common controls and opens one captioned window
// with a label and a button, nothing else. The start-up benchmark measures it
// beside the wizard, so that the figures tell the wizard's own share from
// what any such program costs on the machine at that moment.
#include <windows.h>
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HWND window = CreateWindowExA(0, "STATIC", "One window", WS_CAPTION | WS_SYSMENU, 0, 0, 173, 574, nullptr, nullptr,
                                instance, nullptr);
  CreateWindowExA(0, "STATIC", "Make Sure", WS_CHILD | WS_VISIBLE, 0, 7, 167, 115, window, nullptr, instance, nullptr);
  CreateWindowExA(0, "BUTTON", "O.K.", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 35, 308, 96, 26, window, nullptr,
                  instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
