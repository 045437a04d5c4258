// Dialing: progress notifications, faults, status queries, hang-up and the service's log.
#include "ras_fixture.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace {

std::vector<DWORD> states(const std::vector<DialEvent>& events) {
    std::vector<DWORD> s;
    for (const DialEvent& e : events) s.push_back(e.state);
    return s;
}

const std::vector<DWORD> kConnectSequence = {0, 1, 2, 3, 4, 5, 14, 18, 8192};

}  // namespace

class Dialing : public RasTest {
protected:
    // One entry with fast steps plus the given keys.
    std::string book(const std::vector<std::string>& keys, const std::string& name = "Line") {
        // The first occurrence of a key wins, so the test's own keys go first.
        std::vector<std::string> all = keys;
        for (const char* k : {"PhoneNumber=555-0100", "StepDelayMs=15", "HangUpDelayMs=50"}) all.push_back(k);
        return write_file(name + ".pbk", section(name, all));
    }

    // Dials and collects notifications until the last one carries `until_state` or an error.
    std::vector<DialEvent> dial_until_end(const std::string& pbk, NotifyWindow& w, HRASCONN& h,
                                          DWORD until_state = 8192, DWORD timeout = 3000) {
        EXPECT_EQ(dial(pbk, "Line", w.hwnd(), h), 0u);
        EXPECT_TRUE(PumpUntil([&] {
            return !w.events().empty() && (w.events().back().state == until_state || w.events().back().error != 0);
        }, timeout));
        return w.events();
    }
};

TEST_F(Dialing, PostsEveryStateInOrderToTheWindowAndConnects) {
    std::string pbk = book({"StepDelayMs=30", "DeviceName=Test Modem"});
    NotifyWindow w;
    HRASCONN h = nullptr;
    ULONGLONG start = now_ms();
    ASSERT_EQ(dial(pbk, "Line", w.hwnd(), h), 0u);
    EXPECT_LT(now_ms() - start, 30u) << "RasDialA answers at once";
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(h)) >> 32, 0u) << "handles fit 32 bits for 32-bit clients";

    ASSERT_TRUE(PumpUntil([&] { return w.events().size() >= kConnectSequence.size(); }, 3000));
    PumpFor(60);
    EXPECT_EQ(states(w.events()), kConnectSequence);
    for (const DialEvent& e : w.events()) EXPECT_EQ(e.error, 0u);
    EXPECT_GE(w.events().back().at_ms - w.events().front().at_ms, 8u * 30u - 20u) << "paced by StepDelayMs";

    DWORD rc;
    RASCONNSTATUSA st = status(h, &rc);
    ASSERT_EQ(rc, 0u);
    EXPECT_EQ(st.rasconnstate, RASCS_Connected);
    EXPECT_EQ(st.dwError, 0u);
    EXPECT_STREQ(st.szDeviceType, "modem");
    EXPECT_STREQ(st.szDeviceName, "Test Modem");

    std::string log = read_file(dir() + "\\Line.log");
    EXPECT_NE(log.find("dial 'Line' number '555-0100'"), std::string::npos) << log;
    EXPECT_NE(log.find("state 8192 error 0"), std::string::npos) << log;
}

TEST_F(Dialing, WithoutOverridesTheLineTakesRealTime) {
    std::string pbk = write_file("Line.pbk", section("Line", {"HangUpDelayMs=0"}));
    NotifyWindow w;
    HRASCONN h;
    ASSERT_EQ(dial(pbk, "Line", w.hwnd(), h), 0u);
    PumpFor(150);
    EXPECT_EQ(states(w.events()), std::vector<DWORD>{0}) << "opening the port takes a while";
}

TEST_F(Dialing, EachFaultPostsItsErrorAtItsState) {
    struct Case {
        std::vector<std::string> keys;
        DWORD state, error;
        std::vector<DWORD> before;  // states reported first
    } cases[] = {
        {{"Fault=busy"}, 2, ERROR_LINE_BUSY, {0, 1, 2}},
        {{"Fault=NoAnswer"}, 2, ERROR_NO_ANSWER, {0, 1, 2}},
        {{"Fault=badpassword"}, 5, ERROR_AUTHENTICATION_FAILURE, {0, 1, 2, 3, 4, 5}},
        {{"Fault=device", "FaultState=3", "FaultError=630"}, 3, 630, {0, 1, 2, 3}},
        {{"Fault=device"}, 2, ERROR_PORT_OR_DEVICE, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.front());
        NotifyWindow w;
        HRASCONN h = nullptr;
        std::vector<DialEvent> ev = dial_until_end(book(c.keys), w, h);
        PumpFor(80);  // nothing follows an error
        ASSERT_EQ(w.events().size(), c.before.size() + 1);
        std::vector<DWORD> got = states(w.events());
        got.pop_back();
        EXPECT_EQ(got, c.before);
        EXPECT_EQ(w.events().back().state, c.state);
        EXPECT_EQ(w.events().back().error, c.error);

        // The failed connection stays until it is hung up, reporting where and why it failed.
        DWORD rc;
        RASCONNSTATUSA st = status(h, &rc);
        EXPECT_EQ(rc, 0u);
        EXPECT_EQ(DWORD(st.rasconnstate), c.state);
        EXPECT_EQ(st.dwError, c.error);
        EXPECT_EQ(RasHangUpA(h), 0u);
        EXPECT_EQ(wait_gone(h, 1000), DWORD(ERROR_INVALID_HANDLE));
    }
}

TEST_F(Dialing, RemoteDropPostsDisconnectedAfterTheSetTime) {
    NotifyWindow w;
    HRASCONN h;
    dial_until_end(book({"DropAfterMs=120"}), w, h);
    ULONGLONG connected = w.events().back().at_ms;
    ASSERT_TRUE(PumpUntil([&] { return w.events().back().state == RASCS_Disconnected; }, 2000));
    EXPECT_EQ(w.events().back().error, 0u);
    EXPECT_GE(w.events().back().at_ms - connected, 100u);

    // The handle outlives the drop until the caller hangs up.
    DWORD rc;
    EXPECT_EQ(status(h, &rc).rasconnstate, RASCS_Disconnected);
    EXPECT_EQ(rc, 0u);
}

TEST_F(Dialing, HangUpStopsNotificationsAndReleasesTheHandleAfterItsDelay) {
    NotifyWindow w;
    HRASCONN h;
    std::string pbk = book({"StepDelayMs=40", "HangUpDelayMs=250"});
    ASSERT_EQ(dial(pbk, "Line", w.hwnd(), h), 0u);
    ASSERT_TRUE(PumpUntil([&] { return w.events().size() >= 2; }, 2000));

    ULONGLONG start = now_ms();
    EXPECT_EQ(RasHangUpA(h), 0u);
    EXPECT_LT(now_ms() - start, 50u) << "RasHangUpA does not wait";
    size_t seen = w.events().size();

    DWORD rc;
    RASCONNSTATUSA st = status(h, &rc);
    EXPECT_EQ(rc, 0u) << "the handle lives through the hang-up delay";
    EXPECT_EQ(st.rasconnstate, RASCS_Disconnected);
    EXPECT_EQ(RasHangUpA(h), 0u) << "a second hang-up is harmless";

    EXPECT_EQ(wait_gone(h, 2000), DWORD(ERROR_INVALID_HANDLE));
    ULONGLONG took = now_ms() - start;
    EXPECT_GE(took, 230u);
    EXPECT_LT(took, 1000u);
    PumpFor(100);
    EXPECT_EQ(w.events().size(), seen) << "no progress after a hang-up";
    EXPECT_EQ(RasHangUpA(h), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RasHangUpA(nullptr), DWORD(ERROR_INVALID_HANDLE));

    std::string log = read_file(dir() + "\\Line.log");
    EXPECT_NE(log.find("hang-up requested, 250 ms to close"), std::string::npos) << log;
    EXPECT_NE(log.find("hung up, handle released"), std::string::npos) << log;
}

TEST_F(Dialing, UnknownEntryIsRefusedAtOnceWithoutHandleOrMessages) {
    NotifyWindow w;
    HRASCONN h = reinterpret_cast<HRASCONN>(1);
    RASDIALPARAMSA p{};
    p.dwSize = sizeof p;
    std::strcpy(p.szEntryName, "Nobody");
    EXPECT_EQ(RasDialA(nullptr, book({}).c_str(), &p, RAS_NOTIFIER_HWND, w.hwnd(), &h),
              ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    EXPECT_EQ(h, nullptr);
    PumpFor(50);
    EXPECT_TRUE(w.events().empty());
}

TEST_F(Dialing, WithoutNotifierTheDialWaitsForItsOutcome) {
    HRASCONN h;
    ASSERT_EQ(dial(book({}), "Line", nullptr, h), 0u);
    DWORD rc;
    EXPECT_EQ(status(h, &rc).rasconnstate, RASCS_Connected);

    EXPECT_EQ(dial(book({"Fault=busy"}, "Busy"), "Busy", nullptr, h), ERROR_LINE_BUSY);
    EXPECT_NE(h, nullptr) << "the caller still hangs the failed handle up";
}

namespace {
std::mutex g_cb_mutex;
std::vector<std::pair<HRASCONN, DWORD>> g_cb_events;
VOID WINAPI on_dial_event(HRASCONN h, UINT msg, RASCONNSTATE state, DWORD error, DWORD) {
    std::lock_guard<std::mutex> lock(g_cb_mutex);
    if (msg == WM_RASDIALEVENT) g_cb_events.push_back({h, DWORD(state)});
}
}  // namespace

TEST_F(Dialing, CallbackNotifierReceivesTheSameSequence) {
    g_cb_events.clear();
    HRASCONN h;
    ASSERT_EQ(dial(book({}), "Line", reinterpret_cast<void*>(&on_dial_event), h,
                   RAS_NOTIFIER_FUNC1), 0u);
    ASSERT_TRUE(PumpUntil([&] {
        std::lock_guard<std::mutex> lock(g_cb_mutex);
        return g_cb_events.size() >= kConnectSequence.size();
    }, 3000));
    std::lock_guard<std::mutex> lock(g_cb_mutex);
    std::vector<DWORD> got;
    for (auto& [handle, state] : g_cb_events) {
        EXPECT_EQ(handle, h);
        got.push_back(state);
    }
    EXPECT_EQ(got, kConnectSequence);
}

TEST_F(Dialing, OpenConnectionsAreEnumerated) {
    NotifyWindow w;
    HRASCONN a, b;
    ASSERT_EQ(dial(book({}, "Line"), "Line", w.hwnd(), a), 0u);
    ASSERT_EQ(dial(book({}, "Line"), "Line", w.hwnd(), b), 0u);
    std::vector<RASCONNA> conns(4);
    conns[0].dwSize = sizeof(RASCONNA);
    DWORD cb = sizeof(RASCONNA), count = 0;
    EXPECT_EQ(RasEnumConnectionsA(conns.data(), &cb, &count), ERROR_BUFFER_TOO_SMALL);
    EXPECT_EQ(cb, 2 * sizeof(RASCONNA));
    cb = DWORD(conns.size() * sizeof(RASCONNA));
    ASSERT_EQ(RasEnumConnectionsA(conns.data(), &cb, &count), 0u);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(conns[0].hrasconn, a);
    EXPECT_EQ(conns[1].hrasconn, b);
    EXPECT_STREQ(conns[1].szEntryName, "Line");
    EXPECT_STREQ(conns[1].szDeviceType, "modem");
}

TEST_F(Dialing, LibraryMayBeFreedWhileAConnectionWindsDown) {
    std::string pbk = book({"HangUpDelayMs=200"});
    NotifyWindow w;
    HRASCONN h;
    dial_until_end(pbk, w, h);
    ASSERT_EQ(RasHangUpA(h), 0u);
    FreeLibrary(lib_);
    lib_ = nullptr;
    EXPECT_NE(GetModuleHandleA("RASAPI32.DLL"), nullptr) << "the closing connection keeps it loaded";
    PumpUntil([] { return GetModuleHandleA("RASAPI32.DLL") == nullptr; }, 2000);
    EXPECT_EQ(GetModuleHandleA("RASAPI32.DLL"), nullptr) << "unloaded once the connection is gone";
    RasHangUpA = nullptr;  // TearDown must not call into the unloaded library
}
