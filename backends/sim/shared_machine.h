// One simulated machine for several processes (QUOREL_SIM_SHARED=NAME):
// the register windows, and the modelled cards' state, in memory named by
// NAME that each process maps, so that what one writes another reads and
// a card's model acts once, whichever process makes the access. Each
// process still loads its machine and models from their files; the first
// to share NAME lays out the memory (shared_layout.h) while the others
// wait, and a process whose machine or models differ is refused and runs
// unshared. A window's bytes and its card are given their start at its
// first mapping by any process, never again: a new load maps the same.
#ifndef QUOREL_SIM_SHARED_MACHINE_H
#define QUOREL_SIM_SHARED_MACHINE_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cross_process_lock.h"
#include "machine.h"
#include "model_window.h"
#include "shared_layout.h"
#include "shared_platform.h"

namespace quorel::sim {

class SharedMachine {
public:
    // The memory named `name`, made for this layout when there is none, else
    // the one there is once its maker has filled it in; null with why.
    static std::unique_ptr<SharedMachine> Open(const std::string& name, const shared::Layout& layout,
                                               std::string* why);
    // Why a machine so laid out cannot use this memory (another machine, a
    // card with another model), with what to do; empty when it can.
    std::string Differs(const shared::Layout& layout) const;
    // The function's window (a machine that Differs found alike); a
    // modelled card's page is watched in this process at its first mapping.
    uint8_t* Window(const Address& at, const Function& function, const std::string& log_target);

    SharedMachine(const SharedMachine&) = delete;
    SharedMachine& operator=(const SharedMachine&) = delete;
    ~SharedMachine() { shared::CloseNamedMemory(&memory_); }

private:
    SharedMachine(std::string name, shared::NamedMemory memory, shared::Layout layout);
    shared::Header& header() const { return *reinterpret_cast<shared::Header*>(memory_.base); }
    shared::WindowSlot& slot(size_t i) const {
        return reinterpret_cast<shared::WindowSlot*>(memory_.base + sizeof(shared::Header))[i];
    }
    CardRecord* Record(const shared::WindowSlot& slot) const {
        return reinterpret_cast<CardRecord*>(memory_.base + slot.card);
    }
    void FillIn();
    std::string WaitUntilReady() const;
    void Start(size_t i, const Function& function);
    uint8_t* Watched(const shared::WindowSlot& slot, const Function& function, const std::string& log_target);

    std::string name_;
    shared::NamedMemory memory_;
    shared::Layout layout_;  // this process's, the same as the memory's
    shared::CrossProcessLock lock_;
    std::map<uint32_t, bool> watched_;  // by location: whether its page could be watched here
};

// The memory shared under `name` for this machine, opened once per process
// and name; null, with a note for stderr, when the name is not one, the
// memory cannot be had or holds another machine: then the process runs
// unshared.
std::shared_ptr<SharedMachine> ShareMachine(const std::string& name, const Machine& machine,
                                            std::vector<std::string>* notes);

}  // namespace quorel::sim

#endif  // QUOREL_SIM_SHARED_MACHINE_H
