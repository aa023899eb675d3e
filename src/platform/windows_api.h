// The few Windows API types and functions the library calls. On Windows this
// is <windows.h>; in the native (Linux) build the top-level native_winapi/
// supplies them, and its controls let tests and fuzzers set what they do.
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
// The value's length when it fits with its NUL into size bytes, else the
// size it needs (NUL included); 0 when the variable is unset or empty.
DWORD WINAPI GetEnvironmentVariableA(const char* name, char* buffer, DWORD size);

// Registry (advapi32). Natively an in-process registry filled from .reg
// files (native_winapi/).
typedef struct HKEY__* HKEY;
typedef DWORD REGSAM;
typedef uint8_t BYTE;
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define HKEY_DYN_DATA ((HKEY)(uintptr_t)0x80000006u)
#define KEY_READ 0x20019u
#define KEY_ALL_ACCESS 0xF003Fu
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_MULTI_SZ 7u

LONG WINAPI RegOpenKeyExW(HKEY key, const WCHAR* sub_key, DWORD options, REGSAM access,
                          HKEY* result);
LONG WINAPI RegEnumKeyW(HKEY key, DWORD index, WCHAR* name, DWORD name_chars);
LONG WINAPI RegQueryInfoKeyW(HKEY key, WCHAR* class_name, DWORD* class_chars, DWORD* reserved,
                             DWORD* sub_keys, DWORD* max_sub_key_chars, DWORD* max_class_chars,
                             DWORD* values, DWORD* max_value_name_chars,
                             DWORD* max_value_bytes, DWORD* security_bytes,
                             FILETIME* last_write);
LONG WINAPI RegEnumValueW(HKEY key, DWORD index, WCHAR* name, DWORD* name_chars,
                          DWORD* reserved, DWORD* type, BYTE* data, DWORD* data_bytes);
LONG WINAPI RegCloseKey(HKEY key);

// The Microsoft C runtime's forms of two wide-text functions: _wtoi, and
// wcstok with two arguments, which keeps its place between the calls of
// one split in hidden state (glibc's standard wcstok takes it as a third).
inline int _wtoi(const WCHAR* text) { return static_cast<int>(wcstol(text, nullptr, 10)); }
inline WCHAR* wcstok(WCHAR* text, const WCHAR* separators) {
    static thread_local WCHAR* place;
    return wcstok(text, separators, &place);
}

// user32's formatter, for the conversions the library uses: %s (wide
// text), %hs (8-bit text), %.NX / %X (upper-case hex, at least N digits)
// and %%. Like the original it knows nothing of the buffer's size and
// stops at 1024 characters: callers make sure the result fits.
int wsprintfW(WCHAR* buffer, const WCHAR* format, ...);
#endif

#endif  // QUOREL_PLATFORM_WINDOWS_API_H
