#include "e2e_support.h"

#include "log_reader.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int e2e_failures = 0;

static char log_path[MAX_PATH];

void e2e_fail(const char *file, int line, const char *what, long long got, long long want) {
    ++e2e_failures;
    fprintf(stderr, "%s:%d: check failed: %s (got %lld, want %lld)\n", file, line, what, got,
            want);
}

static void temp_folder(char *path, unsigned long pid) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    snprintf(path, MAX_PATH, "%squorel-e2e-%lu", dir, pid);
}

void e2e_temp_file(const char *stem, char *path) {
    char folder[MAX_PATH];
    temp_folder(folder, GetCurrentProcessId());
    CreateDirectoryA(folder, NULL); /* or it is there already */
    snprintf(path, MAX_PATH, "%s\\%s.txt", folder, stem);
}

int e2e_remove_temp_folder(unsigned long pid) {
    char folder[MAX_PATH], pattern[MAX_PATH], file[MAX_PATH];
    WIN32_FIND_DATAA found;
    HANDLE search;
    temp_folder(folder, pid);
    snprintf(pattern, sizeof(pattern), "%s\\*", folder);
    search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 1; /* the case made none */
    do {
        snprintf(file, sizeof(file), "%s\\%s", folder, found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA(file);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return RemoveDirectoryA(folder) != 0;
}

static int write_file(const char *path, const char *text, size_t length) {
    FILE *file = fopen(path, "wb");
    int ok = file && fwrite(text, 1, length, file) == length;
    if (file)
        ok = fclose(file) == 0 && ok;
    return ok;
}

/* The whole file as a NUL-terminated string; the caller frees it. */
static char *read_file(const char *path) {
    FILE *file = fopen(path, "rb");
    char *text;
    long size;
    if (!file)
        return NULL;
    fseek(file, 0, SEEK_END);
    size = ftell(file);
    fseek(file, 0, SEEK_SET);
    text = (char *)calloc((size_t)size + 1, 1);
    if (text && fread(text, 1, (size_t)size, file) != (size_t)size)
        text[0] = '\0';
    fclose(file);
    return text;
}

/* memcpy: FARPROC and the export's own pointer type are different function
   pointer types, and a cast between them draws -Wcast-function-type. */
#define RESOLVE(api, dll, field, name)                                        \
    do {                                                                      \
        FARPROC proc_ = GetProcAddress(dll, name);                            \
        memcpy(&(api)->field, &proc_, sizeof(proc_));                         \
        if (!proc_) {                                                         \
            e2e_fail(__FILE__, __LINE__, "export " name " found", 0, 1);      \
            return 0;                                                         \
        }                                                                     \
    } while (0)

static int load(Api *api) {
    char path[MAX_PATH];
    char *slash;
    HMODULE dll;
    GetModuleFileNameA(NULL, path, sizeof(path));
    slash = strrchr(path, '\\');
    strcpy(slash ? slash + 1 : path, "Quorel_64.dll");
    dll = LoadLibraryA(path);
    if (!dll) {
        e2e_fail(__FILE__, __LINE__, "LoadLibrary(Quorel_64.dll)", (long long)GetLastError(), 0);
        return 0;
    }
    RESOLVE(api, dll, open, "Quorel_open");
    RESOLVE(api, dll, close, "Quorel_close");
    RESOLVE(api, dll, in, "Quorel_in");
    RESOLVE(api, dll, out, "Quorel_out");
    RESOLVE(api, dll, srst, "Quorel_srst");
    RESOLVE(api, dll, enint, "Quorel_enint");
    RESOLVE(api, dll, disint, "Quorel_disint");
    RESOLVE(api, dll, ackint, "Quorel_ackint");
    RESOLVE(api, dll, sts, "Quorel_sts");
    RESOLVE(api, dll, lib_version, "Quorel_LibVersion");
    RESOLVE(api, dll, setwr2wrdly, "Quorel_setwr2wrdly");
    RESOLVE(api, dll, open2, "Quorel_open2");
    RESOLVE(api, dll, close2, "Quorel_close2");
    RESOLVE(api, dll, in2, "Quorel_in2");
    RESOLVE(api, dll, out2, "Quorel_out2");
    RESOLVE(api, dll, getvalidid2, "Quorel_getvalidid2");
    return 1;
}

int e2e_start(MachineText *machine, Api *api) {
    char machine_path[MAX_PATH];
    int written;
    e2e_temp_file("machine", machine_path);
    e2e_temp_file("log", log_path);
    written = write_file(machine_path, machine->text, machine->length) &&
              write_file(log_path, "", 0);
    machine_free(machine);
    if (!written) {
        e2e_fail(__FILE__, __LINE__, "temporary files written", 0, 1);
        return 0;
    }
    /* The stand-in reads these through kernel32 at its next load of a
       machine, i.e. at the first open. */
    SetEnvironmentVariableA("QUOREL_SIM_MACHINE", machine_path);
    SetEnvironmentVariableA("QUOREL_SIM_LOG", log_path);
    return load(api);
}

int e2e_calls(const char *call) {
    char *text = read_file(log_path);
    int count = text ? log_count(text, call) : 0;
    free(text);
    return count;
}

int e2e_mapping(int n, unsigned long long *length, unsigned long long *phys_addr,
                unsigned char **window) {
    char *text = read_file(log_path);
    const char *cursor = text ? text : "", *line = NULL;
    unsigned long long address = 0;
    int found = 0;
    *length = *phys_addr = 0;
    while (n-- >= 0 && (line = log_next(&cursor, "MapPhysToLin(")) != NULL)
        continue;
    if (line)
        found = sscanf(line, "MapPhysToLin(length=%llx, phys_addr=%llx) = %llx", length, phys_addr,
                       &address) >= 2;
    *window = (unsigned char *)(size_t)address;
    free(text);
    return found;
}

int e2e_window_unchanged(const unsigned char *window, unsigned count, unsigned value,
                         const unsigned *skip, int skip_count) {
    unsigned offset;
    int i, unchanged = 1;
    for (offset = 0; offset < count; ++offset) {
        int skipped = 0;
        for (i = 0; i < skip_count; ++i)
            skipped |= skip[i] == offset;
        if (!skipped && window[offset] != value) {
            fprintf(stderr, "window byte at %u changed to 0x%02x\n", offset, window[offset]);
            unchanged = 0;
        }
    }
    return unchanged;
}

long long e2e_ticks(void) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double e2e_elapsed_micros(long long start_ticks) {
    LARGE_INTEGER frequency;
    long long ticks = e2e_ticks() - start_ticks;
    QueryPerformanceFrequency(&frequency);
    return (double)ticks * 1e6 / (double)frequency.QuadPart;
}
