// One fixed use of the library, every result printed on a line of its own:
// the functions discovery lists, then single-card and multi-card access to
// every card. Built once over the stand-in and once over sysfs; the two
// must print the same for the same machine.
#include <cstdio>

#include "api/inspect.h"
#include "card_facts.h"
#include "quorel.h"

namespace {

constexpr int kBoardIdRegister = CARD_BOARD_ID_OFFSET / 4;
constexpr int kScratchRegister = 1;  // written, then read back
constexpr int kPositionsTried = 6;   // more cards than any machine here holds
constexpr int kBoardsTried = 5;      // board IDs 0..3 and one past them
constexpr unsigned kBarCount = 6;

void PrintFunctions() {
    quorel::inspect::Discover();
    for (const quorel::inspect::Function& r : quorel::inspect::Functions()) {
        std::printf("function %02x:%02x.%x %04x:%04x sub %04x:%04x class %06x hdr %02x irq %u master %u",
                    r.bus, r.devfn >> 3, r.devfn & 7, r.vendor_id, r.device_id,
                    r.subsystem_vendor_id, r.subsystem_id, r.class_code, r.hdr_type, r.irq,
                    static_cast<unsigned>(r.bus_master));
        for (unsigned i = 0; i < kBarCount; ++i)
            std::printf(" %08x", r.bar[i]);
        std::printf(" rom %08x\n", r.rom_bar);
    }
}

void SingleCard() {
    for (int position = -1; position < kPositionsTried; ++position) {
        int opened = Quorel_open(position);
        std::printf("open %d = %d", position, opened);
        if (opened == 0) {
            std::printf(" board register %d", Quorel_in(kBoardIdRegister));
            std::printf(" status %d", Quorel_sts());
            std::printf(" out %d", Quorel_out(kScratchRegister, 0x30 + position));
            std::printf(" scratch %d", Quorel_in(kScratchRegister));
        }
        std::printf("\n");
    }
    std::printf("close = %d", Quorel_close());
    std::printf(", then in = %d\n", Quorel_in(kScratchRegister));
}

void PrintValidIds() {
    int valid[4] = {-1, -1, -1, -1};
    int result = Quorel_getvalidid2(valid);
    std::printf("valid = %d: %d %d %d %d\n", result, valid[0], valid[1], valid[2], valid[3]);
}

void MultiCard() {
    std::printf("open2 = %d\n", Quorel_open2());
    PrintValidIds();
    for (int board = 0; board < kBoardsTried; ++board) {
        // One call per statement: each selects the board the next one reads.
        std::printf("board %d: register %d", board, Quorel_in2(board, kBoardIdRegister));
        std::printf(" status %d", Quorel_sts());
        std::printf(" out %d", Quorel_out2(board, kScratchRegister, 0x50 + board));
        std::printf(" scratch %d\n", Quorel_in2(board, kScratchRegister));
    }
    std::printf("close2 = %d\n", Quorel_close2());
    PrintValidIds();
}

}  // namespace

int main() {
    PrintFunctions();
    SingleCard();
    MultiCard();
    return 0;
}
