// The product's web page, opened by the shell.
#pragma once

// Asks the shell to open the address in the browser; what comes of it is
// not looked at.
void OpenWebPage(const char* address);
