// Command tables and the processor: the built-in content, unique names, the errors, the
// TableList and CommandList streams, and the table text file.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "FormStreams.h"
#include "TestFiles.h"
#include "entry/EcBase.h"
#include "entry/EcCmd.h"
#include "entry/EcExcept.h"

using namespace ec;
using tsupport::FormText;
using tsupport::LoadFormText;

namespace {

// Keys as the records store them: Key1 lowest, ShiftState2 highest.
constexpr uint32_t KeysOf(uint8_t key1, uint8_t shift1, uint8_t key2 = 0, uint8_t shift2 = 0) {
  return key1 | shift1 << 8 | key2 << 16 | static_cast<uint32_t>(shift2) << 24;
}
constexpr uint8_t kVkTab = 0x09, kVkLeft = 0x25, kVkF2 = 0x71, kVkF5 = 0x74;
constexpr uint8_t kShift = 2, kCtrl = 4, kAlt = 8;

CommandRecord Rec(uint32_t keys, uint16_t command) { return CommandRecord::FromKeys(keys, command); }

// The property line the writer produces for name (the rest of its line).
std::string PropertyLine(const std::string& text, const std::string& name) {
  size_t at = text.find(name + " = ");
  if (at == std::string::npos) return "<absent>";
  size_t end = text.find('\n', at);
  return text.substr(at + name.size() + 3, end - at - name.size() - 3);
}

std::string Names(const TEcCommandProcessor& p) {
  std::string s;
  for (int i = 0; i < p.TableCount(); ++i) s += (i ? "," : "") + p.Table(i)->TableName;
  return s;
}

// A component that streams one table as a sub-object, for "CommandList".
class TTableHolder : public rtl::TComponent {
  RTL_CLASS(TTableHolder, rtl::TComponent)
 public:
  using TComponent::TComponent;
  TEcCommandTable table;
  rtl::TObject* TableObject() const { return const_cast<TEcCommandTable*>(&table); }
  static void DeclareProperties(rtl::TClassBuilder<TTableHolder>& b) { b.Object("Table", &TTableHolder::TableObject); }
};
RTL_IMPLEMENT_CLASS(TTableHolder);

struct CommandFiles : ::testing::Test {
  std::string dir;
  void SetUp() override { dir = tsupport::FreshTestDir("entrycmd"); }
  void TearDown() override { tsupport::RemoveTree(dir); }
  std::string Path(const char* name) const { return dir + "\\" + name; }
};

}  // namespace

TEST(CommandProcessor, StartsWithTheThreeBuiltInTablesInOrder) {
  TEcCommandProcessor p;
  ASSERT_EQ(Names(p), "Default,WordStar,Grid");
  TEcCommandTable& def = *p.Table(0);
  TEcCommandTable& ws = *p.Table(1);
  TEcCommandTable& grid = *p.Table(2);
  EXPECT_EQ(def.RecordCount(), 64);
  EXPECT_EQ(ws.RecordCount(), 40);
  EXPECT_EQ(grid.RecordCount(), 38);
  EXPECT_TRUE(def.IsActive);
  EXPECT_FALSE(ws.IsActive);
  EXPECT_FALSE(grid.IsActive);

  // Every record at its place, as listed for each table: key, shift flags, command; a second key
  // (flag 128) where there is one. The marker records follow as ten-key runs.
  struct Row { uint8_t key, shift; uint16_t command; uint8_t key2 = 0; };
  const uint8_t L = 0x25, R = 0x27, U = 0x26, D = 0x28, Hm = 0x24, En = 0x23, Del = 0x2E, Bk = 0x08, PU = 0x21,
                PD = 0x22, Ins = 0x2D, Ent = 0x0D, S = kShift, C = kCtrl, CS = kCtrl | kShift;
  std::vector<Row> defRows = {
      {L, 0, ccLeft}, {R, 0, ccRight}, {L, C, ccWordLeft}, {R, C, ccWordRight}, {Hm, 0, ccHome}, {En, 0, ccEnd},
      {Del, 0, ccDel}, {Bk, 0, ccBack}, {Bk, S, ccBack}, {PU, C, ccTopOfPage}, {PD, C, ccBotOfPage}, {Ins, 0, ccIns},
      {'Z', C, ccUndo}, {Bk, kAlt, ccRestore}, {U, 0, ccUp}, {D, 0, ccDown}, {Ent, C, ccNewLine},
      {L, S, ccExtendLeft}, {R, S, ccExtendRight}, {Hm, S, ccExtendHome}, {En, S, ccExtendEnd},
      {L, CS, ccExtWordLeft}, {R, CS, ccExtWordRight}, {PU, S, ccExtendPgUp}, {PD, S, ccExtendPgDn},
      {U, S, ccExtendUp}, {D, S, ccExtendDown}, {Hm, CS, ccExtFirstPage}, {En, CS, ccExtLastPage},
      {PU, CS, ccExtTopOfPage}, {PD, CS, ccExtBotOfPage}, {Del, S, ccCut}, {'X', C, ccCut}, {Ins, C, ccCopy},
      {'C', C, ccCopy}, {Ins, S, ccPaste}, {'V', C, ccPaste}, {PU, 0, ccPrevPage}, {PD, 0, ccNextPage},
      {Hm, C, ccFirstPage}, {En, C, ccLastPage}, {kVkTab, 0, ccTab}, {kVkTab, C, ccTab}, {'Z', CS, ccRedo}};
  std::vector<Row> wsRows = {
      {'S', C, ccLeft}, {'D', C, ccRight}, {'E', C, ccUp}, {'X', C, ccDown}, {'R', C, ccPrevPage},
      {'C', C, ccNextPage}, {'W', C, ccScrollUp}, {'Z', C, ccScrollDown}, {'A', C, ccWordLeft}, {'F', C, ccWordRight},
      {'Q', C, ccHome, 'S'}, {'Q', C, ccEnd, 'D'}, {'G', C, ccDel}, {'H', C, ccBack}, {'Y', C, ccDelLine},
      {'Q', C, ccDelEol, 'Y'}, {'V', C, ccIns}, {'T', C, ccDelWord}, {'P', C, ccCtrlChar}, {'Q', C, ccRestore, 'L'}};
  for (int run = 0; run < 2; ++run)  // Ctrl+0..9 (Ctrl+Q, then 0..9) go to, Ctrl+Shift (Ctrl+K) set
    for (uint8_t i = 0; i < 10; ++i) {
      uint16_t marker = static_cast<uint16_t>((run ? ccSetMarker0 : ccGotoMarker0) + i);
      defRows.push_back({static_cast<uint8_t>('0' + i), run ? CS : C, marker});
      wsRows.push_back({static_cast<uint8_t>(run ? 'K' : 'Q'), C, marker, static_cast<uint8_t>('0' + i)});
    }
  std::vector<Row> gridRows = {
      {L, 0, ccLeft}, {R, 0, ccRight}, {L, C, ccPageLeft}, {R, C, ccPageRight}, {Hm, 0, ccHome}, {En, 0, ccEnd},
      {Del, 0, ccDel}, {Bk, 0, ccBack}, {PD, C, ccBotOfPage}, {PU, C, ccTopOfPage}, {Ins, 0, ccIns},
      {'Z', C, ccRestore}, {U, 0, ccUp}, {D, 0, ccDown}, {L, S, ccExtendLeft}, {R, S, ccExtendRight},
      {Hm, S, ccExtendHome}, {En, S, ccExtendEnd}, {L, CS, ccExtWordLeft}, {R, CS, ccExtWordRight},
      {PU, S, ccExtendPgUp}, {PD, S, ccExtendPgDn}, {U, S, ccExtendUp}, {D, S, ccExtendDown},
      {Hm, CS, ccExtFirstPage}, {En, CS, ccExtLastPage}, {PU, CS, ccExtTopOfPage}, {PD, CS, ccExtBotOfPage},
      {'X', C, ccCut}, {'C', C, ccCopy}, {'V', C, ccPaste}, {PU, 0, ccPrevPage}, {Hm, C, ccFirstPage},
      {PD, 0, ccNextPage}, {En, C, ccLastPage}, {U, C, ccTopLeftCell}, {D, C, ccBotRightCell},
      {kVkF2, 0, ccTableEdit}};
  for (auto [table, rows] : {std::pair{&def, &defRows}, std::pair{&ws, &wsRows}, std::pair{&grid, &gridRows}}) {
    ASSERT_EQ(table->RecordCount(), static_cast<int>(rows->size())) << table->TableName;
    for (int i = 0; i < table->RecordCount(); ++i) {
      const Row& r = (*rows)[static_cast<size_t>(i)];
      EXPECT_EQ(table->GetRecord(i), Rec(KeysOf(r.key, r.shift, r.key2, r.key2 ? 128 : 0), r.command))
          << table->TableName << " record " << i + 1;
    }
  }
  EXPECT_EQ(def.GetRecord(0).Command, 46);
  EXPECT_EQ(ccTableEdit, 69);
}

TEST(CommandProcessor, LooksTablesUpIgnoringCaseAndNamesAddedTablesUniquely) {
  TEcCommandProcessor p;
  EXPECT_EQ(p.GetCommandTable("default"), p.Table(0));
  EXPECT_EQ(p.GetCommandTable("GRID"), p.Table(2));
  EXPECT_EQ(p.GetCommandTable("Grid1"), nullptr);

  EXPECT_EQ(p.CreateCommandTable("Default", false), 3);
  EXPECT_EQ(p.CreateCommandTable("Default", false), 4);
  EXPECT_EQ(p.CreateCommandTable("Grid70", true), 5);
  EXPECT_EQ(p.CreateCommandTable("Custom7", true), 6);
  EXPECT_EQ(Names(p), "Default,WordStar,Grid,Default1,Default2,Grid1,Custom7")
      << "digits are dropped only when the name without them is taken";
  // A second "Custom7": "Custom" is free but the name itself is not.
  p.CreateCommandTable("Custom7", true);
  EXPECT_EQ(p.Table(7)->TableName, "Custom1");
  // A one-character name keeps its digit.
  p.CreateCommandTable("7", true);
  p.CreateCommandTable("7", true);
  EXPECT_EQ(p.Table(9)->TableName, "71");
}

TEST(CommandProcessor, DuplicateKeysAndUnknownTablesAreRefusedWithNothingChanged) {
  TEcCommandProcessor p;
  try {
    p.AddCommand("Default", Rec(KeysOf(kVkLeft, 0), ccNone));
    FAIL();
  } catch (const EDuplicateCommand& e) {
    EXPECT_STREQ(e.what(), "Duplicate command found while adding a new command to the table");
  }
  try {
    p.AddCommand("Nowhere", Rec(KeysOf(kVkF5, 0), ccTab));
    FAIL();
  } catch (const ETableNotFound& e) {
    EXPECT_STREQ(e.what(), "Command table not found or command table index out of range");
  }
  EXPECT_THROW(p.AddCommand("Default", Rec(KeysOf(kVkTab, 0), ccTab)), ECmdProcessorError);
  EXPECT_EQ(p.Table(0)->RecordCount(), 64);
  EXPECT_EQ(p.TableCount(), 3);
  // A new key sequence goes to the end.
  EXPECT_EQ(p.AddCommand("default", Rec(KeysOf(kVkF5, 0), ccTab)), 64);
}

TEST(CommandTable, RecordOperationsAndKeyLookupIgnoringTheCommand) {
  TEcCommandTable t;
  EXPECT_EQ(t.TableName, "(Unknown)");
  EXPECT_TRUE(t.IsActive);
  t.AddRecord(Rec(1, 10));
  t.AddRecord(Rec(3, 30));
  t.InsertRecord(1, Rec(2, 20));
  t.AddRecord(Rec(2, 99));  // no duplicate check here
  EXPECT_EQ(t.IndexOfKeys(Rec(2, 0)), 1) << "the first with those keys";
  EXPECT_EQ(t.IndexOfKeys(Rec(4, 10)), -1);
  t.ReplaceRecord(0, Rec(5, 50));
  t.DeleteRecord(2);
  t.InsertRecord(3, Rec(6, 60));  // before the end: at the end
  ASSERT_EQ(t.RecordCount(), 4);
  EXPECT_EQ(t.GetRecord(0), Rec(5, 50));
  EXPECT_EQ(t.GetRecord(1), Rec(2, 20));
  EXPECT_EQ(t.GetRecord(2), Rec(2, 99));
  EXPECT_EQ(t.GetRecord(3), Rec(6, 60));
  EXPECT_THROW(t.GetRecord(4), rtl::EListError);
  EXPECT_THROW(t.DeleteRecord(-1), rtl::EListError);
  EXPECT_THROW(t.InsertRecord(5, Rec(1, 1)), rtl::EListError);
  t.ClearRecords();
  EXPECT_EQ(t.RecordCount(), 0);
}

TEST(TableList, UnchangedTablesWriteEmptyPairListsAndReadBackWhole) {
  TEcController c(nullptr);
  c.SetName("EcController1");
  std::string text = FormText(&c);
  EXPECT_EQ(PropertyLine(text, "EntryCommands.TableList"),
            "( 'Default' True ( ) 'WordStar' False ( ) 'Grid' False ( ) )");

  TEcController back(nullptr);
  back.EntryCommands().ClearTables();
  back.EntryCommands().CreateCommandTable("Stale", true);
  LoadFormText(&back, text);
  TEcCommandProcessor& p = back.EntryCommands();
  ASSERT_EQ(Names(p), "Default,WordStar,Grid") << "the stored tables replace what was there";
  TEcCommandProcessor fresh;
  int records = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(p.Table(i)->Records(), fresh.Table(i)->Records());
    EXPECT_EQ(p.Table(i)->IsActive, i == 0);
    records += p.Table(i)->RecordCount();
  }
  EXPECT_EQ(records, 142);
}

TEST(TableList, ABuiltInTableIsWrittenAsItsDifferences) {
  TEcController c(nullptr);
  c.SetName("EcController1");
  TEcCommandTable& def = *c.EntryCommands().Table(0);
  def.TableName = "DEFAULT";  // a built-in name in any letter case
  const uint32_t tab = KeysOf(kVkTab, 0), ctrlZ = KeysOf('Z', kCtrl);
  def.DeleteRecord(def.IndexOfKeys(Rec(tab, 0)));
  def.ReplaceRecord(def.IndexOfKeys(Rec(ctrlZ, 0)), Rec(ctrlZ, ccRedo));
  std::string text = FormText(&c);
  EXPECT_EQ(tab, 9u);
  EXPECT_EQ(ctrlZ, 1114u);
  EXPECT_EQ(PropertyLine(text, "EntryCommands.TableList"),
            "( 'DEFAULT' True ( 9 0 1114 53 ) 'WordStar' False ( ) 'Grid' False ( ) )");

  TEcController back(nullptr);
  LoadFormText(&back, text);
  EXPECT_EQ(back.EntryCommands().Table(0)->Records(), def.Records());
}

TEST(TableList, DeletionsComeFirstThenAddedAndChangedRecordsAndOtherTablesAreWrittenWhole) {
  TEcController c(nullptr);
  c.SetName("EcController1");
  TEcCommandProcessor& p = c.EntryCommands();
  TEcCommandTable& grid = *p.GetCommandTable("Grid");
  grid.IsActive = true;
  grid.AddRecord(Rec(KeysOf(kVkF5, 0), ccTab));             // added
  grid.DeleteRecord(grid.IndexOfKeys(Rec(KeysOf(kVkF2, 0), 0)));  // the last built-in one
  grid.DeleteRecord(0);                                      // the first built-in one
  const uint32_t ctrlQS = KeysOf('Q', kCtrl, 'S', 128);
  p.CreateCommandTable("Mine", false);
  p.AddCommand("Mine", Rec(ctrlQS, ccHome));
  p.AddCommand("Mine", Rec(KeysOf(kVkLeft, 0), ccNone));
  p.Table(3)->AddRecord(Rec(ctrlQS, ccEnd));  // the same keys again: kept, not a change
  std::string text = FormText(&c);
  // Keys as signed 32-bit values: Ctrl+Q, then S has the top bit set.
  const long long signedQS = static_cast<int32_t>(ctrlQS);
  EXPECT_EQ(PropertyLine(text, "EntryCommands.TableList"),
            "( 'Default' True ( ) 'WordStar' False ( ) 'Grid' True ( 37 0 113 0 116 68 ) 'Mine' False ( " +
                std::to_string(signedQS) + " 42 37 0 " + std::to_string(signedQS) + " 16 ) )");

  TEcController back(nullptr);
  LoadFormText(&back, text);
  TEcCommandProcessor& q = back.EntryCommands();
  ASSERT_EQ(Names(q), "Default,WordStar,Grid,Mine");
  EXPECT_EQ(q.Table(2)->Records(), grid.Records());
  EXPECT_TRUE(q.Table(2)->IsActive);
  EXPECT_EQ(q.Table(3)->Records(), p.Table(3)->Records()) << "a pair with command 0 is a record too";
  EXPECT_FALSE(q.Table(3)->IsActive);
}

TEST(TableList, AProcessorWithoutTablesWritesNothing) {
  TEcController c(nullptr);
  c.SetName("EcController1");
  c.EntryCommands().ClearTables();
  EXPECT_EQ(PropertyLine(FormText(&c), "EntryCommands.TableList"), "<absent>");
}

TEST(CommandList, ATableStreamedAsASubObjectUsesTheTableEntry) {
  TTableHolder holder(nullptr);
  holder.SetName("Holder");
  EXPECT_EQ(PropertyLine(FormText(&holder), "Table.CommandList"), "<absent>") << "no records, nothing written";
  holder.table.TableName = "Mine";
  holder.table.IsActive = false;
  holder.table.AddRecord(Rec(KeysOf(kVkF5, kShift), ccTab));
  std::string text = FormText(&holder);
  EXPECT_EQ(PropertyLine(text, "Table.CommandList"), "( 'Mine' False ( 628 68 ) )");
  TTableHolder back(nullptr);
  LoadFormText(&back, text);
  EXPECT_EQ(back.table.TableName, "Mine");
  EXPECT_FALSE(back.table.IsActive);
  EXPECT_EQ(back.table.Records(), holder.table.Records());
}

TEST_F(CommandFiles, ASavedTableLoadsBackWithItsNameAndRecordsAndIsActive) {
  TEcCommandProcessor p;
  p.SaveCommandTable("grid", Path("grid.txt"));
  std::string file = tsupport::ReadTextFile(Path("grid.txt"));
  ASSERT_EQ(file.size(), 6u + 38u * 24u) << "the name line, then 38 lines of 4 x 4 + 6 columns and CR LF";
  EXPECT_EQ(file.substr(0, 30), "Grid\r\n  37   0   0   0    46\r\n");
  EXPECT_EQ(file.substr(file.size() - 24), " 113   0   0   0    69\r\n");

  TEcCommandProcessor q;
  q.ClearTables();
  EXPECT_EQ(q.LoadCommandTable(Path("grid.txt")), 0);
  EXPECT_EQ(q.Table(0)->TableName, "Grid");
  EXPECT_EQ(q.Table(0)->Records(), p.Table(2)->Records());
  EXPECT_TRUE(q.Table(0)->IsActive) << "the file does not carry the flag; a new table is active";
  // Beside its own kind the loaded table gets a unique name.
  EXPECT_EQ(p.LoadCommandTable(Path("grid.txt")), 3);
  EXPECT_EQ(p.Table(3)->TableName, "Grid1");

  // Loaded into an existing table, the table keeps its flag.
  TEcCommandTable t;
  t.IsActive = false;
  t.LoadFromFile(Path("grid.txt"));
  EXPECT_FALSE(t.IsActive);
  EXPECT_EQ(t.RecordCount(), 38);

  p.SaveCommandTable("Nowhere", Path("none.txt"));
  EXPECT_EQ(GetFileAttributesA(Path("none.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CommandFiles, AMalformedOrMissingFileFailsWithAStreamErrorAndAddsNothing) {
  TEcCommandProcessor p;
  std::string bad = tsupport::WriteTextFile(Path("bad.txt"), "Half\r\n  37   0   0   0    46\r\n  38   0  x\r\n");
  EXPECT_THROW(p.LoadCommandTable(bad), rtl::EReadError);
  EXPECT_EQ(p.TableCount(), 3);
  EXPECT_TRUE(DeleteFileA(bad.c_str())) << "the file was closed";

  try {
    p.LoadCommandTable(Path("missing.txt"));
    FAIL();
  } catch (const rtl::EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos);
  }
  EXPECT_EQ(p.TableCount(), 3);
  EXPECT_THROW(p.SaveCommandTable("Default", Path("no\\such\\folder.txt")), rtl::EStreamError);

  // A table that fails to load keeps what it had.
  TEcCommandTable t;
  t.TableName = "Kept";
  t.AddRecord(Rec(1, 1));
  tsupport::WriteTextFile(Path("bad2.txt"), "Other\r\n1 2 3\r\n");
  EXPECT_THROW(t.LoadFromFile(Path("bad2.txt")), rtl::EStreamError);
  EXPECT_EQ(t.TableName, "Kept");
  EXPECT_EQ(t.RecordCount(), 1);
}
