// The program's one pseudo-random generator. It is never seeded: every run
// draws the same sequence, and the order of the draws across the scene is
// part of what the user sees.
#pragma once

// 0 for n == 0 without drawing; otherwise the next value modulo n.
int RandomBelow(int n);

// The next raw value, 0..32767.
int RandomNext();
