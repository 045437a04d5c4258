// The main window: created from its form resource; its handlers tie the window to its components.
#pragma once

#include "Forms.h"
#include "StatusBar.h"

class TForm1 : public gui::TForm {
  RTL_CLASS(TForm1, gui::TForm)
 public:
  explicit TForm1(rtl::TComponent* owner);

  gui::TStatusBar* StatusBar1 = nullptr;
  gui::TMainMenu* MainMenu1 = nullptr;
  gui::TMenuItem* Exit1 = nullptr;
  gui::TMenuItem* About1 = nullptr;

  void FormCreate(rtl::TObject* sender);
  void Exit1Click(rtl::TObject* sender);
  void About1Click(rtl::TObject* sender);

  static void DeclareProperties(rtl::TClassBuilder<TForm1>& b);
};

extern TForm1* Form1;
