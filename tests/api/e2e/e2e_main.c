/* Runs every case in a child process (discovery happens once per process and
   the DLL has no way to undo it), or, given a case name, that one case. The
   child's temporary files are removed once it has ended, when nothing holds
   them open any more. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "e2e_cases.h"

typedef struct Case {
    const char *name;
    void (*run)(void);
} Case;

static const Case kCases[] = {
    {"positions", case_positions},
    {"peer-bus-card", case_peer_bus_card},
    {"registers-type1", case_registers_type1},
    {"registers-type2", case_registers_type2},
    {"control-status", case_control_status},
    {"before-open", case_before_open},
    {"failed-search-keeps-card", case_failed_search_keeps_card},
    {"mapping-refused", case_mapping_refused},
    {"unmappable-bars", case_unmappable_bars},
    {"reopen-without-rescan", case_reopen_without_rescan},
    {"pacing", case_pacing},
    {"version-banner", case_version_banner},
    {"board-ids", case_board_ids},
    {"two-boards", case_two_boards},
    {"no-card", case_no_card},
    {"board-selection", case_board_selection},
    {"close-versus-close2", case_close_versus_close2},
    {"mixed-types-paced", case_mixed_types_paced},
    {"fifth-card-and-duplicate", case_fifth_card_and_duplicate},
#ifndef _WIN64
    {"stdcall-stack", case_stdcall_stack},
    {"stack-check-catches-wrong-dll", case_stack_check_catches_wrong_dll},
#endif
};
enum { kCaseCount = sizeof(kCases) / sizeof(kCases[0]), kChildTimeoutMs = 60000 };

static int run_one(const char *name) {
    int i;
    for (i = 0; i < kCaseCount; ++i) {
        if (strcmp(kCases[i].name, name) == 0) {
            kCases[i].run();
            return e2e_failures == 0 ? 0 : 1;
        }
    }
    fprintf(stderr, "unknown case \"%s\"\n", name);
    return 2;
}

/* Exit code of this program re-run with the case's name; -1 if it could not
   run or hung. */
static long run_child(const char *name) {
    char exe[MAX_PATH], command[2 * MAX_PATH];
    STARTUPINFOA startup;
    PROCESS_INFORMATION child;
    DWORD code = (DWORD)-1;
    GetModuleFileNameA(NULL, exe, sizeof(exe));
    snprintf(command, sizeof(command), "\"%s\" %s", exe, name);
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    if (!CreateProcessA(exe, command, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &child))
        return -1;
    if (WaitForSingleObject(child.hProcess, kChildTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, code);
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    if (!e2e_remove_temp_folder(child.dwProcessId)) {
        fprintf(stderr, "%s: its temporary files could not be removed\n", name);
        return -1;
    }
    return (long)code;
}

int main(int argc, char **argv) {
    int i, passed = 0, failed = 0;
    if (argc == 2)
        return run_one(argv[1]);
    for (i = 0; i < kCaseCount; ++i) {
        long code = run_child(kCases[i].name);
        printf("%s %s\n", code == 0 ? "PASS" : "FAIL", kCases[i].name);
        fflush(stdout);
        if (code == 0)
            ++passed;
        else
            ++failed;
    }
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
