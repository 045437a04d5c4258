// The main window's compiled form resource as the program carries it, read here with a decoder
// of the test's own (the encoding of docs/framework.md), and held against the window's
// description: every component in its order, with its class, place and values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

namespace {

struct StoredObject {
  std::string cls, name;
  std::vector<std::pair<std::string, std::string>> props;  // in stored order, values as text
  std::map<std::string, std::string> binary;               // binary values' bytes by name
  std::vector<StoredObject> children;

  const std::string* Prop(const std::string& n) const {
    for (auto& [k, v] : props)
      if (k == n) return &v;
    return nullptr;
  }
};

class Decoder {
 public:
  Decoder(const uint8_t* p, size_t n) : p_(p), n_(n) {}

  StoredObject Root() {
    if (Take(4) != "TFR0") throw std::runtime_error("no TFR0 signature");
    return Object();
  }

 private:
  std::string Take(size_t n) {
    if (at_ + n > n_) throw std::runtime_error("resource ends early");
    std::string s(reinterpret_cast<const char*>(p_ + at_), n);
    at_ += n;
    return s;
  }
  uint8_t Byte() { return static_cast<uint8_t>(Take(1)[0]); }
  int64_t Int(size_t bytes) {
    std::string s = Take(bytes);
    int64_t v = 0;
    std::memcpy(&v, s.data(), bytes);
    int shift = static_cast<int>(64 - 8 * bytes);  // sign-extend
    return (v << shift) >> shift;
  }
  std::string Short() { return Take(Byte()); }
  static std::string Quoted(const std::string& text) {
    std::string s(1, '\'');
    s += text;
    s += '\'';
    return s;
  }

  // A value as a person reads it in the source: 12, 'text', ident, True, [a, b], ( ... ).
  std::string Value(std::string* bytes) {
    switch (uint8_t tag = Byte()) {
      case 1: {
        std::string s = "(";
        while (p_[at_] != 0) {
          if (s.size() > 1) s += ' ';
          s += Value(nullptr);
        }
        ++at_;
        return s + ")";
      }
      case 2: return std::to_string(Int(1));
      case 3: return std::to_string(Int(2));
      case 4: return std::to_string(Int(4));
      case 5: return std::to_string(Int(8));
      case 6: return Quoted(Short());
      case 12: return Quoted(Take(static_cast<size_t>(Int(4))));
      case 7: return Short();
      case 8: return "False";
      case 9: return "True";
      case 10: {
        std::string b = Take(static_cast<size_t>(Int(4)));
        if (bytes) *bytes = b;
        return "<" + std::to_string(b.size()) + " bytes>";
      }
      case 11: {
        std::string s = "[";
        for (std::string e; !(e = Short()).empty();) {
          if (s.size() > 1) s += ", ";
          s += e;
        }
        return s + "]";
      }
      case 13: return "nil";
      default: throw std::runtime_error("unknown value tag " + std::to_string(tag));
    }
  }

  StoredObject Object() {
    StoredObject o;
    o.cls = Short();
    o.name = Short();
    while (p_[at_] != 0) {
      std::string name = Short(), bytes;
      o.props.emplace_back(name, Value(&bytes));
      if (!bytes.empty()) o.binary[name] = bytes;
    }
    ++at_;
    while (p_[at_] != 0) o.children.push_back(Object());
    ++at_;
    return o;
  }

  const uint8_t* p_;
  size_t n_, at_ = 0;
};

StoredObject StoredForm() {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(self, "TFORM1", MAKEINTRESOURCEA(10));
  if (!res) throw std::runtime_error("no TFORM1 resource");
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(self, res)));
  return Decoder(data, SizeofResource(self, res)).Root();
}

using Values = std::vector<std::pair<std::string, std::string>>;

// Each expected value stored as given, and nothing stored but those and the names in `also`:
// what the window leaves at its default is not stored. The names missing, different or extra are
// listed.
void ExpectValues(const StoredObject& o, const Values& expected, const std::vector<std::string>& also = {}) {
  for (auto& [name, value] : expected) {
    const std::string* stored = o.Prop(name);
    if (!stored) {
      ADD_FAILURE() << o.name << "." << name << " is not stored";
      continue;
    }
    EXPECT_EQ(*stored, value) << o.name << "." << name;
  }
  for (auto& [name, value] : o.props) {
    bool known = std::count(also.begin(), also.end(), name) > 0;
    for (auto& e : expected) known = known || e.first == name;
    if (!known) ADD_FAILURE() << o.name << "." << name << " = " << value << " is stored";
  }
}

Values Bounds(int l, int t, int w, int h) {
  return {{"Left", std::to_string(l)}, {"Top", std::to_string(t)}, {"Width", std::to_string(w)}, {"Height", std::to_string(h)}};
}

Values Font(const char* name, int height, const char* style, const char* color, const char* charset) {
  return {{"Font.Name", std::string("'") + name + "'"}, {"Font.Height", std::to_string(height)}, {"Font.Style", style},
          {"Font.Color", color}, {"Font.Charset", charset}};
}

Values operator+(Values a, const Values& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

uint32_t U32(const std::string& b, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

// A text of one line, which is neither empty nor just blanks.
bool OneLine(const std::string& quoted) {
  return quoted.size() > 2 && quoted.find_first_of("\r\n") == std::string::npos &&
         quoted.find_first_not_of(' ', 1) < quoted.size() - 1;
}

}  // namespace

TEST(MainFormResource, HoldsTheWindowWithItsOwnValues) {
  StoredObject form = StoredForm();
  EXPECT_EQ(form.cls, "TForm1");
  EXPECT_EQ(form.name, "Form1");
  ExpectValues(form, Values{{"Caption", "'Brindlex UK Tessaline -  v1.01'"},
                      {"BorderIcons", "[biSystemMenu, biMinimize, biMaximize]"},
                      {"BorderStyle", "bsSingle"},
                      {"ClientWidth", "508"},
                      {"ClientHeight", "161"},
                      {"Position", "poScreenCenter"},
                      {"Color", "clBtnFace"},
                      {"Menu", "MainMenu1"},
                      {"OnCreate", "FormCreate"},
                      {"PixelsPerInch", "96"},
                      {"TextHeight", "13"}} +
                         Font("MS Sans Serif", -11, "[]", "clWindowText", "DEFAULT_CHARSET"),
               {"Left", "Top", "Icon.Data"});
  // One 32 by 32 image of 16 colours in a 766-byte icon resource.
  ASSERT_EQ(form.binary.count("Icon.Data"), 1u);
  const std::string& icon = form.binary["Icon.Data"];
  ASSERT_EQ(icon.size(), 766u);
  EXPECT_EQ(icon.substr(0, 6), std::string("\0\0\1\0\1\0", 6)) << "an icon directory of one image";
  EXPECT_EQ(static_cast<uint8_t>(icon[6]), 32);
  EXPECT_EQ(static_cast<uint8_t>(icon[7]), 32);
  EXPECT_EQ(static_cast<uint8_t>(icon[8]), 16) << "colours";
}

TEST(MainFormResource, CreatesEveryComponentInItsOrderWithItsValues) {
  StoredObject form = StoredForm();
  std::vector<std::string> order;
  for (auto& c : form.children) order.push_back(c.name + ": " + c.cls);
  ASSERT_EQ(order, (std::vector<std::string>{"btnDial: TGxBitmapButton", "FxLabel1: TFxLabel", "FxLabel2: TFxLabel",
                                              "EcURL1: TEcURL", "cbConn: TEcComboBox", "StatusBar1: TStatusBar",
                                              "GxFormStyler1: TGxFormStyler", "EcController1: TEcController",
                                              "GxBitmapList1: TGxBitmapList", "RAS1: TRAS", "MainMenu1: TMainMenu",
                                              "About: TSuShellAbout"}));
  auto& c = form.children;
  ExpectValues(c[0], Bounds(368, 48, 129, 81) + Font("Arial", -24, "[fsBold]", "clBlack", "ANSI_CHARSET") +
                         Values{{"Caption", "'Dial'"},
                                {"ParentFont", "False"},
                                {"BitmapList", "GxBitmapList1"},
                                {"BitmapIndex", "0"},
                                {"BorderWidth", "2"},
                                {"ButtonStyle", "bsRegular"},
                                {"TextAlign", "ttaBottom"},
                                {"OnClick", "btnDialClick"}});
  ExpectValues(c[1], Bounds(8, 8, 497, 33) + Font("Arial", -27, "[fsBold]", "clBlack", "ANSI_CHARSET") +
                         Values{{"Caption", "'Select the Connection and then DIAL'"}, {"ParentFont", "False"}});
  ExpectValues(c[2], Bounds(48, 88, 273, 35) + Font("Times New Roman", -27, "[]", "clGray", "DEFAULT_CHARSET") +
                         Values{{"ParentFont", "False"}}, {"Caption"});
  ASSERT_TRUE(c[2].Prop("Caption"));
  EXPECT_TRUE(OneLine(*c[2].Prop("Caption"))) << "the maker's notice, one line: " << *c[2].Prop("Caption");
  ExpectValues(c[3], Bounds(105, 122, 148, 16) +
                         Font("MS Sans Serif", -13, "[fsBold, fsUnderline]", "clBlue", "DEFAULT_CHARSET") +
                         Values{{"Caption", "'Brindlex UK Website'"},
                                {"HighlightColor", "clRed"},
                                {"UseVisitedColor", "False"},
                                {"VisitedColor", "clBlack"},
                                {"ParentFont", "False"}}, {"URL"});
  ASSERT_TRUE(c[3].Prop("URL"));
  EXPECT_EQ(c[3].Prop("URL")->rfind("'http://", 0), 0u) << "the maker's web address: " << *c[3].Prop("URL");
  ExpectValues(c[4], Bounds(8, 48, 353, 38) + Font("MS Sans Serif", -24, "[]", "clWindowText", "DEFAULT_CHARSET") +
                         Values{{"Style", "ecsDropDown"},
                                {"Controller", "EcController1"},
                                {"AutoSearch", "True"},
                                {"KeyDelay", "500"},
                                {"ItemHeight", "29"},
                                {"HotTrack", "False"},
                                {"LabelInfo.Visible", "False"},
                                {"MRUListCount", "2"},
                                {"MRUListColor", "clSilver"},
                                {"ParentFont", "False"},
                                {"TabOrder", "0"},
                                {"OnChange", "cbConnChange"}});
  ExpectValues(c[5], Bounds(0, 142, 508, 19) + Values{{"SimplePanel", "True"}, {"SizeGrip", "False"}});
  EXPECT_FALSE(c[5].Prop("Panels")) << "no panels";
  ExpectValues(c[6], {{"AppNameText.Caption", "'Tessaline - '"},
                      {"AppNameText.FontKind", "fkSystemB"},
                      {"AppNameText.Visible", "True"},
                      {"CaptionText.Caption", "'v1.01'"},
                      {"CaptionText.FontKind", "fkSystem"},
                      {"CaptionText.Visible", "True"},
                      {"CompanyText.Caption", "'Brindlex UK'"},
                      {"CompanyText.FontKind", "fkSystemBI"},
                      {"CompanyText.Visible", "True"}}, {"Left", "Top"});
  // Three built-in tables by name, only the first active, none with entries of its own.
  ExpectValues(c[7], {{"EntryCommands.TableList", "('Default' True () 'WordStar' False () 'Grid' False ())"},
                      {"EntryOptions", "[efoAutoSelect, efoBeepOnError, efoInsertPushes]"},
                      {"Epoch", "1900"}}, {"Left", "Top"});
  ExpectValues(c[8], {}, {"ListItems", "Left", "Top"});
  ExpectValues(c[9], {{"KeyDUNAdap", "'Dial-Up Adapter'"},
                      {"KeyDUNConn", "'ConnectSpeed'"},
                      {"KeyDUNXmit", "'TotalBytesXmit'"},
                      {"KeyDUNRecv", "'TotalBytesRecvd'"},
                      {"OnStateChanged", "RAS1StateChanged"},
                      {"OnConnect", "RAS1Connect"},
                      {"OnDisconnect", "RAS1Disconnect"},
                      {"OnPortOpened", "RAS1PortOpened"}}, {"Left", "Top"});
  ExpectValues(c[11], {}, {"AdditionalText", "Icon.Data", "Caption", "TitleText", "Left", "Top"});
  // The menu: two items on the bar, no sub-menus.
  ASSERT_EQ(c[10].children.size(), 2u);
  EXPECT_EQ(c[10].children[0].name + ": " + c[10].children[0].cls, "Exit1: TMenuItem");
  ExpectValues(c[10].children[0], {{"Caption", "'E&xit'"}, {"OnClick", "Exit1Click"}});
  EXPECT_EQ(c[10].children[1].name + ": " + c[10].children[1].cls, "About1: TMenuItem");
  ExpectValues(c[10].children[1], {{"Caption", "'About'"}, {"OnClick", "About1Click"}});
  for (auto& item : c[10].children) EXPECT_TRUE(item.children.empty()) << item.name;
  // The About box: one line of text, the window's icon, the platform's caption and title.
  ASSERT_TRUE(c[11].Prop("AdditionalText"));
  const std::string& text = *c[11].Prop("AdditionalText");
  EXPECT_TRUE(OneLine(text)) << text;
  EXPECT_NE(text.find("Tessaline"), std::string::npos) << text;
  EXPECT_NE(text.find("1.01"), std::string::npos) << text;
  for (const char* unset : {"Caption", "TitleText"}) {
    if (const std::string* v = c[11].Prop(unset)) {
      EXPECT_EQ(*v, "''") << unset;
    }
  }
  EXPECT_EQ(c[11].binary["Icon.Data"], form.binary["Icon.Data"]) << "the window's own icon";
}

TEST(MainFormResource, StoresTheButtonsTwoImagesIn4348Bytes) {
  StoredObject form = StoredForm();
  ASSERT_GE(form.children.size(), 9u);
  const StoredObject& list = form.children[8];
  ASSERT_EQ(list.binary.count("ListItems"), 1u);
  const std::string& s = list.binary.at("ListItems");
  ASSERT_EQ(s.size(), 4348u);
  EXPECT_EQ(s.substr(0, 4), "MBML");
  ASSERT_EQ(U32(s, 4), 2u) << "images";
  // Each record: its length, then a bitmap file of 32 by 32 at 16 bits (2166 bytes).
  size_t at = 8;
  for (int i = 0; i < 2; ++i) {
    uint32_t length = U32(s, at);
    EXPECT_EQ(length, 2166u) << "image " << i;
    EXPECT_EQ(s.substr(at + 4, 2), "BM") << "image " << i;
    EXPECT_EQ(U32(s, at + 4 + 14 + 4), 32u) << "width of image " << i;
    EXPECT_EQ(U32(s, at + 4 + 14 + 8), 32u) << "height of image " << i;
    at += 4 + length;
  }
  EXPECT_EQ(at, s.size()) << "nothing after the second image";
}
