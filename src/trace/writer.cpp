#include "trace/writer.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "platform/windows_api.h"
#include "settings/settings.h"
#include "trace/text.h"

// This DLL's own module, without a DllMain to hand it over.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace quorel::trace {

namespace {

constexpr wchar_t kFileName[] = L"quorel-trace.txt";
constexpr int64_t kTenthsPerSecond = 10000000;  // times are in tenths of a microsecond
constexpr unsigned kPathChars = 32768;         // the longest path Windows has

// Built at load, before any export can be called.
struct Lock {
    CRITICAL_SECTION section;
    Lock() { InitializeCriticalSection(&section); }
};
Lock lock;
struct Scoped {
    Scoped() { EnterCriticalSection(&lock.section); }
    ~Scoped() { LeaveCriticalSection(&lock.section); }
};

bool opened = false;
FILE* out = nullptr;  // null when no destination could be opened
int64_t first_call = 0;
int64_t frequency = 1;
unsigned long long sequence = 0;
wchar_t path[kPathChars];
wchar_t variable[sizeof(settings::kTrace)];
char utf8[kPathChars * 3];

int64_t Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// "123.4": ticks as microseconds with one decimal, without overflow for
// counters of any frequency over days.
void AddMicros(Text& text, int64_t ticks) {
    const int64_t tenths = ticks / frequency * kTenthsPerSecond + ticks % frequency * kTenthsPerSecond / frequency;
    text.Add("%lld.%lldus", (long long)(tenths / 10), (long long)(tenths % 10));
}

const char* Utf8(const wchar_t* wide) {
    if (!WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof(utf8), nullptr, nullptr))
        utf8[0] = '\0';
    return utf8;
}

// Opens `folder` + kFileName for appending; folder ends in a backslash or is empty.
FILE* OpenIn(wchar_t* folder_path) {
    if (wcslen(folder_path) + wcslen(kFileName) >= kPathChars)
        return nullptr;
    wcscat(folder_path, kFileName);
    return _wfopen(folder_path, L"ab");
}

// The setting's name (ASCII) as GetEnvironmentVariableW takes it.
const wchar_t* VariableName() {
    for (size_t i = 0; i < sizeof(settings::kTrace); ++i)
        variable[i] = static_cast<wchar_t>(settings::kTrace[i]);
    return variable;
}

// The file settings::kTrace names, else beside the program, else in the
// user's temporary folder.
FILE* OpenDestination(Text& note) {
    const DWORD n = GetEnvironmentVariableW(VariableName(), path, kPathChars);
    if (n > 0 && n < kPathChars) {
        if (std::strcmp(Utf8(path), settings::kToStderr) == 0)
            return stderr;
        if (FILE* file = _wfopen(path, L"ab"))
            return file;
        note.Add("; %s=%s cannot be opened", settings::kTrace, Utf8(path));
    }
    const DWORD length = GetModuleFileNameW(nullptr, path, kPathChars);
    if (length > 0 && length < kPathChars) {
        wchar_t* slash = wcsrchr(path, L'\\');
        *(slash ? slash + 1 : path) = L'\0';
        if (FILE* file = OpenIn(path))
            return file;
    }
    const DWORD temp = GetTempPathW(kPathChars, path);
    if (temp > 0 && temp < kPathChars)
        return OpenIn(path);
    return nullptr;
}

void WriteHeader(const Text& note) {
    Text header;
    GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, kPathChars);
    header.Add("Quorel trace: version %s, %d-bit, %s", QUOREL_FILE_VERSION_TEXT,
               static_cast<int>(sizeof(void*) * 8), Utf8(path));
    GetModuleFileNameW(nullptr, path, kPathChars);
    header.Add("; process %lu, %s", static_cast<unsigned long>(GetCurrentProcessId()), Utf8(path));
    header.Add("; command line: %s%s\n", Utf8(GetCommandLineW()), note.c_str());
    std::fputs(header.c_str(), out);
    std::fflush(out);
}

void Open() {
    LARGE_INTEGER f;
    if (QueryPerformanceFrequency(&f) && f.QuadPart > 0)
        frequency = f.QuadPart;
    Text note;
    out = OpenDestination(note);
    if (out)
        WriteHeader(note);
    opened = true;
}

}  // namespace

int64_t CallStart() {
    Scoped held;
    if (opened)
        return Now();
    Open();  // not timed: the first call starts at 0 once the trace is open
    first_call = Now();
    return first_call;
}

void WriteCall(int64_t start, const char* call, const char* details) {
    const int64_t end = Now();
    Scoped held;
    if (!out)
        return;
    Text line;
    line.Add("#%llu t=", ++sequence);
    AddMicros(line, start - first_call);
    line.Add(" thread=%lu %s (", static_cast<unsigned long>(GetCurrentThreadId()), call);
    AddMicros(line, end - start);
    line.Add(")\n");
    std::fputs(line.c_str(), out);
    std::fputs(details, out);
    std::fflush(out);
}

}  // namespace quorel::trace
