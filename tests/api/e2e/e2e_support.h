/*
 * End-to-end checks of the Quorel DLL as an application sees it: loaded with
 * LoadLibrary next to the stand-in driver-access DLL (Quorel_64.dll beside
 * Ulvexa64.dll, or, built for x86, Quorel_32D.dll beside Ulvexa32.dll),
 * every export looked up by name, the simulated machine chosen through the
 * environment. Discovery runs once per process, so each case runs in a child
 * process of its own.
 */
#ifndef QUOREL_TESTS_API_E2E_SUPPORT_H
#define QUOREL_TESTS_API_E2E_SUPPORT_H

#include <stddef.h>
#include <windows.h>

#include "machine_text.h"
#include "quorel.h"

#ifdef _WIN64
#define E2E_QUOREL_DLL "Quorel_64.dll"
#else
#define E2E_QUOREL_DLL "Quorel_32D.dll"
#endif

/* The sixteen exports, called as an application calls them (__stdcall on
   x86, through the decorated names). */
typedef struct Api {
    int(QUOREL_CALL *open)(int index);
    int(QUOREL_CALL *close)(void);
    int(QUOREL_CALL *in)(int index);
    int(QUOREL_CALL *out)(int index, int value);
    int(QUOREL_CALL *srst)(void);
    int(QUOREL_CALL *enint)(void);
    int(QUOREL_CALL *disint)(void);
    int(QUOREL_CALL *ackint)(void);
    int(QUOREL_CALL *sts)(void);
    int(QUOREL_CALL *lib_version)(int *major, int *minor);
    int(QUOREL_CALL *setwr2wrdly)(double delay);
    int(QUOREL_CALL *open2)(void);
    int(QUOREL_CALL *close2)(void);
    int(QUOREL_CALL *in2)(int board, int index);
    int(QUOREL_CALL *out2)(int board, int index, int value);
    int(QUOREL_CALL *getvalidid2)(int *ids);
} Api;

/* Failed checks so far in this process. */
extern int e2e_failures;

/* Records a failed check with its line and prints it to stderr. A helper
   called from several places checks with CHECK_EQ_AT and CHECK_AT, given
   the line that called it (`at`, 0 for none), which is printed too: it
   takes an `int at` first, and a macro of its name passes __LINE__. */
void e2e_fail(const char *file, int line, int at, const char *what, long long got, long long want);
#define CHECK_EQ_AT(at, got, want)                                                       \
    do {                                                                                 \
        long long got_ = (long long)(got), want_ = (long long)(want);                     \
        if (got_ != want_)                                                               \
            e2e_fail(__FILE__, __LINE__, at, #got " == " #want, got_, want_);            \
    } while (0)
#define CHECK_AT(at, cond)                                                               \
    do {                                                                                 \
        if (!(cond))                                                                     \
            e2e_fail(__FILE__, __LINE__, at, #cond, 0, 1);                               \
    } while (0)
#define CHECK_EQ(got, want) CHECK_EQ_AT(0, got, want)
#define CHECK(cond) CHECK_AT(0, cond)

/* A file in this process's temporary folder (made if need be), into
   path[MAX_PATH]. A case's folder is removed when its process has ended. */
void e2e_temp_file(const char *stem, char *path);
/* Removes the temporary folder of the process `pid` with every file in it;
   0 when something is left. */
int e2e_remove_temp_folder(unsigned long pid);

/* Writes the machine to a temporary file, names it and a fresh call log in
   the environment, frees the text, then loads the DLL and resolves every
   export (on x86 by its decorated name, checking that the plain name, where
   there is one, is the same function). Returns 0 (with a failure recorded)
   when the DLL or an export is missing. */
int e2e_start(MachineText *machine, Api *api);

/* LoadLibrary of `dll_name` from this program's folder; NULL (with a
   failure recorded) if it does not load. */
HMODULE e2e_load_beside(const char *dll_name);

/* Log lines so far that start with `call`, e.g. "PciCfgRead(". */
int e2e_calls(const char *call);
/* The n-th (from 0) MapPhysToLin line's arguments and result; 0 if absent. */
int e2e_mapping(int n, unsigned long long *length, unsigned long long *phys_addr,
                unsigned char **window);

/* Every byte of window[0..count) equals `value` except the `skip_count`
   offsets listed in `skip`. */
int e2e_window_unchanged(const unsigned char *window, unsigned count, unsigned value,
                         const unsigned *skip, int skip_count);

/* The performance counter the library paces with: a reading, and the
   microseconds since an earlier one. */
long long e2e_ticks(void);
double e2e_elapsed_micros(long long start_ticks);

#endif /* QUOREL_TESTS_API_E2E_SUPPORT_H */
