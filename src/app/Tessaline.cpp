// The main block: the application object, its title, the main window, the message loop.
#include "Main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  gui::TApplication app;
  try {
    app.Initialize();
    app.SetTitle("Tessaline");
    app.CreateForm(Form1);
    app.Run();
  } catch (...) {
    app.HandleException(std::current_exception());
    return 1;
  }
  return 0;
}
