// The main window's entry-control controller as its form resource stores and builds it.
#include <gtest/gtest.h>

#include <string>

#include "Main.h"
#include "rtl/FormText.h"

namespace {

// The main window's compiled form resource as text.
std::string StoredFormText() {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(self, "TFORM1", MAKEINTRESOURCEA(10));
  if (!res) return {};
  const void* data = LockResource(LoadResource(self, res));
  rtl::TReadOnlyMemoryStream stream(data, SizeofResource(self, res));
  return rtl::ObjectBinaryToText(stream);
}

}  // namespace

TEST(MainWindowController, StoresTheThreeBuiltInTablesUnchangedOnlyDefaultActive) {
  std::string text = StoredFormText();
  size_t at = text.find("object EcController1: TEcController");
  ASSERT_NE(at, std::string::npos) << text;
  std::string block = text.substr(at, text.find("end", at) - at);
  EXPECT_NE(block.find("EntryCommands.TableList = ( 'Default' True ( ) 'WordStar' False ( ) 'Grid' False ( ) )"),
            std::string::npos)
      << block;
  EXPECT_NE(block.find("EntryOptions = [efoAutoSelect, efoBeepOnError, efoInsertPushes]"), std::string::npos);
  EXPECT_NE(block.find("Epoch = 1900"), std::string::npos);
}

TEST(MainWindowController, IsBuiltWithItsStoredValues) {
  gui::TApplication app;
  app.Initialize();
  app.CreateForm(Form1);
  ec::TEcController* c = Form1->EcController1;
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Name(), "EcController1");
  EXPECT_EQ(c->Owner(), Form1);
  EXPECT_EQ(ec::FindController(Form1), c);
  EXPECT_EQ(c->EntryOptions, 56);
  EXPECT_EQ(c->Epoch(), 1900);
  ec::TEcCommandProcessor& p = c->EntryCommands();
  ASSERT_EQ(p.TableCount(), 3);
  const char* names[] = {"Default", "WordStar", "Grid"};
  const int counts[] = {64, 40, 38};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(p.Table(i)->TableName, names[i]);
    EXPECT_EQ(p.Table(i)->RecordCount(), counts[i]);
    EXPECT_EQ(p.Table(i)->IsActive, i == 0);
  }
  EXPECT_EQ(c->TimerPool().TriggerCount(), 0);
}
