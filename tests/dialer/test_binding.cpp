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
