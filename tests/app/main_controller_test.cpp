// The main window's entry-control controller as its form resource builds it (what it stores:
// form_resource_test.cpp).
#include <gtest/gtest.h>

#include <string>

#include "MainWindow.h"

TEST(MainWindowController, IsBuiltWithItsStoredValues) {
  tsupport::TMainWindow main;
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
