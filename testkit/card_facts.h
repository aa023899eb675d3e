/*
 * The card as its description gives it, stated by the tests and fuzzers
 * themselves and never taken from the library under test: a wrong constant
 * in the library must make a test fail, not be mirrored in what the test
 * expects. Plain C macros for the end-to-end program, the same values named
 * for C++.
 */
#ifndef QUOREL_TESTKIT_CARD_FACTS_H
#define QUOREL_TESTKIT_CARD_FACTS_H

#define CARD_VENDOR 0x6A5Du
#define CARD_TYPE1 0x0101u          /* device ID of the 4 MiB-window variant */
#define CARD_TYPE2 0x494Fu          /* device ID of the 1 KiB-window variant */
#define CARD_WINDOW_TYPE1 0x400000u
#define CARD_WINDOW_TYPE2 0x400u
#define CARD_BOARD_ID_OFFSET 24u    /* register 6 */
#define CARD_CSR_OFFSET 1020u       /* register 255, control/status */
#define CARD_BAR_FLAGS 0xFu         /* low bits of a memory BAR, not address */

#ifdef __cplusplus
#include <cstdint>

namespace test_card {
constexpr uint16_t kVendorId = CARD_VENDOR;
constexpr uint16_t kDeviceIdType1 = CARD_TYPE1;
constexpr uint16_t kDeviceIdType2 = CARD_TYPE2;
constexpr uint64_t kWindowType1 = CARD_WINDOW_TYPE1;
constexpr uint64_t kWindowType2 = CARD_WINDOW_TYPE2;
constexpr uint32_t kBoardIdOffset = CARD_BOARD_ID_OFFSET;
constexpr uint32_t kCsrOffset = CARD_CSR_OFFSET;
constexpr uint32_t kBarAddressMask = ~uint32_t{CARD_BAR_FLAGS};
}  // namespace test_card
#endif

#endif /* QUOREL_TESTKIT_CARD_FACTS_H */
