// Run-time binding of the remote-access library: once per component, the fallback library for
// the extended entry points, what a missing library leaves behind, and what destruction frees.
#include "dialer_fixture.h"

namespace {

using Binding = DialerTest;

long Count(const std::vector<std::string>& v, const std::string& s) { return std::count(v.begin(), v.end(), s); }

TEST_F(Binding, BindsOnFirstUseOnlyAndFreesOnlyWhatItLoaded) {
  {
    TRAS ras(nullptr);
    EXPECT_TRUE(LoaderHooks::loads.empty()) << "construction binds nothing";
    ras.SetPhoneBookPath(Phonebook(Section("A")));
    ras.SetEntryName("A");
    ras.GetEntryDialParams();
    ras.GetConnectStatus();
    ras.HangUp();
    ras.GetErrorText(ERROR_LINE_BUSY);
    EXPECT_TRUE(ras.LoadRasLibrary());
    EXPECT_EQ(LoaderHooks::loads, std::vector<std::string>{"RASAPI32.DLL"})
        << "the service exports RasGetCountryInfoA, so the fallback library is never asked for";
  }
  ASSERT_EQ(LoaderHooks::loaded.size(), 1u);
  EXPECT_EQ(LoaderHooks::freed, std::vector<HMODULE>{LoaderHooks::loaded[0]}) << "one library, freed once";

  // Each component binds for itself.
  LoaderHooks::Reset();
  TRAS first(nullptr), second(nullptr);
  EXPECT_TRUE(first.LoadRasLibrary());
  EXPECT_TRUE(second.LoadRasLibrary());
  EXPECT_EQ(Count(LoaderHooks::loads, "RASAPI32.DLL"), 2);
}

TEST_F(Binding, ExtendedEntryPointsComeFromTheFallbackLibraryWhenTheMainOneLacksThem) {
  LoaderHooks::hideProc = {"RasGetCountryInfoA"};
  // Any other real library stands in for the fallback; none of its entry points is called.
  LoaderHooks::redirect = {{"RNAPH.DLL", "version.dll"}};
  {
    TRAS ras(nullptr);
    EXPECT_TRUE(ras.LoadRasLibrary());
    EXPECT_EQ(LoaderHooks::loads, (std::vector<std::string>{"RASAPI32.DLL", "RNAPH.DLL"}));
    ASSERT_EQ(LoaderHooks::loaded.size(), 2u);
    ASSERT_NE(LoaderHooks::loaded[1], nullptr);
    EXPECT_TRUE(LoaderHooks::freed.empty());
  }
  EXPECT_EQ(LoaderHooks::freed, (std::vector<HMODULE>{LoaderHooks::loaded[1], LoaderHooks::loaded[0]}))
      << "the fallback first, then the main library";
}

TEST_F(Binding, AMissingLibraryIsTriedOnceAndEveryOperationAnswers1157) {
  LoaderHooks::failLoad = {"RASAPI32.DLL"};
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.PhoneBookEntries().Add("kept");
  ras.SetStatusStr("before");
  ras.SetEntryName("A");
  ras.SetUserName("user");

  EXPECT_EQ(ras.GetPhoneBookEntries(), 1157);
  EXPECT_EQ(ras.PhoneBookEntries().Count(), 1) << "the list is left as it was";
  EXPECT_EQ(ras.GetEntryDialParams(), 1157);
  EXPECT_EQ(ras.UserName(), "user") << "nothing else changes";
  EXPECT_EQ(ras.Dial(), 1157);
  EXPECT_EQ(ras.NotifyWindow(), nullptr);
  EXPECT_EQ(ras.GetConnectStatus(), 601) << "no connection handle to ask about";
  EXPECT_EQ(ras.CloseConnection(), 0);
  EXPECT_EQ(ras.HangUp(), 0);
  EXPECT_EQ(ras.LastError(), 1157) << "HangUp's disconnect stops at the binding check";
  EXPECT_TRUE(log.all.empty()) << "no OnDisconnect without the library";
  EXPECT_EQ(ras.StatusStr(), "before");

  // Texts still come from the system, trimmed of the full stop and line end.
  std::string text = ras.GetErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.');
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);

  EXPECT_EQ(LoaderHooks::loads, std::vector<std::string>{"RASAPI32.DLL"}) << "binding is attempted once";
  EXPECT_TRUE(LoaderHooks::freed.empty());
}

TEST_F(Binding, ALibraryWithoutRasDialIsTreatedAsMissingButStaysLoadedUntilDestruction) {
  LoaderHooks::hideProc = {"RasDialA"};
  {
    TRAS ras(nullptr);
    EXPECT_FALSE(ras.LoadRasLibrary());
    EXPECT_EQ(ras.GetPhoneBookEntries(), 1157);
    ASSERT_EQ(LoaderHooks::loaded.size(), 1u);
    EXPECT_TRUE(LoaderHooks::freed.empty());
  }
  EXPECT_EQ(LoaderHooks::freed, std::vector<HMODULE>{LoaderHooks::loaded[0]});
}

TEST_F(Binding, ErrorTextsPreferTheServiceAndFallBackToTheSystemTrimmed) {
  TRAS ras(nullptr);
  EXPECT_EQ(ras.GetErrorText(ERROR_LINE_BUSY), "The line is busy.") << "the service's text as it is";

  // A code the service has no text for: the system's, without trailing blanks, line ends or stops.
  char raw[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND, 0, raw,
                 sizeof raw, nullptr);
  std::string expected = raw;
  while (!expected.empty() && (expected.back() == '.' || static_cast<unsigned char>(expected.back()) <= ' '))
    expected.pop_back();
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ras.GetErrorText(ERROR_FILE_NOT_FOUND), expected);
}

}  // namespace

namespace {

using Lookups = std::vector<std::pair<HMODULE, std::string>>;

const char* const kMainEntryPoints[] = {
    "RasDialA",           "RasEnumConnectionsA",    "RasEnumEntriesA",        "RasGetConnectStatusA",
    "RasGetErrorStringA", "RasHangUpA",             "RasGetEntryDialParamsA", "RasSetEntryDialParamsA",
    "RasMonitorDlgA",     "RasEditPhonebookEntryA", "RasCreatePhonebookEntryA", "RasGetProjectionInfoA"};
const char* const kExtendedEntryPoints[] = {"RasGetCountryInfoA",     "RasGetEntryPropertiesA",
                                            "RasSetEntryPropertiesA", "RasRenameEntryA",
                                            "RasDeleteEntryA",        "RasValidateEntryNameA",
                                            "RasEnumDevicesA"};

// The look-ups the binding makes: the twelve in the main library, the probe for the extended ones
// there, then (when a library has them) the seven extended ones in it.
Lookups ExpectedLookups(HMODULE main, HMODULE extended) {
  Lookups l;
  for (const char* name : kMainEntryPoints) l.emplace_back(main, name);
  l.emplace_back(main, "RasGetCountryInfoA");
  if (extended)
    for (const char* name : kExtendedEntryPoints) l.emplace_back(extended, name);
  return l;
}

}  // namespace

TEST_F(Binding, LooksUpEachEntryPointByNameInItsOrderAndTheExtendedOnesWhereTheyAre) {
  {
    TRAS ras(nullptr);
    ASSERT_TRUE(ras.LoadRasLibrary());
    ASSERT_EQ(LoaderHooks::loaded.size(), 1u);
    EXPECT_EQ(LoaderHooks::procs, ExpectedLookups(LoaderHooks::loaded[0], LoaderHooks::loaded[0]));
    LoaderHooks::procs.clear();
    ras.GetPhoneBookEntries();
    EXPECT_TRUE(LoaderHooks::procs.empty()) << "bound once";
  }

  // The main library lacks the extended entry points: they come from the fallback library.
  LoaderHooks::Reset();
  LoaderHooks::hideProc = {"RasGetCountryInfoA"};
  LoaderHooks::redirect = {{"RNAPH.DLL", "version.dll"}};
  {
    TRAS ras(nullptr);
    ASSERT_TRUE(ras.LoadRasLibrary());
    ASSERT_EQ(LoaderHooks::loaded.size(), 2u);
    EXPECT_EQ(LoaderHooks::procs, ExpectedLookups(LoaderHooks::loaded[0], LoaderHooks::loaded[1]));
  }

  // Neither has them: nothing more is looked up, and the binding still stands.
  LoaderHooks::Reset();
  LoaderHooks::hideProc = {"RasGetCountryInfoA"};
  LoaderHooks::failLoad = {"RNAPH.DLL"};
  TRAS ras(nullptr);
  EXPECT_TRUE(ras.LoadRasLibrary());
  ASSERT_EQ(LoaderHooks::loaded.size(), 2u);
  EXPECT_EQ(LoaderHooks::procs, ExpectedLookups(LoaderHooks::loaded[0], nullptr));
}

TEST_F(Binding, WithoutARegisteredMessageNumberTheFixedOneCarriesTheProgress) {
  LoaderHooks::failRegister = true;
  TRAS ras(nullptr);
  LoaderHooks::failRegister = false;
  EXPECT_EQ(ras.DialEventMessage(), 52429u);

  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Held", {"StepDelayMs=60000", "HangUpDelayMs=0"})));
  ras.SetEntryName("Held");
  ASSERT_EQ(ras.Dial(), 0);
  PumpFor(50);
  SendMessageA(ras.NotifyWindow(), 52429, RASCS_PortOpened, 0);
  EXPECT_EQ(log.Names(), (std::vector<std::string>{"OnStateChanged", "OnPortOpened"}));
  EXPECT_EQ(ras.StatusStr(), "Serial Port Opened");
  // The registered number is an ordinary message to this component now.
  SendMessageA(ras.NotifyWindow(), RegisterWindowMessageA("RASDialEvent"), RASCS_ConnectDevice, 0);
  EXPECT_EQ(log.all.size(), 2u);
  EXPECT_EQ(ras.ConnectState(), RASCS_PortOpened);
  ras.CloseConnection();
}

TEST_F(Binding, DestructionHangsUpAnOpenLineWithoutWaitingOrEventsAndLetsGoOfEverything) {
  // Outlives the component, so an event fired while it goes is still counted.
  struct Watch : rtl::TObject {
    int events = 0;
    void Any(rtl::TObject*) { ++events; }
    void Disconnect(rtl::TObject*, int32_t, const std::string&) { ++events; }
  } watch;
  auto ras = std::make_unique<TRAS>(nullptr);
  ras->OnStateChanged.Bind(&watch, &Watch::Any);
  ras->OnDisconnect.Bind(&watch, &Watch::Disconnect);
  ras->SetPhoneBookPath(Phonebook(Section("Up", {"StepDelayMs=5", "HangUpDelayMs=2000"})));
  ras->SetEntryName("Up");
  ASSERT_EQ(ras->Dial(), 0);
  ASSERT_TRUE(PumpUntil([&] { return ras->ConnectState() == RASCS_Connected; }, 5000));
  const HRASCONN handle = ras->RASConn();
  const HWND notify = ras->NotifyWindow();
  ASSERT_EQ(LoaderHooks::loaded.size(), 1u);
  const HMODULE library = LoaderHooks::loaded[0];
  watch.events = 0;
  LoaderHooks::closedKeys.clear();

  const ULONGLONG t0 = GetTickCount64();
  ras.reset();
  const ULONGLONG took = GetTickCount64() - t0;
  EXPECT_LT(took, 500u) << "the line takes 2 s to close; destruction does not wait for it";
  EXPECT_EQ(watch.events, 0) << "no OnDisconnect, no OnStateChanged";
  EXPECT_EQ(LoaderHooks::freed, std::vector<HMODULE>{library});
  OSVERSIONINFOA version{sizeof version};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const bool nt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
  EXPECT_EQ(LoaderHooks::closedKeys, nt ? std::vector<HKEY>{HKEY_PERFORMANCE_DATA} : std::vector<HKEY>{});
  PumpFor(20);
  EXPECT_FALSE(IsWindow(notify));

  RASCONNSTATUSA status{};
  ASSERT_EQ(ServiceStatus(handle, &status), 0u) << "still closing";
  EXPECT_EQ(status.rasconnstate, RASCS_Disconnected) << "but hung up";
  EXPECT_TRUE(WaitGone(handle, 5000));
}
