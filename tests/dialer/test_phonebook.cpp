// Entry lists, stored dial parameters and the dial record's limits.
#include <cstring>

#include "dialer_fixture.h"

namespace {

using Entries = DialerTest;

std::string NumberedEntries(int n) {
  std::string pbk;
  for (int i = 1; i <= n; ++i) pbk += Section("Entry " + std::to_string(i));
  return pbk;
}

std::vector<std::string> List(const TRAS& ras) {
  std::vector<std::string> out;
  for (int i = 0; i < ras.PhoneBookEntries().Count(); ++i) out.push_back(ras.PhoneBookEntries().Strings(i));
  return out;
}

TEST_F(Entries, AHundredEntriesAreListedInOrderAndAHundredAndOneGiveAnEmptyList) {
  TRAS ras(nullptr);
  ras.SetStatusStr("unchanged");
  ras.SetPhoneBookPath(WriteFile("100.pbk", NumberedEntries(100)));
  EXPECT_EQ(ras.LastError(), 0);
  auto list = List(ras);
  ASSERT_EQ(list.size(), 100u);
  EXPECT_EQ(list.front(), "Entry 1");
  EXPECT_EQ(list.back(), "Entry 100");

  ras.SetPhoneBookPath(WriteFile("101.pbk", NumberedEntries(101)));
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(ERROR_BUFFER_TOO_SMALL));
  EXPECT_EQ(ras.PhoneBookEntries().Count(), 0) << "cleared before the call";
  EXPECT_EQ(ras.StatusStr(), "unchanged");

  EXPECT_EQ(ras.GetPhoneBookEntries(), static_cast<int>(ERROR_BUFFER_TOO_SMALL));
  ras.SetPhoneBookPath(Dir() + "\\missing.pbk");
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(ERROR_CANNOT_OPEN_PHONEBOOK));
}

TEST_F(Entries, AnEmptyPathMeansTheDefaultPhonebookNotAnEmptyName) {
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", WriteFile("default.pbk", Section("Home") + Section("Work")).c_str());
  TRAS ras(nullptr);
  EXPECT_EQ(ras.GetPhoneBookEntries(), 0) << "an empty name would be refused as unopenable";
  EXPECT_EQ(List(ras), (std::vector<std::string>{"Home", "Work"}));

  ras.SetEntryName("Work");
  EXPECT_EQ(ras.GetEntryDialParams(), 0);
}

TEST_F(Entries, APasswordIsTakenOnlyWhenTheServiceSaysItWasSaved) {
  TRAS ras(nullptr);
  ras.SetPhoneBookPath(Phonebook(
      Section("Saved", {"UserName=alice", "Password=opensesame", "SavePassword=1", "CallbackNumber=555 0100",
                        "Domain=OFFICE"}) +
      Section("Unsaved", {"UserName=bob", "Password=leaked", "SavePassword=0", "ReturnUnsavedPassword=1"})));
  ras.SetPhoneNumber("0123");

  ras.SetEntryName("Saved");
  ASSERT_EQ(ras.GetEntryDialParams(), 0);
  EXPECT_EQ(ras.UserName(), "alice");
  EXPECT_EQ(ras.Password(), "opensesame");
  EXPECT_EQ(ras.CallbackNumber(), "555 0100");
  EXPECT_EQ(ras.Domain(), "OFFICE");
  EXPECT_EQ(ras.PhoneNumber(), "0123") << "not touched";

  ras.SetEntryName("Unsaved");
  ASSERT_EQ(ras.GetEntryDialParams(), 0);
  EXPECT_EQ(ras.UserName(), "bob");
  EXPECT_EQ(ras.Password(), "") << "the service returned text, but the flag says it was not saved";
  EXPECT_EQ(ras.CallbackNumber(), "");
  EXPECT_EQ(ras.Domain(), "");
  EXPECT_EQ(std::strlen(ras.DialParams().szPassword), 0u) << "nor is it kept in the record";
}

TEST_F(Entries, AnUnknownEntryEmptiesTheParametersAndLeavesTheServiceText) {
  TRAS ras(nullptr);
  EventLog log(ras);
  ras.SetPhoneBookPath(Phonebook(Section("Known")));
  ras.SetEntryName("Unknown");
  ras.SetUserName("u");
  ras.SetPassword("p");
  ras.SetCallbackNumber("c");
  ras.SetDomain("d");
  EXPECT_EQ(ras.GetEntryDialParams(), static_cast<int>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
  EXPECT_EQ(ras.LastError(), static_cast<int32_t>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
  EXPECT_EQ(ras.StatusStr(), ServiceErrorText(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
  EXPECT_EQ(ras.UserName() + ras.Password() + ras.CallbackNumber() + ras.Domain(), "");
  EXPECT_TRUE(log.all.empty());
}

TEST_F(Entries, OverlongValuesAreCutToTheirFieldsLimits) {
  TRAS ras(nullptr);
  // The service knows a name of exactly 256 characters; a longer EntryName is cut to it.
  const std::string name(256, 'N');
  ras.SetPhoneBookPath(Phonebook(Section(name, {"UserName=carol", "HangUpDelayMs=0"})));
  ras.SetEntryName(name + "tail");
  ASSERT_EQ(ras.GetEntryDialParams(), 0);
  EXPECT_EQ(ras.UserName(), "carol");

  ras.SetPhoneNumber(std::string(200, '1'));
  ras.SetCallbackNumber(std::string(200, '2'));
  ras.SetUserName(std::string(300, 'u'));
  ras.SetPassword(std::string(300, 'p'));
  ras.SetDomain("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  ras.FillDialParams();
  const RASDIALPARAMSA& p = ras.DialParams();
  EXPECT_EQ(p.dwSize, 1052u);
  EXPECT_EQ(std::string(p.szEntryName), name);
  EXPECT_EQ(std::string(p.szPhoneNumber), std::string(128, '1'));
  EXPECT_EQ(std::string(p.szCallbackNumber), std::string(128, '2'));
  EXPECT_EQ(std::string(p.szUserName), std::string(256, 'u'));
  EXPECT_EQ(std::string(p.szPassword), std::string(256, 'p'));
  EXPECT_EQ(std::string(p.szDomain), "ABCDEFGHIJKLMNO");

  // The record the service gets is well formed: it dials.
  EXPECT_EQ(ras.Dial(), 0);
  EXPECT_EQ(ras.CloseConnection(), 0);
}

}  // namespace
