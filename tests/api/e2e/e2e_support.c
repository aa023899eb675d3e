#include "e2e_support.h"

#include "log_reader.h"

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int e2e_failures = 0;

static char log_path[MAX_PATH];

void e2e_fail(const char *file, int line, int at, const char *what, long long got, long long want) {
    ++e2e_failures;
    fprintf(stderr, "%s:%d: check failed: %s (got %lld, want %lld)", file, line, what, got, want);
    if (at)
        fprintf(stderr, ", called from line %d", at);
    fprintf(stderr, "\n");
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

/* The export `plain`, by its decorated name on x86, where 32-bit programs
   bind to it; there the plain name, where it exists, must be the same
   function. NULL (with a failure recorded) if either is wrong. */
static FARPROC export_of(HMODULE dll, const char *plain, int arg_bytes, int has_plain) {
    char decorated[64];
    FARPROC proc, plain_proc;
#ifdef _WIN64
    (void)arg_bytes, (void)has_plain;
    snprintf(decorated, sizeof(decorated), "%s", plain);
#else
    snprintf(decorated, sizeof(decorated), "_%s@%d", plain, arg_bytes);
#endif
    proc = GetProcAddress(dll, decorated);
    plain_proc = GetProcAddress(dll, plain);
    if (!proc)
        e2e_fail(__FILE__, __LINE__, 0, decorated, 0, 1);
    else if (has_plain && plain_proc != proc)
        e2e_fail(__FILE__, __LINE__, 0, plain, (long long)(size_t)plain_proc, (long long)(size_t)proc);
    else
        return proc;
    return NULL;
}

/* Each export with its argument bytes and its place in Api. */
static const struct {
    const char *name;
    int arg_bytes;
    size_t field;
} kExports[] = {
    {"Quorel_open", 4, offsetof(Api, open)},       {"Quorel_close", 0, offsetof(Api, close)},
    {"Quorel_in", 4, offsetof(Api, in)},           {"Quorel_out", 8, offsetof(Api, out)},
    {"Quorel_srst", 0, offsetof(Api, srst)},       {"Quorel_enint", 0, offsetof(Api, enint)},
    {"Quorel_disint", 0, offsetof(Api, disint)},   {"Quorel_ackint", 0, offsetof(Api, ackint)},
    {"Quorel_sts", 0, offsetof(Api, sts)},         {"Quorel_LibVersion", 8, offsetof(Api, lib_version)},
    {"Quorel_setwr2wrdly", 8, offsetof(Api, setwr2wrdly)},
    {"Quorel_open2", 0, offsetof(Api, open2)},     {"Quorel_close2", 0, offsetof(Api, close2)},
    {"Quorel_in2", 8, offsetof(Api, in2)},         {"Quorel_out2", 12, offsetof(Api, out2)},
    {"Quorel_getvalidid2", 4, offsetof(Api, getvalidid2)},
};

HMODULE e2e_load_beside(const char *dll_name) {
    char path[MAX_PATH];
    char *slash;
    HMODULE dll;
    GetModuleFileNameA(NULL, path, sizeof(path));
    slash = strrchr(path, '\\');
    snprintf(slash ? slash + 1 : path, sizeof(path) - (size_t)(slash ? slash + 1 - path : 0), "%s",
             dll_name);
    dll = LoadLibraryA(path);
    if (!dll)
        e2e_fail(__FILE__, __LINE__, 0, dll_name, (long long)GetLastError(), 0);
    return dll;
}

/* memcpy: FARPROC and the export's own pointer type are different function
   pointer types, and a cast between them draws -Wcast-function-type. On
   x86 Quorel_LibVersion has only its decorated name. */
static int load(Api *api) {
    HMODULE dll = e2e_load_beside(E2E_QUOREL_DLL);
    size_t i;
    if (!dll)
        return 0;
    for (i = 0; i < sizeof(kExports) / sizeof(kExports[0]); ++i) {
        int has_plain = sizeof(void *) == 8 || strcmp(kExports[i].name, "Quorel_LibVersion") != 0;
        FARPROC proc = export_of(dll, kExports[i].name, kExports[i].arg_bytes, has_plain);
        if (!proc)
            return 0;
        memcpy((char *)api + kExports[i].field, &proc, sizeof(proc));
    }
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
        e2e_fail(__FILE__, __LINE__, 0, "temporary files written", 0, 1);
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
