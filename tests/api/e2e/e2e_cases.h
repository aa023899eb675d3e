/* The end-to-end cases; each runs in a process of its own. */
#ifndef QUOREL_TESTS_API_E2E_CASES_H
#define QUOREL_TESTS_API_E2E_CASES_H

#include "e2e_support.h"

void case_positions(void);
void case_peer_bus_card(void);
void case_registers_type1(void);
void case_registers_type2(void);
void case_control_status(void);
void case_before_open(void);
void case_failed_search_keeps_card(void);
void case_mapping_refused(void);
void case_unmappable_bars(void);
void case_reopen_without_rescan(void);
void case_pacing(void);
void case_version_banner(void);

void case_board_ids(void);
void case_two_boards(void);
void case_no_card(void);
void case_board_selection(void);
void case_close_versus_close2(void);
void case_mixed_types_paced(void);
void case_fifth_card_and_duplicate(void);

#ifndef _WIN64
void case_stdcall_stack(void);
void case_stack_check_catches_wrong_dll(void);
#endif

#endif /* QUOREL_TESTS_API_E2E_CASES_H */
