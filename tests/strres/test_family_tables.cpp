// The program's own six tables, opened at start-up by the object library that carries them.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

#include "test_helpers.h"

#include "strres/EcSrMgr.h"
#include "strres/FxSrMgr.h"
#include "strres/SuSrMgr.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }


}  // namespace

TEST(FamilyTables, MessageTablesHoldTheLoaderTextsWithTheFamilysOwnFifth) {
  strres::TStringResource* tables[] = {fx::FamilyMessages(), ec::FamilyMessages(),
                                       su::FamilyMessages()};
  for (strres::TStringResource* t : tables) {
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetString(1), "String not found: %d");
    EXPECT_EQ(t->GetString(2), "Cannot lock resource");
    EXPECT_EQ(t->GetString(3), "String resource not found: %s");
    EXPECT_EQ(t->GetString(4), "Unable to open string resource: %s");
  }
  EXPECT_EQ(fx::FamilyMessages()->GetString(5), "Invalid string resource");
  EXPECT_EQ(su::FamilyMessages()->GetString(5), "Invalid string resource");
  EXPECT_EQ(ec::FamilyMessages()->GetString(5), "Invalid packed string resource");
}

TEST(FamilyTables, EachFamilyRaisesItsOwnErrorWithItsOwnTexts) {
  EXPECT_EQ(MessageOf<ec::EStringResourceError>(
                [] { ec::TEcStringResource t(Self(), "TEST_BAD_MAGIC"); }),
            "Invalid packed string resource");
  EXPECT_EQ(MessageOf<fx::EStringResourceError>(
                [] { fx::TFxStringResource t(Self(), "TEST_BAD_MAGIC"); }),
            "Invalid string resource");
  EXPECT_EQ(MessageOf<su::EStringResourceError>(
                [] { su::TSuStringResource t(Self(), "TEST_INDEX_OUTSIDE"); }),
            "Invalid string resource");
  EXPECT_EQ(
      MessageOf<ec::EStringResourceError>([] { ec::TEcStringResource t(Self(), "NO_SUCH_TABLE"); }),
      "String resource not found: NO_SUCH_TABLE");
}

TEST(FamilyTables, FxStringTableHoldsTheColourNamesAndDateTexts) {
  fx::TFxStringResource* t = fx::FamilyStrings();
  ASSERT_NE(t, nullptr);
  std::istringstream colours(
      "Black Maroon Green Olive Navy Purple Teal Gray Silver Red Lime Yellow Blue Fuchsia Aqua "
      "White");
  int id = 0;
  for (std::string colour; colours >> colour; ++id) EXPECT_EQ(t->GetString(id), colour) << id;
  EXPECT_EQ(id, 16);

  const char* const dateTexts[] = {"No label is attached", "A blank date is not allowed",
                                   "Invalid day",          "Invalid month",
                                   "Invalid month name",   "Invalid year",
                                   "Day is required",      "Month is required",
                                   "Year is required",     "Invalid date"};
  for (id = 30; id <= 39; ++id) EXPECT_EQ(t->GetString(id), dateTexts[id - 30]) << id;

  for (int absent : {16, 20, 29, 40}) EXPECT_EQ(t->GetString(absent), "") << absent;
}

TEST(FamilyTables, EcStringTableHoldsEveryIdTheFamilyReads) {
  const std::pair<uint16_t, const char*> named[] = {
      {30169, "Duplicate command found while adding a new command to the table"},
      {30170, "Command table not found or command table index out of range"},
      {30172, "No Controller assigned"},
      {30189, "No Window's timers are available"},
      {30244, "Label not attached"},
      {30275, "Default"},
      {30276, "WordStar"},
      {30266, "Grid"},
      {30277, "(Unknown)"},
      {30368, "Y"},
      {30369, "N"},
      {30370, "T"},
      {30371, "F"},
  };
  for (const auto& [id, text] : named) EXPECT_EQ(ec::EcResourceString(id), text) << id;

  std::istringstream names(
      "ccNone ccBack ccBotOfPage ccBotRightCell ccCompleteDate ccCompleteTime ccCopy ccCtrlChar "
      "ccCut ccDec ccDel ccDelBol ccDelEol ccDelLine ccDelWord ccDown ccEnd ccExtendDown "
      "ccExtendEnd ccExtendHome ccExtendLeft ccExtendPgDn ccExtendPgUp ccExtendRight ccExtendUp "
      "ccExtBotOfPage ccExtFirstPage ccExtLastPage ccExtTopOfPage ccExtWordLeft ccExtWordRight "
      "ccFirstPage ccGotoMarker0 ccGotoMarker1 ccGotoMarker2 ccGotoMarker3 ccGotoMarker4 "
      "ccGotoMarker5 ccGotoMarker6 ccGotoMarker7 ccGotoMarker8 ccGotoMarker9 ccHome ccInc ccIns "
      "ccLastPage ccLeft ccNewLine ccNextPage ccPageLeft ccPageRight ccPaste ccPrevPage ccRedo "
      "ccRestore ccRight ccScrollDown ccScrollUp ccSetMarker0 ccSetMarker1 ccSetMarker2 "
      "ccSetMarker3 ccSetMarker4 ccSetMarker5 ccSetMarker6 ccSetMarker7 ccSetMarker8 "
      "ccSetMarker9 ccTab ccTableEdit ccTopLeftCell ccTopOfPage ccUndo ccUp ccWordLeft "
      "ccWordRight");
  uint16_t code = 0;
  for (std::string name; names >> name; ++code)
    EXPECT_EQ(ec::EcResourceString(33768 + code), name) << code;
  EXPECT_EQ(code, 76);

  for (uint16_t absent : {0, 30168, 30171, 33767, 33844, 65535})
    EXPECT_EQ(ec::EcResourceString(absent), "Unknown") << absent;
}

TEST(FamilyTables, SuStringTableHoldsTheVersionReaderErrors) {
  su::TSuStringResource* t = su::FamilyStrings();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetString(73), "Error opening file");
  EXPECT_EQ(t->GetString(100), "File does not contain version info");
  EXPECT_EQ(t->GetString(101), "Unable to read version info");
  EXPECT_EQ(t->GetString(134), "The specified key cannnot be found in version info");
  EXPECT_EQ(t->GetString(0), "");
}

TEST(FamilyTables, ProgramStartupOpensOnceAndNestedCallsCloseOnlyAtTheOutermost) {
  ec::TEcStringResource* strings = ec::FamilyStrings();
  ASSERT_NE(strings, nullptr);  // opened before main
  strres::Initialize(Self());
  strres::Finalize();
  EXPECT_EQ(ec::FamilyStrings(), strings);

  strres::Finalize();  // the start-up's own pair, closed early
  EXPECT_EQ(fx::FamilyMessages(), nullptr);
  EXPECT_EQ(ec::FamilyStrings(), nullptr);
  EXPECT_EQ(su::FamilyStrings(), nullptr);
  EXPECT_EQ(ec::EcResourceString(30172), "Unknown");

  strres::Initialize(Self());  // reopened for the start-up's Finalize at exit
  EXPECT_EQ(ec::EcResourceString(30172), "No Controller assigned");
  EXPECT_NE(su::FamilyMessages(), nullptr);
}
