// The main window's entry list and web link as its form resource builds them.
#include <gtest/gtest.h>

#include <string>

#include "MainWindow.h"

namespace {

struct MainEntry : ::testing::Test {
  tsupport::TMainWindow main;
  int IndexOf(rtl::TComponent* c) const { return c ? c->ComponentIndex() : -1; }
};

}  // namespace

TEST_F(MainEntry, TheEntryListIsTheFamilysComboBoxWithItsStoredSettings) {
  ec::TEcComboBox* cb = Form1->cbConn;
  ASSERT_NE(cb, nullptr);
  EXPECT_EQ(cb->ClassName(), "TEcComboBox");
  EXPECT_EQ(cb->Left(), 8);
  EXPECT_EQ(cb->Top(), 48);
  EXPECT_EQ(cb->Width(), 353);
  EXPECT_EQ(cb->Style(), ec::ecsDropDown);
  EXPECT_EQ(cb->Controller(), Form1->EcController1);
  EXPECT_TRUE(cb->AutoSearch);
  EXPECT_EQ(cb->KeyDelay(), 500);
  EXPECT_FALSE(cb->HotTrack());
  EXPECT_FALSE(cb->LabelInfo().Visible());
  EXPECT_EQ(cb->MRUListCount(), 2);
  EXPECT_EQ(cb->MRUList().MaxItems(), 2);
  EXPECT_EQ(cb->MRUListColor, gui::clSilver);
  EXPECT_EQ(cb->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(cb->Font().Height(), -24);
  EXPECT_EQ(cb->Font().Color(), gui::clWindowText);
  EXPECT_EQ(cb->TabOrder(), 0);
  EXPECT_TRUE(cb->OnChange);
  // The stored 29 yields to the font's own height once loaded.
  gui::TScreenDC screen;
  gui::TSelectObject font(screen, cb->Font().Handle());
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);
  EXPECT_EQ(cb->ItemHeight(), tm.tmHeight);
}

TEST_F(MainEntry, TheWebLinkShowsTheMakersAddressInBoldUnderlinedBlue) {
  ec::TEcURL* link = Form1->EcURL1;
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Left(), 105);
  EXPECT_EQ(link->Top(), 122);
  EXPECT_EQ(link->Caption(), "Brindlex UK Website");
  EXPECT_EQ(link->Text(), "Brindlex UK Website");
  EXPECT_EQ(link->HighlightColor(), gui::clRed);
  EXPECT_FALSE(link->UseVisitedColor);
  EXPECT_EQ(link->VisitedColor(), gui::clBlack);
  EXPECT_EQ(link->URL().rfind("http://www.brindlex.", 0), 0u) << link->URL();
  EXPECT_EQ(link->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(link->Font().Height(), -13);
  EXPECT_EQ(link->Font().Color(), gui::clBlue);
  EXPECT_EQ(link->Font().Style(), gui::FontStyle(gui::fsBold) | gui::FontStyle(gui::fsUnderline));
  EXPECT_EQ(link->Cursor(), gui::crHandPoint);
  EXPECT_EQ(link->Parent(), Form1);
}

TEST_F(MainEntry, TheResourceCreatesTheLinkBeforeTheEntryList) {
  int button = IndexOf(Form1->btnDial), link = IndexOf(Form1->EcURL1), list = IndexOf(Form1->cbConn),
      status = IndexOf(Form1->StatusBar1);
  EXPECT_LT(button, link);
  EXPECT_LT(link, list);
  EXPECT_LT(list, status);
}
