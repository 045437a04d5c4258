// The command-table text file: exact bytes written, what the reader takes and what it refuses.
#include <gtest/gtest.h>

#include "entry/portable/EcBuiltinTables.h"
#include "entry/portable/EcCmdText.h"
#include "rtl/Exceptions.h"

using namespace ec;

namespace {

std::vector<CommandRecord> Builtin(TBuiltinTable t) {
  auto r = BuiltinRecords(t);
  return {r.begin(), r.end()};
}

}  // namespace

TEST(CommandTableText, WritesTheNameThenFourAndSixColumnFieldsWithCrLf) {
  // Left -> ccLeft (37, 0, 0, 0 -> 46) and Ctrl+Q, then S -> ccHome (81, 4, 83, 128 -> 42).
  std::vector<CommandRecord> records = {{37, 0, 0, 0, 46}, {81, 4, 83, 128, 42}, {255, 255, 255, 255, 65535}};
  EXPECT_EQ(FormatCommandTableText("Mine", records),
            "Mine\r\n"
            "  37   0   0   0    46\r\n"
            "  81   4  83 128    42\r\n"
            " 255 255 255 255 65535\r\n");
  EXPECT_EQ(FormatCommandTableText("Empty", {}), "Empty\r\n");
}

TEST(CommandTableText, EveryBuiltInTableReadsBackAsWritten) {
  for (auto [t, name] : {std::pair{TBuiltinTable::Default, "Default"}, {TBuiltinTable::WordStar, "WordStar"},
                         {TBuiltinTable::Grid, "Grid"}}) {
    TCommandTableText back = ParseCommandTableText(FormatCommandTableText(name, Builtin(t)));
    EXPECT_EQ(back.Name, name);
    EXPECT_EQ(back.Records, Builtin(t)) << name;
  }
}

TEST(CommandTableText, ReaderTakesLfEndsBlankLinesOtherSpacingAndIgnoresTheRestOfALine) {
  TCommandTableText t = ParseCommandTableText(
      "My table \n"
      "37 0 0 0 46 trailing words\r\n"
      "\r\n"
      "   \t\n"
      "\t81\t4 83   128 +42\n"
      "9 0 0 0 68");
  EXPECT_EQ(t.Name, "My table ");
  std::vector<CommandRecord> expected = {{37, 0, 0, 0, 46}, {81, 4, 83, 128, 42}, {9, 0, 0, 0, 68}};
  EXPECT_EQ(t.Records, expected);

  EXPECT_EQ(ParseCommandTableText("").Name, "");
  EXPECT_TRUE(ParseCommandTableText("OnlyAName").Records.empty());
  EXPECT_EQ(ParseCommandTableText("OnlyAName").Name, "OnlyAName");
  // Duplicates are the table's business, not the file's.
  EXPECT_EQ(ParseCommandTableText("D\r\n1 0 0 0 1\r\n1 0 0 0 1\r\n").Records.size(), 2u);
}

TEST(CommandTableText, MalformedRecordLinesAreReadErrorsNamingTheLine) {
  const char* bad[] = {
      "T\r\n37 0 0 0\r\n",        // four numbers
      "T\r\n37 0 0 0 x\r\n",      // not a number
      "T\r\n37 0 0 0 46x\r\n",    // a number with letters glued on
      "T\r\n256 0 0 0 46\r\n",    // a key byte out of range
      "T\r\n37 0 0 0 65536\r\n",  // a command out of range
      "T\r\n-1 0 0 0 46\r\n",     // negative
      "T\r\n37,0,0,0,46\r\n",     // not blank-separated
      "T\r\n99999999999999999999 0 0 0 1\r\n",
  };
  for (const char* text : bad) EXPECT_THROW(ParseCommandTableText(text), rtl::EReadError) << text;
  try {
    ParseCommandTableText("T\r\n37 0 0 0 46\r\n\r\n38 0 0 0 oops\r\n");
    FAIL();
  } catch (const rtl::EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("line 4"), std::string::npos) << e.what();
  }
}
