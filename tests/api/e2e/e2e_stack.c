/* The __stdcall contract of the 32-bit DLL, checked at run time: every
   export called by its decorated name with its real arguments, through a
   thunk that notes the stack pointer before the call and after the return.
   A __stdcall callee removes exactly its argument bytes (the N of @N); a
   wrong `ret N` or a __cdecl body under an @N name leaves the caller's stack
   off by the difference, which compiled callers never notice until they
   crash. Built for x86 only. */
#include "e2e_cases.h"

#include <stdio.h>
#include <string.h>

/* Pushes words[count-1] .. words[0] (so words[0] is the first argument),
   calls fn, and stores in *removed how many bytes fn took off the stack
   (its `ret N`). Returns fn's eax. The stack is put back whatever fn did. */
int __cdecl e2e_stack_call(FARPROC fn, const unsigned *words, int count, int *removed);
__asm__(".text\n"
        ".globl _e2e_stack_call\n"
        "_e2e_stack_call:\n"
        "    pushl %ebp\n"
        "    movl %esp, %ebp\n"
        "    pushl %ebx\n"
        "    pushl %esi\n"
        "    movl 12(%ebp), %esi\n"
        "    movl 16(%ebp), %ecx\n"
        "1:  testl %ecx, %ecx\n"
        "    jle 2f\n"
        "    pushl -4(%esi,%ecx,4)\n"
        "    decl %ecx\n"
        "    jmp 1b\n"
        "2:  movl %esp, %ebx\n" /* ebx survives the call: callee-saved */
        "    call *8(%ebp)\n"
        "    movl %esp, %ecx\n"
        "    subl %ebx, %ecx\n"
        "    movl 20(%ebp), %edx\n"
        "    movl %ecx, (%edx)\n"
        "    leal -8(%ebp), %esp\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    popl %ebp\n"
        "    ret\n");

typedef struct StackCase {
    const char *plain;  /* the export's plain name */
    int words;         /* its argument bytes / 4 */
    unsigned args[3];
    int result;        /* what it returns here */
} StackCase;

/* Calls each case's decorated export; counts those whose callee removed
   other than its argument bytes or that returned other than expected. */
static int stack_mismatches(HMODULE dll, const StackCase *cases, int count) {
    int i, wrong = 0;
    for (i = 0; i < count; ++i) {
        char name[64];
        int removed = -1, result;
        FARPROC fn;
        snprintf(name, sizeof(name), "_%s@%d", cases[i].plain, 4 * cases[i].words);
        fn = GetProcAddress(dll, name);
        if (!fn) {
            fprintf(stderr, "%s: not exported\n", name);
            ++wrong;
            continue;
        }
        result = e2e_stack_call(fn, cases[i].args, cases[i].words, &removed);
        if (removed != 4 * cases[i].words || result != cases[i].result) {
            fprintf(stderr, "%s: removed %d bytes, returned %d\n", name, removed, result);
            ++wrong;
        }
    }
    return wrong;
}

/* One type-2 card, board 0: every export takes its working path. */
void case_stdcall_stack(void) {
    static const char *const at = "00:03.0";
    int major = 0, minor = 0, ids[4];
    double delay = 2.5;
    unsigned delay_words[2];
    MachineText m;
    Api api;
    machine_init(&m);
    machine_host_bridge(&m);
    machine_card(&m, at, CARD_TYPE2, 0xFEBFF000u);
    machine_window_byte(&m, at, CARD_BOARD_ID_OFFSET, 0x00);
    if (!e2e_start(&m, &api))
        return;
    memcpy(delay_words, &delay, sizeof(delay));
    {
        const StackCase cases[] = {
            {"Quorel_open", 1, {0}, 0},
            {"Quorel_setwr2wrdly", 2, {delay_words[0], delay_words[1]}, 0},
            {"Quorel_out", 2, {5, 0x1AB}, 0},
            {"Quorel_in", 1, {5}, 0xAB},
            {"Quorel_srst", 0, {0}, 0},
            {"Quorel_enint", 0, {0}, 0},
            {"Quorel_disint", 0, {0}, 0},
            {"Quorel_ackint", 0, {0}, 0},
            {"Quorel_sts", 0, {0}, 0x03}, /* the last command byte, 0x03, reads back */
            {"Quorel_LibVersion", 2, {(unsigned)&major, (unsigned)&minor}, 0},
            {"Quorel_close", 0, {0}, 0},
            {"Quorel_open2", 0, {0}, 0},
            {"Quorel_getvalidid2", 1, {(unsigned)ids}, 0},
            {"Quorel_out2", 3, {0, 5, 0x5A}, 0},
            {"Quorel_in2", 2, {0, 5}, 0x5A},
            {"Quorel_close2", 0, {0}, 0},
        };
        CHECK_EQ(stack_mismatches(GetModuleHandleA(E2E_QUOREL_DLL), cases, 16), 0);
    }
    CHECK(major > 0);
    CHECK_EQ(ids[0], 1);
}

/* The check itself, against a DLL that breaks the contract on purpose: a
   __cdecl body exported as _Quorel_open@4 and a __stdcall one that takes
   two arguments exported as _Quorel_in@4. Both must be caught; a correct
   export beside them must not be. */
void case_stack_check_catches_wrong_dll(void) {
    static const StackCase wrong[] = {
        {"Quorel_open", 1, {7}, 7},
        {"Quorel_in", 1, {7}, 7},
    };
    static const StackCase right[] = {{"Quorel_close", 0, {0}, 0}};
    HMODULE dll = e2e_load_beside("stack_wrong.dll");
    if (!dll)
        return;
    CHECK_EQ(stack_mismatches(dll, wrong, 1), 1);
    CHECK_EQ(stack_mismatches(dll, wrong + 1, 1), 1);
    CHECK_EQ(stack_mismatches(dll, right, 1), 0);
}
