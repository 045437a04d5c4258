#include "connections.h"

#include "service_log.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace ras {

namespace {

// More simultaneous connections than any modem bank: a caller that never hangs up is stopped
// here instead of growing threads without end.
constexpr size_t kMaxConnections = 64;

struct Connection {
    HRASCONN handle{};
    DialRequest request;
    std::vector<DialStep> script;
    UINT message = 0;
    // Guarded by State::mutex.
    RASCONNSTATE state = RASCS_OpenPort;
    DWORD error = 0;
    bool ended = false;       // connected or failed: a synchronous dial may return
    bool hanging_up = false;  // no notification is delivered after this is set
    bool notifying = true;    // cleared when the notifier is gone or declines more
};

struct State {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<ULONG_PTR, std::shared_ptr<Connection>> table;
    ULONG_PTR next_handle = 0x10001;
    HMODULE module = nullptr;
};

State* g_state = nullptr;

UINT dial_event_message() {
    static const UINT message = [] {
        UINT m = RegisterWindowMessageA(RASDIALEVENT);
        return m ? m : WM_RASDIALEVENT;
    }();
    return message;
}

// Callback notifiers run outside the lock, so they may call back into the service.
void call_notifier(Connection& c, const DialStep& step) {
    switch (c.request.notifier_type) {
    case RAS_NOTIFIER_FUNC:
        reinterpret_cast<RASDIALFUNC>(c.request.notifier)(WM_RASDIALEVENT, step.state, step.error);
        break;
    case RAS_NOTIFIER_FUNC1:
        reinterpret_cast<RASDIALFUNC1>(c.request.notifier)(c.handle, WM_RASDIALEVENT, step.state,
                                                           step.error, 0);
        break;
    case RAS_NOTIFIER_FUNC2:
        if (reinterpret_cast<RASDIALFUNC2>(c.request.notifier)(c.request.callback_id, 1, c.handle,
                                                               WM_RASDIALEVENT, step.state,
                                                               step.error, 0) == 0) {
            std::lock_guard<std::mutex> lock(g_state->mutex);
            c.notifying = false;
        }
        break;
    }
}

void run_connection(const std::shared_ptr<Connection>& c) {
    State& s = *g_state;
    const std::string& log = c->request.log_path;
    const std::string who = "connection " + handle_text(c->handle) + " '" + c->request.entry + "': ";

    for (const DialStep& step : c->script) {
        std::unique_lock<std::mutex> lock(s.mutex);
        // A timed wait of zero still costs a scheduler tick; back-to-back steps skip it.
        bool stop = step.wait_ms == 0
                        ? c->hanging_up
                        : s.changed.wait_for(lock, std::chrono::milliseconds(step.wait_ms), [&] { return c->hanging_up; });
        if (stop) break;
        c->state = step.state;
        c->error = step.error;
        if (step.error != 0 || step.state == RASCS_Connected) c->ended = true;
        bool deliver = c->notifying && c->request.notifier != nullptr;
        std::string failed;
        if (deliver && c->request.notifier_type == RAS_NOTIFIER_HWND) {
            // Posted under the lock: once RasHangUpA has returned no further message can arrive.
            if (!PostMessageA(static_cast<HWND>(c->request.notifier), c->message, WPARAM(step.state),
                              LPARAM(step.error))) {
                c->notifying = false;
                failed = "; notifier window gone, no further messages";
            }
            deliver = false;
        }
        s.changed.notify_all();
        lock.unlock();

        log_line(log, who + "state " + std::to_string(step.state) + " error " +
                          std::to_string(step.error) + failed);
        if (deliver) call_notifier(*c, step);
    }

    std::unique_lock<std::mutex> lock(s.mutex);
    s.changed.wait(lock, [&] { return c->hanging_up; });
    lock.unlock();

    if (DWORD ms = c->request.settings.hangup_delay_ms) std::this_thread::sleep_for(std::chrono::milliseconds(ms));

    lock.lock();
    s.table.erase(reinterpret_cast<ULONG_PTR>(c->handle));
    s.changed.notify_all();
    lock.unlock();
    log_line(log, who + "hung up, handle released");
}

// The thread holds its own reference on this module and drops it as its very last act, so a
// client may free the library while a connection is still winding down.
DWORD WINAPI worker_main(LPVOID param) {
    {
        std::unique_ptr<std::shared_ptr<Connection>> c(static_cast<std::shared_ptr<Connection>*>(param));
        run_connection(*c);
    }
    FreeLibraryAndExitThread(g_state->module, 0);
}

std::shared_ptr<Connection> lookup(HRASCONN handle) {
    auto it = g_state->table.find(reinterpret_cast<ULONG_PTR>(handle));
    return it == g_state->table.end() ? nullptr : it->second;
}

ConnectionInfo info_of(const Connection& c) {
    return {c.handle, c.state, c.error, c.request.entry, c.request.phonebook, c.request.phone_number,
            c.request.settings.device_type, c.request.settings.device_name};
}

}  // namespace

DWORD start_dial(DialRequest request, HRASCONN* out) {
    State& s = *g_state;
    auto c = std::make_shared<Connection>();
    c->request = std::move(request);
    c->script = dial_script(c->request.settings);
    c->message = dial_event_message();
    auto param = std::make_unique<std::shared_ptr<Connection>>(c);

    // The worker's reference on the module; handed to the thread once it runs.
    struct Pin {
        HMODULE module = nullptr;
        ~Pin() { if (module) FreeLibrary(module); }
    } pin;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&worker_main),
                            &pin.module))
        return ERROR_NOT_ENOUGH_MEMORY;

    std::unique_lock<std::mutex> lock(s.mutex);
    if (s.table.size() >= kMaxConnections) return ERROR_PORT_NOT_AVAILABLE;
    ULONG_PTR value = s.next_handle++;
    if (value == 0) value = s.next_handle++;
    c->handle = reinterpret_cast<HRASCONN>(value);
    s.table.emplace(value, c);
    HANDLE thread = CreateThread(nullptr, 0, worker_main, param.get(), CREATE_SUSPENDED, nullptr);
    if (!thread) {
        s.table.erase(value);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    param.release();
    pin.module = nullptr;
    *out = c->handle;
    lock.unlock();

    for (const std::string& w : c->request.settings.warnings)
        log_line(c->request.log_path, "entry '" + c->request.entry + "': " + w);
    ResumeThread(thread);
    CloseHandle(thread);
    return 0;
}

DWORD wait_dial_end(HRASCONN handle) {
    std::unique_lock<std::mutex> lock(g_state->mutex);
    std::shared_ptr<Connection> c = lookup(handle);
    if (!c) return ERROR_INVALID_HANDLE;
    g_state->changed.wait(lock, [&] { return c->ended || c->hanging_up; });
    if (c->hanging_up && !c->ended) return ERROR_USER_DISCONNECTION;
    return c->error;
}

DWORD hang_up(HRASCONN handle) {
    std::unique_lock<std::mutex> lock(g_state->mutex);
    std::shared_ptr<Connection> c = lookup(handle);
    if (!c) return ERROR_INVALID_HANDLE;
    if (c->hanging_up) return 0;
    c->hanging_up = true;
    // Until the port is closed a status query sees the line going down.
    c->state = RASCS_Disconnected;
    c->error = 0;
    g_state->changed.notify_all();
    std::string log = c->request.log_path, entry = c->request.entry;
    DWORD delay = c->request.settings.hangup_delay_ms;
    lock.unlock();
    log_line(log, "connection " + handle_text(handle) + " '" + entry + "': hang-up requested, " +
                      std::to_string(delay) + " ms to close");
    return 0;
}

bool find_connection(HRASCONN handle, ConnectionInfo& info) {
    std::lock_guard<std::mutex> lock(g_state->mutex);
    std::shared_ptr<Connection> c = lookup(handle);
    if (!c) return false;
    info = info_of(*c);
    return true;
}

std::vector<ConnectionInfo> all_connections() {
    std::lock_guard<std::mutex> lock(g_state->mutex);
    std::vector<ConnectionInfo> out;
    for (const auto& [value, c] : g_state->table) out.push_back(info_of(*c));
    return out;
}

bool service_attach(HMODULE module) {
    g_state = new (std::nothrow) State;
    if (!g_state) return false;
    g_state->module = module;
    return true;
}

void service_detach(bool process_exit) {
    // At process exit other threads were stopped wherever they were, perhaps inside the lock:
    // leave everything to the system. On an unload no worker is left (each holds the module).
    if (process_exit) return;
    delete g_state;
    g_state = nullptr;
}

}  // namespace ras
