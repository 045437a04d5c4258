// Dialing through the service: progress messages, their filtering, texts and events, errors,
// remote drops, and hanging up (also re-entrantly, and without spinning).
#include <algorithm>
#include <cstring>

#include "FreedMemory.h"
#include "dialer_fixture.h"

namespace {

using Dialing = DialerTest;
using Names = std::vector<std::string>;

// A dial that posts its first state and then waits a minute: progress messages are the test's.
const char* const kHeld[] = {"StepDelayMs=60000", "HangUpDelayMs=0"};

void Send(TRAS& ras, WPARAM state, LPARAM error) {
  SendMessageA(ras.NotifyWindow(), ras.DialEventMessage(), state, error);
}

// Dials an entry held at its first state and waits for that state's report.
void DialHeld(TRAS& ras, EventLog& log) {
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnAboutToOpenPort") == 1; }, 5000));
  log.all.clear();
}

double CpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  auto ms = [](FILETIME f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000.0; };
  return ms(kernel) + ms(user);
}

TEST_F(Dialing, AFullDialReportsEachStateWithItsEventAndHangUpEndsWithOneDisconnect) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Fast", {"StepDelayMs=5", "HangUpDelayMs=100"})));
  ras.SetEntryName("Fast");
  ASSERT_EQ(ras.Dial(), 0);
  HRASCONN handle = ras.RASConn();
  EXPECT_NE(handle, nullptr);
  EXPECT_NE(ras.NotifyWindow(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));

  EXPECT_EQ(log.Names(), (Names{"OnStateChanged", "OnAboutToOpenPort", "OnStateChanged", "OnPortOpened",
                                "OnStateChanged", "OnAboutToConnDev", "OnStateChanged", "OnDevConnected",
                                "OnStateChanged", "OnAllDevsConnected", "OnStateChanged", "OnAuthenticate",
                                "OnStateChanged", "OnAuthenticated", "OnStateChanged", "OnStateChanged",
                                "OnConnect"}));
  EXPECT_EQ(log.Statuses(), (Names{"Opening Serial Port", "Serial Port Opened", "Connecting/Dialling",
                                   "Connected/Answered", "Connected/Negotiation", "Validating User and Password",
                                   "Login Authenticated", "Projection Completion", "Connected/Online"}));
  EXPECT_EQ(ras.ConnectState(), RASCS_Connected);
  EXPECT_EQ(ras.LastError(), 0);

  log.all.clear();
  EXPECT_EQ(ras.HangUp(), 0);
  ASSERT_EQ(log.Names(), (Names{"OnStateChanged", "OnDisconnect"}));
  EXPECT_EQ(log.all[0].status, "Disconnected/Offline") << "the line going down, polled while waiting";
  const DWORD gone = ServiceStatus(nullptr);
  EXPECT_EQ(log.all[1].error, static_cast<int32_t>(gone)) << "a status query of handle 0";
  EXPECT_EQ(log.all[1].errorText, ServiceErrorText(gone));
  EXPECT_NE(ServiceStatus(handle), 0u) << "the connection is gone when HangUp returns";
  EXPECT_EQ(ras.RASConn(), nullptr);
  EXPECT_EQ(ras.NotifyWindow(), nullptr);
  EXPECT_EQ(ras.ConnectState(), 0);
  EXPECT_EQ(ras.StatusStr(), ServiceErrorText(ERROR_INVALID_HANDLE))
      << "the failing query's text, never announced";
}

TEST_F(Dialing, ARepeatedStateIsReportedOnceButAfterAnErrorEveryMessageIs) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Held", {kHeld[0], kHeld[1]})));
  ras.SetEntryName("Held");
  DialHeld(ras, log);

  Send(ras, RASCS_PortOpened, 0);
  Send(ras, RASCS_PortOpened, 0);
  EXPECT_EQ(log.Count("OnStateChanged"), 1);
  EXPECT_EQ(log.Count("OnPortOpened"), 2) << "only OnStateChanged is filtered";
  EXPECT_EQ(ras.SavedState(), RASCS_PortOpened);

  log.all.clear();
  Send(ras, RASCS_ConnectDevice, ERROR_LINE_BUSY);
  Send(ras, RASCS_ConnectDevice, ERROR_LINE_BUSY);
  EXPECT_EQ(log.Names(), (Names{"OnStateChanged", "OnStateChanged"})) << "no state event for an error";
  EXPECT_EQ(ras.StatusStr(), "The line is busy.");
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(ERROR_LINE_BUSY));
  EXPECT_EQ(ras.ConnectState(), ERROR_LINE_BUSY);
  EXPECT_EQ(ras.ConnectError(), ERROR_LINE_BUSY);
  EXPECT_EQ(ras.SavedState(), 0);

  log.all.clear();
  Send(ras, RASCS_DeviceConnected, 0);
  Send(ras, RASCS_DeviceConnected, 0);
  EXPECT_EQ(log.Count("OnStateChanged"), 2) << "LastError is still set, so every message reports";
  EXPECT_EQ(ras.StatusStr(), "Connected/Answered");
  EXPECT_EQ(ras.ConnectError(), 0);

  ras.OnStateChanged.Clear();
  Send(ras, RASCS_AllDevicesConnected, 0);
  EXPECT_EQ(ras.SavedState(), 0) << "not updated while OnStateChanged is unassigned";
  ras.CloseConnection();
}

TEST_F(Dialing, EveryStateHasItsTextAndEvent) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Held", {kHeld[0], kHeld[1]})));
  ras.SetEntryName("Held");
  DialHeld(ras, log);
  ras.SetDeviceType("MODEM");

  struct Row {
    WPARAM state;
    std::string text;
    std::string event;  // empty: none besides OnStateChanged
  };
  const Row rows[] = {
      {1, "Serial Port Opened", "OnPortOpened"},  // state 0 is where the dial stands
      {0, "Opening Serial Port", "OnAboutToOpenPort"},
      {2, "Connecting/Dialling (modem)", "OnAboutToConnDev"},
      {3, "Connected/Answered (modem)", "OnDevConnected"},
      {4, "Connected/Negotiation", "OnAllDevsConnected"},
      {5, "Validating User and Password", "OnAuthenticate"},
      {6, "Authentication Notification", "OnAuthNotify"},
      {7, "Unknown State - 7", "OnAuthRetry"},
      {8, "Authentication Call Back", "OnAuthCallBack"},
      {9, "Unknown State - 9", "OnAuthChangePassword"},
      {10, "Projection Started", "OnAuthProject"},
      {11, "Calculating Link speed", "OnAuthLinkSpeed"},
      {12, "Authentication acknowledged", "OnAuthAck"},
      {13, "Reauthenticating", "OnReAuthenticate"},
      {14, "Login Authenticated", "OnAuthenticated"},
      {15, "Preparing for Callback", "OnPrepareforCallback"},
      {16, "Waiting for Modem Reset", "OnWaitForModemReset"},
      {17, "Waiting for Callback", "OnCallBack"},
      {18, "Projection Completion", ""},
      {19, "Start Authentication", ""},
      {20, "Callback Complete", ""},
      {21, "Logon to Network", ""},
      {22, "Unknown State - 22", ""},
      {600, "Unknown State - 600", ""},
      {601, ServiceErrorText(601), ""},
      {4096, ras.GetErrorText(4096), "OnInteractiveStarted"},
      {4097, ras.GetErrorText(4097), "OnRetryAuth"},
      {4098, ras.GetErrorText(4098), ""},
      {4099, ras.GetErrorText(4099), "OnPasswordExpired"},
      {0x10000 + 1, "Serial Port Opened", "OnPortOpened"},  // only the low 16 bits count
      {8192, "Connected/Online", "OnConnect"},
  };
  for (const Row& r : rows) {
    log.all.clear();
    Send(ras, r.state, 0);
    Names expected{"OnStateChanged"};
    if (!r.event.empty()) expected.push_back(r.event);
    EXPECT_EQ(log.Names(), expected) << "state " << r.state;
    EXPECT_EQ(ras.StatusStr(), r.text) << "state " << r.state;
  }

  ras.SetDeviceType("");
  Send(ras, RASCS_ConnectDevice, 0);
  EXPECT_EQ(ras.StatusStr(), "Connecting/Dialling") << "no parentheses without a device type";

  // The line dropping: OnDisconnect, with the status of the still valid handle.
  log.all.clear();
  Send(ras, RASCS_Disconnected, 0);
  ASSERT_EQ(log.Names(), (Names{"OnStateChanged", "OnDisconnect"}));
  EXPECT_EQ(log.all[0].status, "Disconnected/Offline");
  EXPECT_EQ(log.all[1].error, 0);
  EXPECT_NE(ras.RASConn(), nullptr) << "the handle is kept until the next Dial or HangUp";
  ras.CloseConnection();
}

TEST_F(Dialing, ABusyLineReportsItsErrorTextAndKeepsTheConnectionUntilHungUp) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Busy", {"Fault=busy", "StepDelayMs=5", "HangUpDelayMs=0"})));
  ras.SetEntryName("Busy");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return ras.LastError() != 0; }, 5000));
  PumpFor(50);
  EXPECT_EQ(log.Statuses(),
            (Names{"Opening Serial Port", "Serial Port Opened", "Connecting/Dialling", "The line is busy."}));
  EXPECT_EQ(log.Count("OnConnect") + log.Count("OnDisconnect"), 0);
  EXPECT_NE(ras.RASConn(), nullptr);

  log.all.clear();
  EXPECT_EQ(ras.HangUp(), 0);
  EXPECT_EQ(log.Count("OnDisconnect"), 1);
}

TEST_F(Dialing, ARefusedDialLeavesItsTextWithoutAnyEvent) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Known")));
  ras.SetEntryName("Unknown");
  EXPECT_EQ(ras.Dial(), static_cast<int>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
  EXPECT_EQ(ras.StatusStr(), ServiceErrorText(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
  PumpFor(100);
  EXPECT_TRUE(log.all.empty());
  EXPECT_NE(ras.NotifyWindow(), nullptr) << "the hidden window stays";
}

TEST_F(Dialing, HangUpWithoutAConnectionFiresOneDisconnectFromAStatusQueryOfHandleZero) {
  TRAS ras(nullptr);
  EventLog log(ras);
  EXPECT_EQ(ras.HangUp(), 0);
  ASSERT_EQ(log.Names(), Names{"OnDisconnect"});
  const DWORD rc = ServiceStatus(nullptr);
  EXPECT_NE(rc, 0u);
  EXPECT_EQ(log.all[0].error, static_cast<int32_t>(rc));
  EXPECT_EQ(log.all[0].errorText, ServiceErrorText(rc));
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(rc));
  EXPECT_EQ(ras.CloseConnection(), 0);
  EXPECT_EQ(log.all.size(), 1u) << "CloseConnection fires nothing";
}

TEST_F(Dialing, DialAfterARemoteDropHangsUpTheOldHandleWithoutADisconnectEvent) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Drop", {"StepDelayMs=5", "DropAfterMs=20", "HangUpDelayMs=50"})));
  ras.SetEntryName("Drop");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnDisconnect") == 1; }, 5000));
  EXPECT_EQ(log.Statuses().back(), "Disconnected/Offline");
  EXPECT_EQ(log.all.back().error, 0) << "the dropped handle still answers";
  const HRASCONN old = ras.RASConn();
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(ServiceStatus(old), 0u);

  log.all.clear();
  ASSERT_EQ(ras.Dial(), 0);
  EXPECT_NE(ras.RASConn(), old);
  EXPECT_TRUE(log.all.empty());
  EXPECT_TRUE(WaitGone(old, 2000)) << "the old handle was hung up";
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));
  EXPECT_EQ(log.Count("OnDisconnect"), 0) << "nothing from the old connection reached us";
  ras.CloseConnection();
}

TEST_F(Dialing, AHangUpPressedAgainWhileWaitingRunsNestedAndBothEndWithADisconnect) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Slow", {"StepDelayMs=5", "HangUpDelayMs=300"})));
  ras.SetEntryName("Slow");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));
  log.all.clear();

  // A second press of the button arrives as a message while the first HangUp waits.
  int nested = -1, depth = 0;
  gui::TUtilWindow button([&](gui::TMessage& m) {
    if (m.Msg != WM_APP) return;
    m.Answer(0);
    ++depth;
    nested = ras.HangUp();
    --depth;
  });
  log.after = [&](const Fired& f) {
    if (f.event == "OnStateChanged" && depth == 0 && nested == -1) PostMessageA(button.Handle(), WM_APP, 0, 0);
  };
  EXPECT_EQ(ras.HangUp(), 0);
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(log.Names(), (Names{"OnStateChanged", "OnDisconnect", "OnDisconnect"}))
      << "the outer loop ends at once after the nested call; each call ends with OnDisconnect";
  EXPECT_EQ(ras.RASConn(), nullptr);
  EXPECT_EQ(ras.NotifyWindow(), nullptr);
  // The nested call's failing status query has the last word: the outer loop, which had
  // announced 8193 before, announces nothing after it (ConnectState is 0 then, which would read
  // "Opening Serial Port").
  const std::string gone = ServiceErrorText(ERROR_INVALID_HANDLE);
  EXPECT_EQ(log.all[1].status, gone);
  EXPECT_EQ(log.all[2].status, gone);
  EXPECT_EQ(ras.StatusStr(), gone);
}

TEST_F(Dialing, AHandlerMayHangUpFromInsideAProgressMessageAndDialAgain) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Busy", {"Fault=busy", "StepDelayMs=5", "HangUpDelayMs=20"}) +
                                 Section("Fine", {"StepDelayMs=5", "HangUpDelayMs=0"})));
  ras.SetEntryName("Busy");
  bool redialled = false;
  // The notify window is destroyed by the hang-up while its own procedure runs.
  log.after = [&](const Fired& f) {
    if (f.event != "OnStateChanged" || f.lastError == 0 || redialled) return;
    redialled = true;
    EXPECT_EQ(ras.HangUp(), 0);
    ras.SetEntryName("Fine");
    EXPECT_EQ(ras.Dial(), 0);
  };
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));
  EXPECT_EQ(log.Count("OnDisconnect"), 1);
  EXPECT_EQ(log.Statuses().back(), "Connected/Online");
  ras.CloseConnection();
}

TEST_F(Dialing, AHandlerMayFreeTheComponentFromAStateEventOrWhileHangUpWaits) {
  const std::string book = Phonebook(Section("Slow", {"StepDelayMs=5", "HangUpDelayMs=300"}));
  for (bool whileHangingUp : {false, true}) {
    tsupport::TFreedMemoryWatch freed;
    auto* ras = new TRAS(nullptr);
    rtl::TAliveToken alive = ras->AliveToken();
    EventLog log(*ras);
    ras->SetPhoneBookPath(book);
    ras->SetEntryName("Slow");
    gui::TUtilWindow killer([&](gui::TMessage& m) {
      if (m.Msg == WM_APP) delete std::exchange(ras, nullptr);
    });
    if (!whileHangingUp) {
      // The first state's OnStateChanged frees it: its state event is not fired on what is gone.
      log.after = [&](const Fired& f) {
        if (f.event == "OnStateChanged") delete std::exchange(ras, nullptr);
      };
      ASSERT_EQ(ras->Dial(), 0);
      ASSERT_TRUE(PumpUntil([&] { return !alive; }, 5000));
      PumpFor(50);
      EXPECT_EQ(log.Names(), Names{"OnStateChanged"});
    } else {
      ASSERT_EQ(ras->Dial(), 0);
      ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));
      log.all.clear();
      PostMessageA(killer.Handle(), WM_APP, 0, 0);  // handled inside HangUp's wait
      ras->HangUp();
      EXPECT_FALSE(alive);
      EXPECT_TRUE(log.all.empty());
    }
    EXPECT_EQ(freed.WrittenAfterFree(), 0u);
  }
}

TEST_F(Dialing, HangUpWaitsWithoutSpinningTheProcessor) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Slow", {"StepDelayMs=5", "HangUpDelayMs=600"})));
  ras.SetEntryName("Slow");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));

  const double cpu0 = CpuMs(GetCurrentThread());
  const ULONGLONG t0 = GetTickCount64();
  EXPECT_EQ(ras.HangUp(), 0);
  const double wall = static_cast<double>(GetTickCount64() - t0);
  const double cpu = CpuMs(GetCurrentThread()) - cpu0;
  EXPECT_GE(wall, 550.0) << "it did wait for the slow hang-up";
  EXPECT_LT(wall, 1500.0);
  EXPECT_LT(cpu, 150.0) << "processor time while waiting " << wall << " ms";
}

TEST_F(Dialing, HangUpWithoutAnApplicationLeavesAQuitMessageForTheThreadsOwnLoop) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Fast", {"StepDelayMs=5", "HangUpDelayMs=50"})));
  ras.SetEntryName("Fast");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));

  gui::TApplication* app = gui::Application;
  gui::Application = nullptr;
  PostQuitMessage(7);
  EXPECT_EQ(ras.HangUp(), 0);
  gui::Application = app;
  EXPECT_EQ(log.Count("OnDisconnect"), 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

// ------------------------------------------------------------------ what the service is handed

struct DialCall {
  int calls = 0;
  bool extensions = false;
  bool phonebookGiven = false;
  std::string phonebook;
  RASDIALPARAMSA params{};
  DWORD notifierType = 0;
  void* notifier = nullptr;
};
DialCall g_dial;

DWORD WINAPI RecordingDial(LPRASDIALEXTENSIONS extensions, LPCSTR phonebook, LPRASDIALPARAMSA params,
                           DWORD notifierType, LPVOID notifier, LPHRASCONN conn) {
  ++g_dial.calls;
  g_dial.extensions = extensions != nullptr;
  g_dial.phonebookGiven = phonebook != nullptr;
  g_dial.phonebook = phonebook ? phonebook : "";
  std::memcpy(&g_dial.params, params, sizeof g_dial.params);
  g_dial.notifierType = notifierType;
  g_dial.notifier = notifier;
  auto real = reinterpret_cast<PFN_RasDialA>(reinterpret_cast<void*>(LoaderHooks::Original("RasDialA")));
  return real(extensions, phonebook, params, notifierType, notifier, conn);
}

// The record as the rules make it: all 1052 bytes zero, the size, each text cut to its limit.
RASDIALPARAMSA ExpectedRecord(const std::string& entry, const std::string& phone, const std::string& callback,
                              const std::string& user, const std::string& password, const std::string& domain) {
  RASDIALPARAMSA r;
  std::memset(&r, 0, sizeof r);
  r.dwSize = 1052;
  auto put = [](char* field, const std::string& s, size_t limit) { std::memcpy(field, s.data(), std::min(s.size(), limit)); };
  put(r.szEntryName, entry, 256);
  put(r.szPhoneNumber, phone, 128);
  put(r.szCallbackNumber, callback, 128);
  put(r.szUserName, user, 256);
  put(r.szPassword, password, 256);
  put(r.szDomain, domain, 15);
  return r;
}

TEST_F(Dialing, TheServiceIsHandedTheRecordTheWindowAndThePhonebookAsTheRulesMakeThem) {
  g_dial = {};
  LoaderHooks::replaceProc = {{"RasDialA", reinterpret_cast<void*>(&RecordingDial)}};
  TRAS ras(nullptr);
  const std::string pbk = Phonebook(Section("Work", {"UserName=stored-user", "Password=stored-secret", "SavePassword=1",
                                                     "Domain=LONGDOMAINNAME-XYZ", "CallbackNumber=5550100",
                                                     "StepDelayMs=60000", "HangUpDelayMs=0"}));
  ras.SetPhoneBookPath(pbk);
  ras.SetEntryName("Work");
  ASSERT_EQ(ras.GetEntryDialParams(), 0);  // leaves the stored values in the record
  ras.SetUserName("u");
  ras.SetDomain("LONGDOMAINNAME-XYZ");
  ras.SetPhoneNumber(std::string(130, '9'));
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_EQ(g_dial.calls, 1);
  const RASDIALPARAMSA expected =
      ExpectedRecord("Work", std::string(130, '9'), "5550100", "u", "stored-secret", "LONGDOMAINNAME-XYZ");
  EXPECT_EQ(std::memcmp(&g_dial.params, &expected, sizeof expected), 0)
      << "entry '" << g_dial.params.szEntryName << "' phone " << std::strlen(g_dial.params.szPhoneNumber)
      << " user '" << g_dial.params.szUserName << "' domain '" << g_dial.params.szDomain << "'";
  EXPECT_FALSE(g_dial.extensions);
  EXPECT_TRUE(g_dial.phonebookGiven);
  EXPECT_EQ(g_dial.phonebook, pbk);
  EXPECT_EQ(g_dial.notifierType, 0xFFFFFFFFu);
  EXPECT_EQ(g_dial.notifier, ras.NotifyWindow());
  ras.CloseConnection();

  // No path: no phonebook at all, never an empty name.
  ras.SetPhoneBookPath("");
  ras.Dial();
  ASSERT_EQ(g_dial.calls, 2);
  EXPECT_FALSE(g_dial.phonebookGiven);
}

DWORD WINAPI EnumWithABlankName(LPCSTR, LPCSTR, LPRASENTRYNAMEA names, LPDWORD bytes, LPDWORD count) {
  const char* listed[] = {"First", "", "Third"};
  for (int i = 0; i < 3; ++i) {
    names[i].dwSize = sizeof(RASENTRYNAMEA);
    std::strcpy(names[i].szEntryName, listed[i]);
  }
  std::strcpy(names[3].szEntryName, "beyond the count");
  *bytes = 3 * sizeof(RASENTRYNAMEA);
  *count = 3;
  return 0;
}

TEST_F(Dialing, AnEmptyEntryNameIsSkippedAndNothingBeyondTheCountIsRead) {
  LoaderHooks::replaceProc = {{"RasEnumEntriesA", reinterpret_cast<void*>(&EnumWithABlankName)}};
  TRAS ras(nullptr);
  EXPECT_EQ(ras.GetPhoneBookEntries(), 0);
  ASSERT_EQ(ras.PhoneBookEntries().Count(), 2);
  EXPECT_EQ(ras.PhoneBookEntries().Strings(0), "First");
  EXPECT_EQ(ras.PhoneBookEntries().Strings(1), "Third");
}

// ------------------------------------------------------------------ messages and their filters

TEST_F(Dialing, AProgressMessageWithoutAConnectionGoesToTheDefaultProcedure) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Known")));
  ras.SetEntryName("Unknown");
  ASSERT_NE(ras.Dial(), 0);
  ASSERT_NE(ras.NotifyWindow(), nullptr);
  ASSERT_EQ(ras.RASConn(), nullptr);
  const std::string refused = ras.StatusStr();
  Send(ras, RASCS_PortOpened, 0);
  Send(ras, RASCS_ConnectDevice, ERROR_LINE_BUSY);
  EXPECT_TRUE(log.all.empty());
  EXPECT_EQ(ras.ConnectState(), 0);
  EXPECT_EQ(ras.ConnectError(), 0);
  EXPECT_EQ(ras.StatusStr(), refused);
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
}

TEST_F(Dialing, AnErrorMessageFiresOnlyOnStateChangedEvenWhenItCarries8193) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Held", {kHeld[0], kHeld[1]})));
  ras.SetEntryName("Held");
  DialHeld(ras, log);

  Send(ras, RASCS_Disconnected, ERROR_LINE_BUSY);  // the state is not looked at
  EXPECT_EQ(log.Names(), Names{"OnStateChanged"});
  EXPECT_EQ(ras.ConnectState(), ERROR_LINE_BUSY);
  log.all.clear();
  Send(ras, RASCS_ConnectDevice, RASCS_Disconnected);  // an error code of 8193
  EXPECT_EQ(log.Names(), Names{"OnStateChanged"});
  EXPECT_EQ(ras.ConnectState(), RASCS_Disconnected);
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(RASCS_Disconnected));
  EXPECT_EQ(ras.StatusStr(), ras.GetErrorText(RASCS_Disconnected));
  EXPECT_NE(ras.RASConn(), nullptr);
  ras.CloseConnection();
}

TEST_F(Dialing, WithoutAnOnDisconnectHandlerHangUpAsksNoStatusAndKeepsItsResult) {
  TRAS ras(nullptr);
  ras.SetPhoneBookPath(Phonebook(Section("Fast", {"StepDelayMs=5", "HangUpDelayMs=20"})));
  ras.SetEntryName("Fast");
  ASSERT_EQ(ras.HangUp(), 0);
  EXPECT_EQ(ras.LastError(), 0) << "a status query of handle 0 would have left its error";
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return ras.ConnectState() == RASCS_Connected; }, 5000));
  EXPECT_EQ(ras.HangUp(), 0);
  EXPECT_EQ(ras.LastError(), 0);
}

TEST_F(Dialing, AStatusQueryWithoutAHandleAnswers601AndLeavesLastErrorAlone) {
  TRAS ras(nullptr);
  ras.SetPhoneBookPath(Phonebook(Section("Known")));
  ras.SetEntryName("Unknown");
  ras.Dial();
  const std::string text = ras.StatusStr();
  EXPECT_EQ(ras.GetConnectStatus(), 601);
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
  EXPECT_EQ(ras.StatusStr(), text);
  EXPECT_EQ(ras.ConnectState(), 0);
}

TEST_F(Dialing, AStatusRecordErrorAbove600BecomesLastErrorAndOneAt600DoesNot) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Busy", {"Fault=busy", "StepDelayMs=5", "HangUpDelayMs=0"}) +
                                 Section("Odd", {"Fault=device", "FaultState=2", "FaultError=600", "StepDelayMs=5",
                                                 "HangUpDelayMs=0"})));
  ras.SetEntryName("Busy");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return ras.LastError() != 0; }, 5000));
  ras.SetStatusStr("");
  EXPECT_EQ(ras.GetConnectStatus(), static_cast<int>(ERROR_LINE_BUSY));
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(ERROR_LINE_BUSY));
  EXPECT_EQ(ras.ConnectState(), RASCS_ConnectDevice) << "the record's state";
  EXPECT_EQ(ras.ConnectError(), ERROR_LINE_BUSY);
  EXPECT_EQ(ras.StatusStr(), "The line is busy.");

  ras.SetEntryName("Odd");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return ras.LastError() == 600; }, 5000));
  ras.SetStatusStr("unchanged");
  EXPECT_EQ(ras.GetConnectStatus(), 0) << "600 is the last state number, not an error";
  EXPECT_EQ(ras.LastError(), 0);
  EXPECT_EQ(ras.ConnectError(), 600);
  EXPECT_EQ(ras.ConnectState(), RASCS_ConnectDevice);
  EXPECT_EQ(ras.StatusStr(), "unchanged");
  ras.CloseConnection();
}

TEST_F(Dialing, ARedialAfterAnErrorThatWasNeverHungUpReportsItsFirstStateAgain) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Busy", {"Fault=busy", "StepDelayMs=5", "HangUpDelayMs=0"}) +
                                 Section("Fine", {"StepDelayMs=5", "HangUpDelayMs=0"})));
  ras.SetEntryName("Busy");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return ras.LastError() != 0; }, 5000));
  ASSERT_EQ(ras.SavedState(), 0) << "after an error the last reported state is 0";

  log.all.clear();
  ras.SetEntryName("Fine");
  ASSERT_EQ(ras.Dial(), 0);
  EXPECT_EQ(ras.SavedState(), 9999);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));
  ASSERT_FALSE(log.Statuses().empty());
  EXPECT_EQ(log.Statuses().front(), "Opening Serial Port");
  ras.CloseConnection();
}

TEST_F(Dialing, ALineDroppingWhileHangUpWaitsFiresOnDisconnectTwice) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Slow", {"StepDelayMs=5", "HangUpDelayMs=200"})));
  ras.SetEntryName("Slow");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));
  log.all.clear();
  // The drop's message is waiting when the hang-up starts; the wait's pump delivers it.
  PostMessageA(ras.NotifyWindow(), ras.DialEventMessage(), RASCS_Disconnected, 0);
  EXPECT_EQ(ras.HangUp(), 0);
  ASSERT_EQ(log.Names(), (Names{"OnStateChanged", "OnDisconnect", "OnDisconnect"}));
  EXPECT_EQ(log.all[0].status, "Disconnected/Offline");
  EXPECT_EQ(log.all[1].error, 0) << "from inside the wait: the handle still answers";
  EXPECT_EQ(log.all[2].error, static_cast<int32_t>(ServiceStatus(nullptr))) << "at the end: handle 0";
}

// ------------------------------------------------------------------ a library without RasHangUpA

void CALLBACK EndTheLine(HWND, UINT, UINT_PTR id, DWORD);
HRASCONN g_stuck = nullptr;

TEST_F(Dialing, WithoutRasHangUpAHangUpAnswersAtOnceWithTheMissingEntryPointAndStillDisconnects) {
  LoaderHooks::hideProc = {"RasHangUpA"};
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Up", {"StepDelayMs=5", "HangUpDelayMs=0"})));
  ras.SetEntryName("Up");
  ASSERT_EQ(ras.Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Count("OnConnect") == 1; }, 5000));
  log.all.clear();
  g_stuck = ras.RASConn();
  // Should the wait begin, nothing here would end it: the timer ends the line so the test fails
  // instead of hanging.
  const UINT_PTR timer = SetTimer(nullptr, 0, 2000, &EndTheLine);

  const ULONGLONG t0 = GetTickCount64();
  EXPECT_EQ(ras.HangUp(), static_cast<int>(ERROR_PROC_NOT_FOUND));
  EXPECT_LT(GetTickCount64() - t0, 500u) << "answered without waiting";
  KillTimer(nullptr, timer);
  ASSERT_EQ(log.Names(), Names{"OnDisconnect"});
  EXPECT_EQ(log.all[0].error, static_cast<int32_t>(ServiceStatus(nullptr)));
  EXPECT_EQ(ras.RASConn(), nullptr);
  EXPECT_EQ(ras.NotifyWindow(), nullptr);

  // A further press finds no connection: one more OnDisconnect, no nested wait.
  EXPECT_EQ(ras.HangUp(), 0);
  EXPECT_EQ(log.Count("OnDisconnect"), 2);
  EXPECT_EQ(ServiceHangUp(g_stuck), 0u) << "the line the component could not end";
}

void CALLBACK EndTheLine(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto hangUp = reinterpret_cast<PFN_RasHangUpA>(reinterpret_cast<void*>(LoaderHooks::Original("RasHangUpA")));
  hangUp(g_stuck);
}

TEST_F(Dialing, WithoutRasHangUpACloseConnectionAnswersTheMissingEntryPoint) {
  LoaderHooks::hideProc = {"RasHangUpA"};
  TRAS ras(nullptr);
  ras.SetPhoneBookPath(Phonebook(Section("Up", {"StepDelayMs=60000", "HangUpDelayMs=0"})));
  ras.SetEntryName("Up");
  ASSERT_EQ(ras.Dial(), 0);
  const HRASCONN handle = ras.RASConn();
  EXPECT_EQ(ras.CloseConnection(), static_cast<int>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(ras.RASConn(), nullptr);
  EXPECT_EQ(ServiceHangUp(handle), 0u);
}

}  // namespace
