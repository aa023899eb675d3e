#include "shared_layout.h"

#include "card_model/card_model.h"
#include "card_model/digest.h"
#include "model_window.h"

namespace quorel::sim::shared {

namespace {

using card_model::Digest;
using card_model::DigestNumber;

uint64_t RoundUp(uint64_t size, uint64_t unit) { return (size + unit - 1) / unit * unit; }

uint64_t FunctionDigest(const Address& at, const Function& function, uint64_t digest) {
    digest = DigestNumber(LocationOf(at), digest);
    digest = Digest(function.config.data(), function.config.size(), digest);
    digest = DigestNumber(function.window_size << 1 | (function.refuse_map ? 1 : 0), digest);
    for (const WindowBytes& init : function.window_init) {
        digest = DigestNumber(init.offset, DigestNumber(init.bytes.size(), digest));
        digest = Digest(init.bytes.data(), init.bytes.size(), digest);
    }
    return digest;
}

}  // namespace

Layout LayOut(const Machine& machine) {
    Layout layout;
    layout.machine = DigestNumber(machine.fail_init, card_model::kDigestStart);
    for (const Address& at : machine.Addresses()) {
        const Function& function = *machine.Find(at);
        layout.machine = FunctionDigest(at, function, layout.machine);
        if (function.MemoryBase() == 0)
            continue;
        const uint64_t model = function.model ? function.model->fingerprint | 1 : 0;  // never 0 with a model
        layout.slots.push_back(WindowSlot{0, RoundUp(function.window_size, kCardPage), 0, model, LocationOf(at), 0});
    }
    uint64_t at = RoundUp(sizeof(Header) + layout.slots.size() * sizeof(WindowSlot), alignof(CardRecord));
    for (WindowSlot& slot : layout.slots) {
        slot.card = slot.model ? at : 0;
        at += slot.model ? sizeof(CardRecord) : 0;
    }
    at = RoundUp(at, kCardPage);
    for (WindowSlot& slot : layout.slots) {
        slot.offset = at;
        at += slot.size;
    }
    layout.size = at;
    return layout;
}

}  // namespace quorel::sim::shared
