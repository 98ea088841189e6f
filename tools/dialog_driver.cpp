// Drives a dialog of another program as a user would, for the screenshot
// scripts: finds the visible window of that caption (waiting up to 30 s)
// and takes the steps in order.
//
//   dialog_driver CAPTION STEP...
//     press ID        a click on the button (it toggles a check box)
//     click ID        the command of a click on the control, which leaves a
//                     check box as it is
//     type ID TEXT    the edit's text
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: dialog_driver CAPTION [press ID | click ID | type ID TEXT]...\n");
    return 2;
  }
  HWND dialog = nullptr;
  for (int i = 0; i < 300 && !(dialog && IsWindowVisible(dialog)); ++i, Sleep(100)) {
    dialog = FindWindowA(nullptr, argv[1]);
  }
  if (!dialog) {
    fprintf(stderr, "dialog_driver: no window \"%s\"\n", argv[1]);
    return 1;
  }
  for (int i = 2; i + 1 < argc; i += 2) {
    const int id = atoi(argv[i + 1]);
    if (strcmp(argv[i], "press") == 0) {
      SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
    } else if (strcmp(argv[i], "click") == 0) {
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    } else if (strcmp(argv[i], "type") == 0 && i + 2 < argc) {
      SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[i + 2]));
      ++i;
    } else {
      fprintf(stderr, "dialog_driver: unknown step %s\n", argv[i]);
      return 2;
    }
  }
  return 0;
}
