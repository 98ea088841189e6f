#include <windows.h>

#include "shell/command_line.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SaverMain(); }
