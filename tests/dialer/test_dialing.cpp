// Dialing through the service: progress messages, their filtering, texts and events, errors,
// remote drops, and hanging up (also re-entrantly, and without spinning).
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
    if (m.Msg != WM_APP) return false;
    ++depth;
    nested = ras.HangUp();
    --depth;
    return true;
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

}  // namespace
