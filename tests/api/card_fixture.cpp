#include "card_fixture.h"

#include "api/card_state.h"
#include "log_reader.h"
#include "pci/device_list.h"
#include "sim_machine.h"

namespace card_test {

CardAccessTest::CardAccessTest() {
    quorel::internal::ResetDiscovery();
    quorel::internal::ResetCardAccess();
    log_path_ = test_support::StartSimLog();
}

CardAccessTest::~CardAccessTest() {
    test_support::StopSimLog();
    test_support::UseDefaultMachine();
}

void CardAccessTest::Use(MachineText& machine) {
    test_support::UseMachine(machine.text);
    machine_free(&machine);
}

void CardAccessTest::AddStandardCards(MachineText& machine) {
    machine_host_bridge(&machine);
    machine_card(&machine, kType2At, CARD_TYPE2, kType2Bar);
    machine_card(&machine, kFirstType1At, CARD_TYPE1, kFirstType1Bar);
    machine_card(&machine, kSecondType1At, CARD_TYPE1, kSecondType1Bar);
}

void CardAccessTest::UseStandardMachine() {
    MachineText machine;
    machine_init(&machine);
    AddStandardCards(machine);
    Use(machine);
}

int CardAccessTest::Calls(const std::string& call) const {
    return log_count(test_support::ReadFile(log_path_).c_str(), call.c_str());
}

uint8_t WindowByte(uint32_t offset) { return quorel::RegisterWindow[offset]; }

}  // namespace card_test
