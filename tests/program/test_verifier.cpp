#include "test_verifier.h"

namespace {
VerifierScript script = nullptr;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND saver) {
  return script ? script(saver) : FALSE;
}

extern "C" __declspec(dllexport) void SetVerifierScript(VerifierScript s) { script = s; }
