// The loader on tables made for these tests (test_tables.rc), through a family of the tests' own
// whose error texts differ from every real family's.
#include <gtest/gtest.h>
#include <windows.h>

#include "rtl/Exceptions.h"
#include "strres/StringResource.h"
#include "test_helpers.h"

namespace {

class ETestError : public rtl::Exception {
 public:
  using Exception::Exception;
};

std::exception_ptr MakeTestError(const std::string& message) {
  return std::make_exception_ptr(ETestError(message));
}

template <strres::StringFamily& family>
strres::TStringResource* CreateIn(HINSTANCE instance, const char* name) {
  return new strres::TStringResource(family, instance, name);
}

strres::StringFamily testFamily{"TEST_MESSAGES", "TEST_SAMPLE", MakeTestError, CreateIn<testFamily>,
                                "fallback: invalid"};
// Its message texts carry conversions that do not fit their arguments.
strres::StringFamily oddFamily{"TEST_BAD_MESSAGES", "TEST_SAMPLE", MakeTestError,
                               CreateIn<oddFamily>, "fallback: invalid"};
// Never started: it has no message table open.
strres::StringFamily bareFamily{"TEST_MESSAGES", "TEST_SAMPLE", MakeTestError, CreateIn<bareFamily>,
                                "fallback: invalid"};
// Started and finalised by the start-up test alone.
strres::StringFamily startFamily{"TEST_MESSAGES", "TEST_SAMPLE", MakeTestError,
                                 CreateIn<startFamily>, "fallback: invalid"};

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

// Most cases here raise the test family's own error.
template <class F>
std::string MessageOf(F f) {
  return MessageOf<ETestError>(f);
}

class Loader : public ::testing::Test {
 protected:
  void SetUp() override { strres::InitializeFamily(testFamily, Self()); }
  void TearDown() override { strres::FinalizeFamily(testFamily); }
  strres::TStringResource& Strings() { return *testFamily.strings; }
};

// Tables a read would leave: a bad magic, too short for the header, an index or a text past the
// end.
const char* const kMalformed[] = {"TEST_BAD_MAGIC", "TEST_TRUNCATED", "TEST_INDEX_OUTSIDE",
                                  "TEST_TEXT_OUTSIDE", "TEST_OFFSET_OUTSIDE"};

}  // namespace

TEST_F(Loader, FindsFirstAndLastIdsAndNothingBetweenOrBeyond) {
  EXPECT_EQ(Strings().GetString(0), "Black");
  EXPECT_EQ(Strings().GetString(39), "Invalid date");
  EXPECT_EQ(Strings().GetString(30), "No label is attached");
  for (int32_t absent : {20, 2, 38, 40, -1, INT32_MIN, INT32_MAX})
    EXPECT_EQ(Strings().GetString(absent), "") << absent;
  EXPECT_EQ(Strings().GetString(31), "");  // present, empty text
  // Open between lookups, never left locked.
  EXPECT_NE(Strings().ResourceHandle(), nullptr);
  EXPECT_EQ(Strings().TableData(), nullptr);
}

TEST_F(Loader, EmptyTableOpensAndFindsNothing) {
  strres::TStringResource empty(testFamily, Self(), "TEST_EMPTY");
  EXPECT_NE(empty.ResourceHandle(), nullptr);
  for (int32_t id : {0, 1, 39, -1}) EXPECT_EQ(empty.GetString(id), "");
}

TEST_F(Loader, ConvertsTextToTheAnsiCodePage) {
  auto backToWide = [](const std::string& s) {
    std::wstring w(s.size(), L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(),
                                static_cast<int>(w.size()));
    w.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return w;
  };
  std::string gruesse = Strings().GetString(1);
  std::string euro = Strings().GetString(15);
  if (GetACP() == 1252) {
    EXPECT_EQ(gruesse,
              "Gr\xFC\xDF"
              "e");
    EXPECT_EQ(euro, "\x80 5");
  }
  EXPECT_EQ(backToWide(gruesse), L"Gr\u00fc\u00dfe");
}

TEST_F(Loader, MalformedTablesFailToOpenWithMessage5AndLeaveTheObjectClosed) {
  for (const char* name : kMalformed) {
    EXPECT_EQ(MessageOf([&] { strres::TStringResource t(testFamily, Self(), name); }),
              "test: invalid table")
        << name;

    strres::TStringResource reopened(testFamily, Self(), "TEST_SAMPLE");
    EXPECT_EQ(MessageOf([&] { reopened.OpenTable(Self(), name); }), "test: invalid table") << name;
    EXPECT_EQ(reopened.ResourceHandle(), nullptr) << name;
    EXPECT_EQ(reopened.TableData(), nullptr) << name;
    EXPECT_EQ(MessageOf([&] { reopened.GetString(0); }), "test: cannot lock") << name;
  }
}

TEST_F(Loader, TablesOutOfOrderOrOddlyLaidOutOpenAndAreSearchedAsTheyStand) {
  // Ids 9 then 8: the search looks at index 0 first and, finding 9, never looks right of it.
  strres::TStringResource unsorted(testFamily, Self(), "TEST_UNSORTED");
  EXPECT_EQ(unsorted.GetString(9), "A");
  EXPECT_EQ(unsorted.GetString(8), "");
  unsorted.ReportMissing = true;
  EXPECT_EQ(MessageOf([&] { unsorted.GetString(8); }), "test: no string 8");

  // Id 5 three times: the first probe, index 1 of 3, answers.
  strres::TStringResource repeated(testFamily, Self(), "TEST_REPEATED");
  EXPECT_EQ(repeated.GetString(5), "B");

  strres::TStringResource odd(testFamily, Self(), "TEST_ODD_OFFSET");
  EXPECT_EQ(odd.GetString(3), "A");
  strres::TStringResource overIndex(testFamily, Self(), "TEST_OVER_INDEX");
  EXPECT_EQ(overIndex.GetString(65), "A");
  EXPECT_EQ(overIndex.TableData(), nullptr);
}

TEST_F(Loader, ReportsMissingResourcesAndStringsWithTheFamilyTexts) {
  EXPECT_EQ(MessageOf([] { strres::TStringResource t(testFamily, Self(), "NO_SUCH_TABLE"); }),
            "test: no resource NO_SUCH_TABLE");

  Strings().ReportMissing = true;
  EXPECT_EQ(MessageOf([&] { Strings().GetString(20); }), "test: no string 20");
  EXPECT_EQ(Strings().TableData(), nullptr);  // unlocked although FindEntry raised
  EXPECT_EQ(Strings().GetString(0), "Black");
}

TEST_F(Loader, EmptyNameOpensNothingAndLookupsCannotLock) {
  strres::TStringResource none(testFamily, Self(), "");
  EXPECT_EQ(none.ResourceHandle(), nullptr);
  EXPECT_EQ(none.FindEntry(0), std::nullopt);
  EXPECT_EQ(MessageOf([&] { none.GetString(0); }), "test: cannot lock");
}

TEST(LoaderMessages, FixedTextsServeWhileTheMessageTableIsNotOpen) {
  strres::StringFamily& bare = bareFamily;
  EXPECT_EQ(MessageOf([&] { strres::TStringResource t(bare, Self(), "NO_SUCH_TABLE"); }),
            "String resource not found: NO_SUCH_TABLE");
  EXPECT_EQ(MessageOf([&] { strres::TStringResource t(bare, Self(), "TEST_BAD_MAGIC"); }),
            "fallback: invalid");
}

TEST(LoaderMessages, TextsWithTheWrongConversionsAreNotUsedAsFormats) {
  strres::StringFamily& odd = oddFamily;
  strres::InitializeFamily(odd, Self());
  EXPECT_EQ(MessageOf([&] { strres::TStringResource t(odd, Self(), "NO_SUCH_TABLE"); }),
            "String resource not found: NO_SUCH_TABLE");
  EXPECT_EQ(MessageOf([&] { strres::TStringResource t(odd, Self(), "TEST_BAD_MAGIC"); }),
            "fallback: invalid");
  odd.strings->ReportMissing = true;
  EXPECT_EQ(MessageOf([&] { odd.strings->GetString(20); }), "String not found: 20");
  strres::TStringResource none(odd, Self(), "");
  EXPECT_EQ(MessageOf([&] { none.GetString(0); }),
            "Cannot lock resource");  // absent from the table
  strres::FinalizeFamily(odd);
}

TEST(LoaderStartup, NestedPairsOpenAndCloseOnceAndAFailedStartUndoesItself) {
  strres::StringFamily& family = startFamily;

  strres::InitializeFamily(family, Self());
  strres::TStringResource* strings = family.strings;
  ASSERT_NE(strings, nullptr);
  ASSERT_NE(family.messages, nullptr);
  strres::InitializeFamily(family, Self());
  EXPECT_EQ(family.strings, strings);
  strres::FinalizeFamily(family);
  EXPECT_EQ(family.strings, strings);
  strres::FinalizeFamily(family);
  EXPECT_EQ(family.strings, nullptr);
  EXPECT_EQ(family.messages, nullptr);

  family.stringTable = "NO_SUCH_TABLE";
  EXPECT_EQ(MessageOf([&] { strres::InitializeFamily(family, Self()); }),
            "test: no resource NO_SUCH_TABLE");
  EXPECT_EQ(family.messages, nullptr);
  EXPECT_EQ(family.strings, nullptr);

  // A later start with a good table opens as if the failed one had not happened.
  family.stringTable = "TEST_SAMPLE";
  strres::InitializeFamily(family, Self());
  EXPECT_EQ(family.strings->GetString(0), "Black");
  strres::FinalizeFamily(family);
  EXPECT_EQ(family.strings, nullptr);
}
