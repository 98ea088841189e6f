// The test seams of the saver's modules: each puts a module's state back to
// where it is at process start, so that one test program can run many
// scenes. The program never calls them; each is defined beside the state it
// resets.
#pragma once

#include <windows.h>

void ResetShellState();
// The time between two password checks read from the given clock (ms).
void ResetPasswordState(DWORD(WINAPI* clock)() = GetTickCount);
void ResetSaverWindowState();
void ResetDefaultSaverState();
void ResetSettingsProcessState();
void ResetRandom();
void ResetWind();
// The sleigh's background store stays.
void ResetSleigh();
// The frame counter at the given count (0 at process start).
void ResetScene(int frameCount = 0);

// Puts a flake slot at (x, y) with the given steps and kind, as a spawn
// would leave it (not drawn yet). Scenes set up by hand start from here.
void PlaceFlake(int slot, int x, int y, int dx, int dy, int kind);
