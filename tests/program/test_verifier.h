// The stand-in for the system's password verifier that the password tests
// load as PASSWORD.CPL. The test decides what each prompt does.
#pragma once

#include <windows.h>

// Called for every prompt with the saver window; its result is the answer.
using VerifierScript = BOOL (*)(HWND saver);
using SetVerifierScriptFunction = void (*)(VerifierScript script);
