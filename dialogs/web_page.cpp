#include "dialogs/web_page.h"

#include "system/shell_open.h"

void OpenWebPage(const char* address) {
  ShellOpen(nullptr, "open", "Explorer.exe", address, nullptr, SW_SHOWNORMAL);
}
