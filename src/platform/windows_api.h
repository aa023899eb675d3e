// The few Windows API types and functions the library calls. On Windows this
// is <windows.h>; in the native (Linux) build, platform/native/ supplies them
// with settable behaviour for tests (see fake_windows.h).
#ifndef QUOREL_PLATFORM_WINDOWS_API_H
#define QUOREL_PLATFORM_WINDOWS_API_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <stdint.h>
#include <wchar.h>

#define WINAPI
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int64_t LONGLONG;
typedef int BOOL;
typedef wchar_t WCHAR;  // 4 bytes here, 2 on Windows: size buffers with sizeof

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER;

typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} OSVERSIONINFOW;

typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID;

BOOL WINAPI GetVersionExW(OSVERSIONINFOW* info);
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency);
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count);
#endif

#endif  // QUOREL_PLATFORM_WINDOWS_API_H
