// marker_library.cpp: a stand-in ovalith.dll that shows it was loaded: it
// leaves ovalith-loaded.txt in the current directory as it is loaded.  The
// tests plant it in the folder of the file the program works on, where the
// program must never load it from.
#include <windows.h>

#include "cipher/cipher_abi.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    HANDLE marker =
        CreateFileW(L"ovalith-loaded.txt", GENERIC_WRITE, 0, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  }
  return TRUE;
}

// Working entry points, so that a program that loaded it would go on and
// succeed instead of failing for another reason.
extern "C" __declspec(dllexport) void OVALITH_CALL
    encrypt(const unsigned char* in, unsigned char* out, const unsigned char*) {
  CopyMemory(out, in, 8);
}

extern "C" __declspec(dllexport) void OVALITH_CALL
    decrypt(const unsigned char* in, unsigned char* out, const unsigned char*) {
  CopyMemory(out, in, 8);
}
