// The main window in the test program's own process, as the program's main block makes it: a
// fresh application titled "Tessaline" with Form1; both go, and Form1 is cleared, with this.
#pragma once

#include <memory>

#include "Main.h"
#include "TestWindows.h"

namespace tsupport {

struct TMainWindow {
  TMainWindow() {
    app->Initialize();
    app->SetTitle("Tessaline");
    app->CreateForm(Form1);
  }
  ~TMainWindow() {
    app.reset();
    Form1 = nullptr;
  }
  void Show() {
    Form1->Show();
    BringToFront(Form1->Handle());
  }
  std::unique_ptr<gui::TApplication> app = std::make_unique<gui::TApplication>();
};

}  // namespace tsupport
