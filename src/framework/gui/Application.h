// The application object: the message loop, pending-message processing, the keys a form takes
// before its controls (shortcuts, mnemonics, Tab), and the central exception handler.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "rtl/Component.h"

namespace gui {

class TForm;

class TApplication : public rtl::TComponent {
  RTL_CLASS(TApplication, rtl::TComponent)
 public:
  explicit TApplication(rtl::TComponent* owner = nullptr);
  ~TApplication() override;

  void Initialize();
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v);
  // Creates a form owned by the application; the first one becomes the main form.
  template <class F>
  void CreateForm(F*& ref) {
    ref = new F(this);
    if (!mainForm_) mainForm_ = ref;
  }
  TForm* MainForm() const { return mainForm_; }
  // Shows the main form and handles messages until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles every message waiting in the queue, then returns.
  void ProcessMessages();
  // Handles one message, or waits for the next one when none is waiting.
  void HandleMessage();
  // The platform's modal message box, owned by the active form.
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);
  void HandleException(std::exception_ptr e);
  std::function<void(const std::exception&)> OnException;
  // Messages not dispatched to a window (thread messages), and everything else first.
  std::function<bool(MSG&)> OnMessage;

  void Notification(rtl::TComponent* c, rtl::TOperation op) override;

 private:
  bool ProcessMessage(MSG& msg);
  bool PreTranslate(MSG& msg);

  std::string title_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
};

extern TApplication* Application;

}  // namespace gui
