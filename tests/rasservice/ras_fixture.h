// Loads the service afresh for each test, writes phonebooks into a temporary folder and receives
// dial notifications on a real hidden window.
#pragma once

#include "TestWindows.h"
#include "ras_api.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct DialEvent {
    DWORD state;
    DWORD error;
    ULONGLONG at_ms;
};

// A hidden top-level window that records every "RASDialEvent" message it is sent.
class NotifyWindow {
public:
    NotifyWindow();
    HWND hwnd() const { return window_; }
    const std::vector<DialEvent>& events() const { return events_; }

private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    tsupport::TPlainWindow window_{proc};
    UINT message_ = 0;
    std::vector<DialEvent> events_;
};

using tsupport::PumpFor;
using tsupport::PumpUntil;
ULONGLONG now_ms();

class RasTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a phonebook file in the test's folder and returns its full path.
    std::string write_file(const std::string& name, const std::string& content);
    std::string read_file(const std::string& path);
    std::string dir() const { return dir_; }

    // Dials with a window notifier; remembers the handle so that TearDown hangs it up.
    DWORD dial(const std::string& phonebook, const std::string& entry, LPVOID notifier, HRASCONN& handle,
               DWORD notifier_type = RAS_NOTIFIER_HWND);
    // Waits until the handle is gone (status fails); returns the status code seen last.
    DWORD wait_gone(HRASCONN handle, DWORD timeout_ms);
    RASCONNSTATUSA status(HRASCONN handle, DWORD* rc);
    std::string error_string(DWORD code);

    HMODULE lib_ = nullptr;
    PFN_RasDialA RasDialA = nullptr;
    PFN_RasEnumConnectionsA RasEnumConnectionsA = nullptr;
    PFN_RasEnumEntriesA RasEnumEntriesA = nullptr;
    PFN_RasGetConnectStatusA RasGetConnectStatusA = nullptr;
    PFN_RasGetErrorStringA RasGetErrorStringA = nullptr;
    PFN_RasHangUpA RasHangUpA = nullptr;
    PFN_RasGetEntryDialParamsA RasGetEntryDialParamsA = nullptr;
    PFN_RasSetEntryDialParamsA RasSetEntryDialParamsA = nullptr;
    PFN_RasRenameEntryA RasRenameEntryA = nullptr;
    PFN_RasDeleteEntryA RasDeleteEntryA = nullptr;
    PFN_RasValidateEntryNameA RasValidateEntryNameA = nullptr;

private:
    std::string dir_;
    std::vector<HRASCONN> dialled_;
};

// "[name]" followed by the given lines.
std::string section(const std::string& name, const std::vector<std::string>& lines = {});
std::vector<std::string> entry_names(const std::vector<RASENTRYNAMEA>& records, DWORD count);
