// The application object: the message loop, pending-message processing, the keys a form takes
// before its controls (shortcuts, mnemonics, Tab), and the central exception handler.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "Subclass.h"
#include "rtl/Component.h"

namespace gui {

class TForm;

class TApplication : public rtl::TComponent {
  RTL_CLASS(TApplication, rtl::TComponent)
 public:
  explicit TApplication(rtl::TComponent* owner = nullptr);
  ~TApplication() override;

  void Initialize();
  // The text of the taskbar button: the application window's.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v);
  // Creates a form owned by the application; the first one becomes the main form, from its
  // constructor on (its window, made while its resource is read, is the main form's).
  template <class F>
  void CreateForm(F*& ref) {
    claimMainForm_ = !mainForm_;
    try {
      ref = new F(this);
    } catch (...) {
      claimMainForm_ = false;
      throw;
    }
    claimMainForm_ = false;
  }
  TForm* MainForm() const { return mainForm_; }
  // The application window: a top-level window of no size, titled with Title, that owns the
  // main form's window. A taskbar shows it, not the owned form, so the button carries the title
  // while the form keeps its own caption. Made with the main form's window (Handle), shown and
  // hidden with that form; it follows the form's minimising and restoring, and what reaches it
  // (the taskbar's restore, minimise and close, activation) goes on to the form.
  HWND Handle();
  HWND WindowHandle() const { return handle_; }
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
  // Told by a form as it is constructed: the one CreateForm makes first is the main form.
  void FormConstructing(TForm* form);
  // Told by the main form: shown or hidden, minimised or not.
  void MainFormShown(bool shown);
  void MainFormMinimized(bool minimized);

 private:
  void WndProc(TMessage& m);

  bool ProcessMessage(MSG& msg);
  bool PreTranslate(MSG& msg);

  std::string title_;
  TForm* mainForm_ = nullptr;
  bool claimMainForm_ = false;
  bool terminated_ = false;
  HWND handle_ = nullptr;
  std::unique_ptr<TSubclass> subclass_;
};

extern TApplication* Application;

}  // namespace gui
