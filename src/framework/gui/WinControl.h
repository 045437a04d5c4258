// Windowed controls: a control that owns a real window, its children, focus, keys and the
// reflection of the control messages its child windows send.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Control.h"
#include "Guards.h"
#include "Subclass.h"

namespace gui {

struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  HMENU Menu = nullptr;  // a child's id
  std::string WinClassName;
  // A platform class to subclass ("BUTTON"); empty: a class of our own with WindowClass's style.
  std::string SubClass;
  UINT ClassStyle = CS_DBLCLKS;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
};

class TWinControl : public TControl {
  RTL_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(rtl::TComponent* owner);
  ~TWinControl() override;

  // The window, made (with the parent's first) when there is none yet.
  HWND Handle();
  // The window if there is one, else nullptr: never makes one, so it serves const code.
  HWND WindowHandle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys the window (children's windows with it); Handle makes a new one when asked.
  void DestroyHandle();
  // The control a window belongs to, when it is one of ours.
  static TWinControl* FindControl(HWND wnd);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int i) const { return controls_.at(static_cast<size_t>(i)); }
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  // The visible, enabled graphic control at a client point, if any.
  TControl* ControlAtPos(POINT p, bool allowDisabled = false) const;

  bool Showing() const override;
  void SetBounds(int left, int top, int width, int height) override;
  RECT ClientRect() const override;
  POINT ClientToScreen(POINT p) const override;
  bool MouseCaptured() const override;
  void SetMouseCapture(bool on) override;
  std::string GetText() const override;
  void SetText(const std::string& v) override;
  void Invalidate() override;
  void Update() override;
  void SetFocus();
  bool Focused() const;
  virtual bool CanFocus() const;
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int v);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  // Windowed children in tab order.
  std::vector<TWinControl*> TabList() const;
  void AlignControls();

  void WndProc(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  void GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const override;

  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;
  rtl::TNotifyEvent OnEnter, OnExit;

  static void DeclareProperties(rtl::TClassBuilder<TWinControl>& b);

 protected:
  virtual void CreateParams(TCreateParams& params);
  // The height the window gets for a control of this height (a combo box's holds its list too).
  virtual int WindowHeight(int height) const { return height; }
  virtual void CreateWnd();
  // The window exists: apply what was set before it did (font, items, ...).
  virtual void CreateHandleDone() {}
  virtual void DestroyWnd();
  // Paints the window (PaintWindow) and then its graphic controls from first on (all: nullptr).
  void PaintHandler(HDC dc);
  void PaintControls(HDC dc, TControl* first);
  virtual void PaintWindow(HDC dc) {}
  void FontChanged() override;
  void ColorChanged() override;
  void EnabledChanged() override;
  void VisibleChanged() override;
  void NotifyControls(UINT msg) override;
  virtual void KeyDown(WORD& key, TShiftState shift) { OnKeyDown(this, key, shift); }
  virtual void KeyUp(WORD& key, TShiftState shift) { OnKeyUp(this, key, shift); }
  virtual void KeyPress(char& key) { OnKeyPress(this, key); }
  // The focus entered or left the control (for a composite control such as a combo box: the
  // whole control, not a hop between its own windows). Fire OnEnter and OnExit.
  virtual void DoEnter() { OnEnter(this); }
  virtual void DoExit() { OnExit(this); }
  // A key message (WM_KEYDOWN, WM_CHAR, WM_KEYUP and the WM_SYSKEY forms) of a control inside
  // this one, offered before that control handles it; true when this one swallowed it. The
  // message's key may be changed on the way. A form with KeyPreview takes the offer.
  virtual bool PreviewKey(TMessage& m) { return false; }
  // Runs KeyDown, KeyUp or KeyPress for a key message and writes the key they leave back into
  // it; true when they swallowed it (set it to 0).
  bool DoKeyMessage(TMessage& m);
  // The brush WM_CTLCOLOR* answers with (the control's colour).
  HBRUSH ColorBrush();
  WNDPROC DefWndProc() const { return subclass_.Previous(); }
  // Made with a window class of our own (not a platform class such as "BUTTON").
  bool OwnWindowClass() const { return ownClass_; }

  // One handler per message. Each one that passes a message on calls DefaultHandler.
  virtual void WMPaint(TMessage& m);
  virtual void WMEraseBkgnd(TMessage& m);
  void WMMouse(TMessage& m) override;  // routed to the graphic control under the mouse
  virtual void WMMouseLeave(TMessage& m);
  virtual void WMCaptureChanged(TMessage& m);
  virtual void WMSetCursor(TMessage& m);
  virtual void WMSetFocus(TMessage& m);
  virtual void WMKillFocus(TMessage& m);
  virtual void WMKeyDown(TMessage& m);  // and WM_SYSKEYDOWN
  virtual void WMKeyUp(TMessage& m);    // and WM_SYSKEYUP
  virtual void WMChar(TMessage& m);
  virtual void WMWindowPosChanged(TMessage& m);
  virtual void WMNCDestroy(TMessage& m);
  // The reflected WM_CTLCOLOR* (CN_CTLCOLOR*): the font's colour on the control's colour.
  virtual void CNCtlColor(TMessage& m);

 private:
  friend class TControl;
  static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
  void Attach(HWND wnd);
  void SetMouseControl(TControl* c);
  // Hands a control message of the reflection table to the child it concerns, as CN_*; true
  // when the child answered it.
  bool ReflectToChild(TMessage& m);
  // Ancestors offered a key message first: true when one swallowed it (or freed this control).
  bool KeyPreviewed(TMessage& m);
  // The key handling of a key message (previews, then KeyDown/KeyUp/KeyPress): true when it is
  // done with it, swallowed (answered) or with this control freed on the way.
  bool KeyHandled(TMessage& m);
  void ApplyFont();

  HWND handle_ = nullptr;
  bool ownClass_ = false;
  TSubclass subclass_;
  std::vector<TControl*> controls_;
  TControl* captureControl_ = nullptr;
  TControl* mouseControl_ = nullptr;
  bool trackingLeave_ = false;
  TBrushHandle brush_;
  TColor brushColor_ = 0;
  int tabOrder_ = -1;
  bool tabStop_ = false;
};

// A DC for a windowed control, taken when drawing starts and released on FreeHandle.

}  // namespace gui
