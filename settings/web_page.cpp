#include "settings/web_page.h"

#include "shell/shell_open.h"

void OpenWebPage(const char* address) {
  ShellOpen(nullptr, "open", "Explorer.exe", address, nullptr, SW_SHOWNORMAL);
}
