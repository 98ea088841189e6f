#include <windows.h>

#include "program/command_line.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SaverMain(); }
