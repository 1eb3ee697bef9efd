// The library's load entry point. Loading and unloading do nothing of their
// own: the drawing state is zero at load and lives until the process ends.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
