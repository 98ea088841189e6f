#include "settings/about_dialog.h"

// For now the box only closes; its text arrives with the full About box.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if ((message == WM_COMMAND && LOWORD(wParam) == IDOK) || message == WM_CLOSE) {
    EndDialog(dialog, 0);
  }
  return message == WM_INITDIALOG;
}
