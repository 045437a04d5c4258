// The dial-up component against our remote-access service: phonebooks in a temporary folder,
// an application object whose message pump HangUp uses, and a recorder of every event.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Forms.h"
#include "TestWindows.h"
#include "ras_component.h"

// What a handler saw when an event fired.
struct Fired {
  std::string event;
  std::string status;   // StatusStr at that moment
  uint16_t state;       // ConnectState
  int32_t lastError;
  int32_t error = 0;    // OnDisconnect's arguments
  std::string errorText;
};

// Binds every event of a component and records them in order.
class EventLog : public rtl::TObject {
 public:
  explicit EventLog(TRAS& ras);
  std::vector<Fired> all;
  std::vector<std::string> Names() const;
  // StatusStr at each OnStateChanged.
  std::vector<std::string> Statuses() const;
  int Count(const std::string& event) const;
  // Runs after each record is taken (a test's own reaction to an event).
  std::function<void(const Fired&)> after;

  template <int N>
  void Hit(rtl::TObject*);
  void Disconnect(rtl::TObject*, int32_t error, const std::string& text);

 private:
  void Record(const std::string& event, int32_t error = 0, const std::string& text = {});
  TRAS& ras_;
};

using tsupport::PumpFor;
using tsupport::PumpUntil;

class DialerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file into the test's folder; returns its full path.
  std::string WriteFile(const std::string& name, const std::string& content);
  std::string ReadFile(const std::string& path);
  std::string Dir() const { return dir_; }
  // A phonebook of the given sections ("[name]" and key lines).
  std::string Phonebook(const std::string& content) { return WriteFile("test.pbk", content); }

  // The service's own entry points, for what a test checks behind the component's back.
  DWORD ServiceStatus(HRASCONN handle, RASCONNSTATUSA* out = nullptr);
  // Hangs up behind the component's back (a connection it cannot end itself).
  DWORD ServiceHangUp(HRASCONN handle);
  std::string ServiceErrorText(DWORD code);
  bool WaitGone(HRASCONN handle, DWORD timeoutMs);

  gui::TApplication app_;

 private:
  std::string dir_;
  HMODULE service_ = nullptr;
};

std::string Section(const std::string& name, const std::vector<std::string>& lines = {});

// Routes the test program's own LoadLibraryExA, GetProcAddress, FreeLibrary, RegisterWindowMessageA
// and RegCloseKey (the component is linked into it) through rules a test sets, and logs the calls
// that concern the service.
struct LoaderHooks {
  static void Install();
  static void Reset();
  static std::set<std::string> failLoad;              // names (upper case) that fail to load
  static std::map<std::string, std::string> redirect;  // load another library instead
  static std::set<std::string> hideProc;              // entry points reported missing
  static std::map<std::string, void*> replaceProc;     // entry points answered with a stand-in
  static bool failRegister;                            // RegisterWindowMessageA answers 0
  static std::vector<std::string> loads;              // names asked for (upper case)
  static std::vector<HMODULE> loaded;                  // handles returned, same order
  static std::vector<HMODULE> freed;
  // Every entry point looked up by name in a library from `loaded`, in order.
  static std::vector<std::pair<HMODULE, std::string>> procs;
  static std::vector<HKEY> closedKeys;                 // RegCloseKey's arguments
  // The service's own address of an entry point, for a stand-in that passes calls on.
  static FARPROC Original(const char* name);
};
