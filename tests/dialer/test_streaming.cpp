// The component in a form resource: initial values, what is stored, what may be read.
#include "FormStreams.h"
#include "dialer_fixture.h"

namespace {

class TDialerRoot : public rtl::TComponent {
  RTL_CLASS(TDialerRoot, rtl::TComponent)
 public:
  explicit TDialerRoot(rtl::TComponent* owner) : TComponent(owner) {}
  void GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent*) const override {
    for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
};
RTL_IMPLEMENT_CLASS(TDialerRoot);

using tsupport::FormText;
using tsupport::LoadFormText;


using Streaming = DialerTest;

TEST_F(Streaming, ANewComponentStartsWithItsDefaultsAndStoresTheFourKeyValues) {
  TDialerRoot root(nullptr);
  root.SetName("Form1");
  auto* ras = new TRAS(&root);
  ras->SetName("RAS1");
  EXPECT_EQ(ras->SavedState(), 9999);
  EXPECT_EQ(ras->RedialAttempts(), 1);
  EXPECT_EQ(ras->RASConn(), nullptr);
  EXPECT_EQ(ras->NotifyWindow(), nullptr);
  EXPECT_EQ(ras->DialEventMessage(), RegisterWindowMessageA("RASDialEvent"));

  const std::string text = FormText(&root);
  EXPECT_NE(text.find("KeyDUNAdap = 'Dial-Up Adapter'"), std::string::npos) << text;
  EXPECT_NE(text.find("KeyDUNConn = 'ConnectSpeed'"), std::string::npos);
  EXPECT_NE(text.find("KeyDUNXmit = 'TotalBytesXmit'"), std::string::npos);
  EXPECT_NE(text.find("KeyDUNRecv = 'TotalBytesRecvd'"), std::string::npos);
  EXPECT_EQ(text.find("RedialAttempts"), std::string::npos) << "equal to its stream default";
  EXPECT_EQ(text.find("SavedState"), std::string::npos) << "read-only values are never stored";
  EXPECT_EQ(text.find("StatsXmit"), std::string::npos);
}

TEST_F(Streaming, TheMainWindowsValuesAndHandlersLoadAndAPhonebookPathFillsTheList) {
  const std::string pbk = Phonebook(Section("Office") + Section("Home"));
  TDialerRoot root(nullptr);
  std::string quoted;
  for (char c : pbk) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  LoadFormText(&root,
               "object Form1: TDialerRoot\n"
               "  object RAS1: TRAS\n"
               "    PhoneBookPath = '" + quoted + "'\n"
               "    RedialAttempts = 3\n"
               "    KeyDUNAdap = 'Adapter'\n"
               "    KeyDUNConn = 'Speed'\n"
               "    KeyDUNXmit = 'Out'\n"
               "    KeyDUNRecv = 'In'\n"
               "  end\n"
               "end\n");
  auto* ras = rtl::As<TRAS>(root.FindComponent("RAS1"));
  ASSERT_NE(ras, nullptr);
  EXPECT_EQ(ras->KeyDUNAdap() + "|" + ras->KeyDUNConn() + "|" + ras->KeyDUNXmit() + "|" + ras->KeyDUNRecv(),
            "Adapter|Speed|Out|In");
  EXPECT_EQ(ras->RedialAttempts(), 3);
  ASSERT_EQ(ras->PhoneBookEntries().Count(), 2) << "the path's setter reads the list at once";
  EXPECT_EQ(ras->PhoneBookEntries().Strings(0), "Office");
}

TEST_F(Streaming, AResourceCannotSetAReadOnlyValue) {
  TDialerRoot root(nullptr);
  try {
    LoadFormText(&root, "object Form1: TDialerRoot\n object RAS1: TRAS\n  LastError = 5\n end\nend\n");
    ADD_FAILURE() << "loaded";
  } catch (const rtl::EReadError& e) {
    EXPECT_STREQ(e.what(), "Property LastError is read-only");
  }
}

}  // namespace
