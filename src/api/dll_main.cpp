// The DLL's entry point. Loading and unloading do no work: the globals are
// statically initialised, and nothing is unmapped or shut down at unload
// (applications call Quorel_close / Quorel_close2 for that).
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
