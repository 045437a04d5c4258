// The main window: created from its form resource; its handlers tie the window to its components.
#pragma once

#include <cstdint>
#include <string>

#include "Forms.h"
#include "StatusBar.h"
#include "StdCtrls.h"
#include "bitmapbtn/GxBmpBtn.h"
#include "entry/EcBase.h"
#include "entry/EcCmbx.h"
#include "entry/EcURL.h"
#include "label3d/FxLabel.h"
#include "ras_component.h"
#include "styler/GxForm.h"
#include "sysinfo/SuAbout.h"

class TForm1 : public gui::TForm {
  RTL_CLASS(TForm1, gui::TForm)
 public:
  explicit TForm1(rtl::TComponent* owner);
  ~TForm1() override;

  bitmapbtn::TGxBitmapButton* btnDial = nullptr;
  fx::TFxLabel* FxLabel1 = nullptr;
  fx::TFxLabel* FxLabel2 = nullptr;
  ec::TEcURL* EcURL1 = nullptr;
  ec::TEcComboBox* cbConn = nullptr;
  gui::TStatusBar* StatusBar1 = nullptr;
  styler::TGxFormStyler* GxFormStyler1 = nullptr;
  ec::TEcController* EcController1 = nullptr;
  bitmapbtn::TGxBitmapList* GxBitmapList1 = nullptr;
  TRAS* RAS1 = nullptr;
  gui::TMainMenu* MainMenu1 = nullptr;
  gui::TMenuItem* Exit1 = nullptr;
  gui::TMenuItem* About1 = nullptr;
  sysinfo::TSuShellAbout* About = nullptr;

  void FormCreate(rtl::TObject* sender);
  void cbConnChange(rtl::TObject* sender);
  void ShowEntryStatus();
  void Exit1Click(rtl::TObject* sender);
  void About1Click(rtl::TObject* sender);
  void btnDialClick(rtl::TObject* sender);
  void RAS1StateChanged(rtl::TObject* sender);
  void RAS1PortOpened(rtl::TObject* sender);
  void RAS1Connect(rtl::TObject* sender);
  void RAS1Disconnect(rtl::TObject* sender, int32_t error, const std::string& errorString);

  static void DeclareProperties(rtl::TClassBuilder<TForm1>& b);
};

extern TForm1* Form1;
