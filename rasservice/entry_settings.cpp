#include "entry_settings.h"

#include <cstdlib>

namespace ras {

namespace {

// A delay longer than this is a typing error, not a modem.
constexpr DWORD kMaxDelayMs = 10 * 60 * 1000;

// How long each state lasts on a real line before the next is reported.
struct Timed {
    RASCONNSTATE state;
    DWORD ms;
};
constexpr Timed kSchedule[] = {
    {RASCS_OpenPort, 250},           {RASCS_PortOpened, 250},
    {RASCS_ConnectDevice, 5000},     // dialling, ringing, modems training
    {RASCS_DeviceConnected, 250},    {RASCS_AllDevicesConnected, 500},
    {RASCS_Authenticate, 1500},      {RASCS_Authenticated, 750},
    {RASCS_Projected, 500},          {RASCS_Connected, 1000},
};
constexpr DWORD kBusyMs = 2000;      // a busy tone is heard soon after dialling
constexpr DWORD kNoAnswerMs = 15000; // the modem gives up after ringing a while

bool parse_number(const std::string& s, DWORD max, DWORD& out) {
    if (s.empty() || s.size() > 10) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    unsigned long long v = std::strtoull(s.c_str(), nullptr, 10);
    if (v > max) return false;
    out = DWORD(v);
    return true;
}

bool lower_equals(const std::string& a, const char* b) { return same_name(a, b); }

}  // namespace

bool flag_value(const std::optional<std::string>& value) {
    if (!value) return false;
    return lower_equals(*value, "1") || lower_equals(*value, "yes") || lower_equals(*value, "true") ||
           lower_equals(*value, "on");
}

EntrySettings read_entry_settings(const Phonebook& book, const std::string& entry) {
    EntrySettings s;
    auto text = [&](const char* key) { return book.value(entry, key); };
    auto number = [&](const char* key, DWORD max, auto apply) {
        std::optional<std::string> v = text(key);
        if (!v || v->empty()) return;
        DWORD n = 0;
        if (parse_number(*v, max, n))
            apply(n);
        else
            s.warnings.push_back(std::string(key) + "=" + *v + " ignored");
    };

    s.phone_number = text("PhoneNumber").value_or("");
    if (auto v = text("DeviceType"); v && !v->empty()) s.device_type = *v;
    if (auto v = text("DeviceName"); v && !v->empty()) s.device_name = *v;

    number("StepDelayMs", kMaxDelayMs, [&](DWORD n) { s.step_delay_ms = n; });
    number("HangUpDelayMs", kMaxDelayMs, [&](DWORD n) { s.hangup_delay_ms = n; });
    number("DropAfterMs", kMaxDelayMs, [&](DWORD n) { s.drop_after_ms = n; });

    if (std::optional<std::string> f = text("Fault"); f && !f->empty()) {
        if (lower_equals(*f, "none")) s.fault = Fault::None;
        else if (lower_equals(*f, "busy")) s.fault = Fault::Busy;
        else if (lower_equals(*f, "noanswer")) s.fault = Fault::NoAnswer;
        else if (lower_equals(*f, "badpassword")) s.fault = Fault::BadPassword;
        else if (lower_equals(*f, "device")) s.fault = Fault::Device;
        else s.warnings.push_back("Fault=" + *f + " ignored");
    }
    if (s.fault == Fault::Device) {
        number("FaultState", 0xFFFF, [&](DWORD n) { s.fault_state = RASCONNSTATE(n); });
        number("FaultError", 0xFFFF, [&](DWORD n) {
            if (n != 0) s.fault_error = n;
        });
        bool in_sequence = false;
        for (const Timed& t : kSchedule) in_sequence |= t.state == s.fault_state;
        if (!in_sequence) {
            s.warnings.push_back("FaultState=" + std::to_string(s.fault_state) +
                                 " is not a state of a dial; fault ignored");
            s.fault = Fault::None;
        }
    }
    return s;
}

std::vector<DialStep> dial_script(const EntrySettings& settings) {
    RASCONNSTATE fail_at = RASCS_Connected;
    DWORD fail_error = 0, fail_ms = 0;
    switch (settings.fault) {
    case Fault::None: break;
    case Fault::Busy: fail_at = RASCS_ConnectDevice, fail_error = ERROR_LINE_BUSY, fail_ms = kBusyMs; break;
    case Fault::NoAnswer: fail_at = RASCS_ConnectDevice, fail_error = ERROR_NO_ANSWER, fail_ms = kNoAnswerMs; break;
    case Fault::BadPassword: fail_at = RASCS_Authenticate, fail_error = ERROR_AUTHENTICATION_FAILURE; break;
    case Fault::Device: fail_at = settings.fault_state, fail_error = settings.fault_error; break;
    }

    auto wait = [&](DWORD ms) { return settings.step_delay_ms.value_or(ms); };
    std::vector<DialStep> script;
    DWORD next_wait = 0;
    for (const Timed& t : kSchedule) {
        script.push_back({t.state, 0, next_wait});
        if (fail_error != 0 && t.state == fail_at) {
            script.push_back({t.state, fail_error, wait(fail_ms ? fail_ms : t.ms)});
            return script;
        }
        if (t.state == RASCS_Connected) break;
        next_wait = wait(t.ms);
    }
    if (settings.drop_after_ms > 0) script.push_back({RASCS_Disconnected, 0, settings.drop_after_ms});
    return script;
}

}  // namespace ras
