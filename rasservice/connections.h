// The table of open connections and the worker thread that plays each one's dial: it posts the
// progress states to the caller's notifier at the entry's pace, keeps the connection while it is
// up, and removes it a short while after the hang-up.
#pragma once

#include "ras_api.h"
#include "entry_settings.h"

#include <string>
#include <vector>

namespace ras {

struct DialRequest {
    std::string entry;
    std::string phonebook;
    std::string log_path;
    std::string phone_number;
    EntrySettings settings;
    DWORD notifier_type = RAS_NOTIFIER_HWND;
    LPVOID notifier = nullptr;  // null: the caller waits for the dial's end
    ULONG_PTR callback_id = 0;
};

// Starts a dial; writes the new handle to *out before the first notification can be delivered.
// Returns 0 or an error code (no connection is made then).
DWORD start_dial(DialRequest request, HRASCONN* out);

// Blocks until the dial has connected or failed; returns its error code (0 when connected).
DWORD wait_dial_end(HRASCONN handle);

// Stops the dial's notifications at once; the handle stays valid for the entry's hang-up delay.
DWORD hang_up(HRASCONN handle);

struct ConnectionInfo {
    HRASCONN handle;
    RASCONNSTATE state;
    DWORD error;
    std::string entry, phonebook, phone_number, device_type, device_name;
};

bool find_connection(HRASCONN handle, ConnectionInfo& info);
std::vector<ConnectionInfo> all_connections();

// Module life (called from DllMain).
bool service_attach(HMODULE module);
void service_detach(bool process_exit);

}  // namespace ras
