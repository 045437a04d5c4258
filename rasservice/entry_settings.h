// What an entry tells the service about its line: number and device, how long each step takes,
// and the faults a person can set (busy line, no answer, wrong password, a device error at a chosen
// state, a remote drop, a slow hang-up). Key names are in docs/rasservice.md.
#pragma once

#include "ras_api.h"
#include "phonebook.h"

#include <optional>
#include <string>
#include <vector>

namespace ras {

enum class Fault { None, Busy, NoAnswer, BadPassword, Device };

struct EntrySettings {
    std::string phone_number;
    std::string device_type = RASDT_Modem;
    std::string device_name = "Standard Modem";
    std::optional<DWORD> step_delay_ms;  // replaces every built-in step time when set
    DWORD hangup_delay_ms = 1000;
    Fault fault = Fault::None;
    RASCONNSTATE fault_state = RASCS_ConnectDevice;
    DWORD fault_error = ERROR_PORT_OR_DEVICE;
    DWORD drop_after_ms = 0;  // 0: the line stays up
    std::vector<std::string> warnings;  // values that were ignored, for the log
};

EntrySettings read_entry_settings(const Phonebook& book, const std::string& entry);

// One progress notification: posted after waiting wait_ms from the previous one.
struct DialStep {
    RASCONNSTATE state;
    DWORD error;
    DWORD wait_ms;
};

// The notifications of one dial, in order: the states up to "connected", or up to the failing
// state followed by that state with the fault's error; then a remote drop if one is set.
std::vector<DialStep> dial_script(const EntrySettings& settings);

// "1", "yes", "true" or "on", in any case.
bool flag_value(const std::optional<std::string>& value);

}  // namespace ras
