#include "ras_fixture.h"

#include "TestFiles.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

template <class T>
void bind(HMODULE lib, T& slot, const char* name) {
    slot = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
    ASSERT_NE(slot, nullptr) << name << " is not exported";
}

}  // namespace

ULONGLONG now_ms() { return GetTickCount64(); }

NotifyWindow::NotifyWindow() {
    message_ = RegisterWindowMessageA(RASDIALEVENT);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK NotifyWindow::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<NotifyWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == self->message_) {
        self->events_.push_back({DWORD(wp), DWORD(lp), now_ms()});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void RasTest::SetUp() {
    lib_ = LoadLibraryA("RASAPI32.DLL");
    ASSERT_NE(lib_, nullptr) << "RASAPI32.DLL not found beside the test";
#define BIND(name) bind(lib_, name, #name)
    BIND(RasDialA);
    BIND(RasEnumConnectionsA);
    BIND(RasEnumEntriesA);
    BIND(RasGetConnectStatusA);
    BIND(RasGetErrorStringA);
    BIND(RasHangUpA);
    BIND(RasGetEntryDialParamsA);
    BIND(RasSetEntryDialParamsA);
    BIND(RasRenameEntryA);
    BIND(RasDeleteEntryA);
    BIND(RasValidateEntryNameA);
#undef BIND
    if (HasFatalFailure()) return;
    // Wine's own stub writes no text; ours must be the one loaded.
    char text[257] = {};
    ASSERT_EQ(RasGetErrorStringA(ERROR_LINE_BUSY, text, 256), 0u)
        << "not our service: run with WINEDLLOVERRIDES=rasapi32=n";

    dir_ = tsupport::FreshTestDir("tess-ras-");
    ASSERT_NE(GetFileAttributesA(dir_.c_str()), INVALID_FILE_ATTRIBUTES) << dir_;
}

void RasTest::TearDown() {
    if (RasHangUpA) {
        for (HRASCONN h : dialled_) RasHangUpA(h);
        for (HRASCONN h : dialled_) wait_gone(h, 5000);
    }
    if (lib_) FreeLibrary(lib_);
    if (!dir_.empty()) tsupport::RemoveTree(dir_);
}

std::string RasTest::write_file(const std::string& name, const std::string& content) {
    return tsupport::WriteTextFile(dir_ + "\\" + name, content);
}

std::string RasTest::read_file(const std::string& path) { return tsupport::ReadTextFile(path); }

DWORD RasTest::dial(const std::string& phonebook, const std::string& entry, LPVOID notifier,
                    HRASCONN& handle, DWORD notifier_type) {
    RASDIALPARAMSA p{};
    p.dwSize = sizeof p;
    std::strncpy(p.szEntryName, entry.c_str(), RAS_MaxEntryName);
    handle = nullptr;
    DWORD rc = RasDialA(nullptr, phonebook.c_str(), &p, notifier_type, notifier, &handle);
    if (handle) dialled_.push_back(handle);
    return rc;
}

RASCONNSTATUSA RasTest::status(HRASCONN handle, DWORD* rc) {
    RASCONNSTATUSA st{};
    st.dwSize = sizeof st;
    *rc = RasGetConnectStatusA(handle, &st);
    return st;
}

DWORD RasTest::wait_gone(HRASCONN handle, DWORD timeout_ms) {
    DWORD rc = 0;
    PumpUntil([&] { status(handle, &rc); return rc != 0; }, timeout_ms);
    return rc;
}

std::string RasTest::error_string(DWORD code) {
    char text[257] = {};
    RasGetErrorStringA(code, text, 256);
    return text;
}

std::string section(const std::string& name, const std::vector<std::string>& lines) {
    std::string s = "[" + name + "]\r\n";
    for (const std::string& l : lines) s += l + "\r\n";
    return s + "\r\n";
}

std::vector<std::string> entry_names(const std::vector<RASENTRYNAMEA>& records, DWORD count) {
    std::vector<std::string> names;
    for (DWORD i = 0; i < count && i < records.size(); ++i) names.push_back(records[i].szEntryName);
    return names;
}
