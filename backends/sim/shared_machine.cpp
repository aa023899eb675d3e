#include "shared_machine.h"

#include <cstring>

#include "environment.h"
#include "machine_parser.h"
#include "trap/trap.h"

namespace quorel::sim {

namespace {

using shared::Header;
using shared::Layout;
using shared::WindowSlot;

constexpr uint64_t kReadyWaitUs = 2'000'000;  // for the maker to fill the memory in
constexpr char kNameCharacters[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-";

Address AddressOf(uint32_t location) {
    return Address{static_cast<uint8_t>(location >> 8), static_cast<uint8_t>(location >> 3 & kMaxDevice),
                   static_cast<uint8_t>(location & kMaxFunction)};
}

std::string ModelDiffers(const WindowSlot& here, const WindowSlot& there) {
    const char* differs = !there.model ? " follows a card model here but is plain memory"
                          : !here.model ? " is plain memory here but follows a card model"
                                        : " follows another card model here than";
    return "card " + FormatAddress(AddressOf(here.location)) + differs +
           " in the processes that share it: give every process the same card models, or choose another name";
}

bool Ready(const uint32_t& flag) { return __atomic_load_n(&flag, __ATOMIC_ACQUIRE) != 0; }

void SetReady(uint32_t& flag) { __atomic_store_n(&flag, 1u, __ATOMIC_RELEASE); }

std::string NameProblem(const std::string& name) {
    if (name.size() <= settings::kSimSharedNameMost && name.find_first_not_of(kNameCharacters) == std::string::npos)
        return "";
    return "not a name for shared memory: use letters, digits, '.', '_' and '-' (at most " +
           std::to_string(settings::kSimSharedNameMost) + ")";
}

}  // namespace

SharedMachine::SharedMachine(std::string name, shared::NamedMemory memory, Layout layout)
    : name_(std::move(name)), memory_(memory), layout_(std::move(layout)),
      lock_(&reinterpret_cast<Header*>(memory.base)->lock) {}

std::unique_ptr<SharedMachine> SharedMachine::Open(const std::string& name, const Layout& layout,
                                                   std::string* why) {
    if (trap::PageSize() != kCardPage) {
        *why = "pages here have " + std::to_string(trap::PageSize()) + " bytes, the layout needs " +
               std::to_string(kCardPage);
        return nullptr;
    }
    shared::NamedMemory memory;
    if (!shared::OpenNamedMemory(name, layout.size, &memory, why)) {
        *why += "; " + shared::HowToStartAfresh(name);
        return nullptr;
    }
    std::unique_ptr<SharedMachine> machine(new SharedMachine(name, memory, layout));
    if (memory.made)
        machine->FillIn();
    else
        *why = machine->WaitUntilReady();
    return why->empty() ? std::move(machine) : nullptr;
}

void SharedMachine::FillIn() {
    Header& header = this->header();
    header.magic = shared::kMagic;
    header.layout_version = shared::kLayoutVersion;
    header.maker = shared::ThisProcess();
    header.size = layout_.size;
    header.machine = layout_.machine;
    header.window_count = static_cast<uint32_t>(layout_.slots.size());
    for (size_t i = 0; i < layout_.slots.size(); ++i)
        slot(i) = layout_.slots[i];
    SetReady(header.ready);
}

// Empty once the maker has filled the memory in and it is of this layout.
std::string SharedMachine::WaitUntilReady() const {
    const std::string system_name = shared::SystemName(name_);
    const std::string afresh = "; " + shared::HowToStartAfresh(name_);
    if (memory_.size < sizeof(Header))
        return system_name + " is too small to be a shared machine" + afresh;
    const Header& header = this->header();
    for (const uint64_t start = shared::MonotonicUs(); !Ready(header.ready);) {
        if (shared::MonotonicUs() - start > kReadyWaitUs)
            return system_name + " was never made ready: the process that made it may have ended first" +
                   afresh;
        shared::Nap();
    }
    if (header.magic != shared::kMagic || header.layout_version != shared::kLayoutVersion)
        return system_name + " was made by another version of the stand-in (layout " +
               std::to_string(header.layout_version) + ", this one's " +
               std::to_string(shared::kLayoutVersion) + ")" + afresh;
    return "";
}

// The machine first, then the models; then where each window lies, which
// follows from both (else the memory is not what its header says).
std::string SharedMachine::Differs(const Layout& layout) const {
    const Header& header = this->header();
    const std::string another =
        "another machine is shared under this name (its functions, their configuration or their window "
        "bytes differ): give every process the same machine, or choose another name";
    const uint64_t slots_end = sizeof(Header) + layout.slots.size() * sizeof(WindowSlot);
    bool same = memory_.size >= slots_end && header.machine == layout.machine &&
                header.window_count == layout.slots.size();
    for (size_t i = 0; same && i < layout.slots.size(); ++i)
        same = layout.slots[i].location == slot(i).location && layout.slots[i].size == slot(i).size;
    if (!same)
        return another;
    for (size_t i = 0; i < layout.slots.size(); ++i)
        if (layout.slots[i].model != slot(i).model)
            return ModelDiffers(layout.slots[i], slot(i));
    same = header.size == layout.size && memory_.size >= layout.size;
    for (size_t i = 0; same && i < layout.slots.size(); ++i)
        same = layout.slots[i].offset == slot(i).offset && layout.slots[i].card == slot(i).card;
    return same ? "" : another;
}

uint8_t* SharedMachine::Window(const Address& at, const Function& function, const std::string& log_target) {
    const uint32_t location = shared::LocationOf(at);
    for (size_t i = 0; i < layout_.slots.size(); ++i) {
        const WindowSlot& here = layout_.slots[i];
        if (here.location != location)
            continue;
        if (!Ready(slot(i).ready))
            Start(i, function);
        return here.card ? Watched(here, function, log_target) : memory_.base + here.offset;
    }
    return nullptr;
}

// The window's bytes as the machine file gives them, and its card, once.
void SharedMachine::Start(size_t i, const Function& function) {
    shared::HeldLock hold(&lock_);
    if (Ready(slot(i).ready))
        return;
    const WindowSlot& here = layout_.slots[i];
    uint8_t* window = memory_.base + here.offset;
    for (const WindowBytes& init : function.window_init)
        std::memcpy(window + init.offset, init.bytes.data(), init.bytes.size());
    if (here.card)
        StartCard(*function.model, window, Record(here));
    SetReady(slot(i).ready);
}

uint8_t* SharedMachine::Watched(const WindowSlot& here, const Function& function,
                                const std::string& log_target) {
    uint8_t* window = memory_.base + here.offset;
    auto [watched, first] = watched_.emplace(here.location, false);
    if (!first)
        return window;
    const std::string location = FormatAddress(AddressOf(here.location));
    std::string why;
    watched->second = WatchCard(window, function.model, Record(here), &lock_, location, log_target, &why);
    if (!watched->second)
        Complain(location + " stays plain memory: its model cannot be followed: " + why);
    return window;
}

std::shared_ptr<SharedMachine> ShareMachine(const std::string& name, const Machine& machine,
                                            std::vector<std::string>* notes) {
    // Never closed: windows handed out stay in use. A name this process
    // could not open stays refused, not waited for again at each load.
    static auto* opened = new std::map<std::string, std::shared_ptr<SharedMachine>>;
    static auto* refused = new std::map<std::string, std::string>;
    std::string why = refused->count(name) ? (*refused)[name] : NameProblem(name);
    std::shared_ptr<SharedMachine>& shared = (*opened)[name];
    const Layout layout = why.empty() ? shared::LayOut(machine) : Layout();
    if (why.empty() && !shared && !(shared = SharedMachine::Open(name, layout, &why)))
        (*refused)[name] = why;
    if (why.empty())
        why = shared->Differs(layout);
    if (why.empty())
        return shared;
    notes->push_back(std::string(kSimShared) + "=" + name + ": " + why +
                     "; this process simulates its machine unshared");
    return nullptr;
}

}  // namespace quorel::sim
