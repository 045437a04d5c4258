// Controls: the common base, windowed controls that own a real window, and windowless
// (graphic) controls that their parent paints and feeds with mouse messages.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Cursors.h"
#include "Guards.h"
#include "Messages.h"
#include "Subclass.h"

namespace gui {

class TWinControl;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;

using TMouseEvent = rtl::TEvent<rtl::TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = rtl::TEvent<rtl::TObject*, TShiftState, int, int>;
using TKeyEvent = rtl::TEvent<rtl::TObject*, WORD&, TShiftState>;
using TKeyPressEvent = rtl::TEvent<rtl::TObject*, char&>;

const std::vector<std::string>& AlignNames();
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardShiftState();

class TControl : public rtl::TComponent {
  RTL_CLASS(TControl, rtl::TComponent)
 public:
  explicit TControl(rtl::TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  virtual RECT ClientRect() const { return RECT{0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().right; }
  int ClientHeight() const { return ClientRect().bottom; }
  virtual POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible here and in every parent up to a window that is shown.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  std::string Caption() const { return GetText(); }
  std::string Text() const { return GetText(); }
  void SetCaption(const std::string& v) { SetText(v); }
  virtual std::string GetText() const { return text_; }
  virtual void SetText(const std::string& v);

  TFont& Font() { return *font_; }
  const TFont& Font() const { return *font_; }
  TFont* FontObject() const { return font_.get(); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* m);
  // A number of the cursor table (Cursors()): the pointer over this control. crDefault leaves
  // it to the window under the mouse.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v) { cursor_ = v; }

  // Repaint later (Invalidate), now (Update paints what is invalid) or both (Repaint).
  virtual void Invalidate();
  virtual void Update();
  void Repaint() {
    Invalidate();
    Update();
  }
  void Refresh() { Repaint(); }

  // Every message the control handles enters here: those sent with Perform and, for a windowed
  // control, those its window receives. It is WndProc until replaced; a replacement calls the
  // one it replaced for what it passes on.
  TWndMethod WindowProc;
  // Handles a message now, through WindowProc, and returns the answer.
  LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
  // Hands each message to its handler; what no handler takes goes to DefaultHandler.
  virtual void WndProc(TMessage& m);
  // Messages nothing handled: a windowed control passes them to the window's original procedure.
  virtual void DefaultHandler(TMessage& m) { m.Result = 0; }

  virtual bool MouseCaptured() const;
  virtual void SetMouseCapture(bool on);

  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  rtl::TNotifyEvent OnClick, OnDblClick;

  bool HasParent() const override { return true; }
  rtl::TComponent* GetParentComponent() const override;
  void SetParentComponent(rtl::TComponent* parent) override;
  void Notification(rtl::TComponent* c, rtl::TOperation op) override;
  void Loaded() override;

  static void DeclareProperties(rtl::TClassBuilder<TControl>& b);

 protected:
  virtual void Click() { OnClick(this); }
  virtual void DblClick() { OnDblClick(this); }
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // The default handlers of the change notifications (CM_FONTCHANGED, CM_COLORCHANGED,
  // CM_TEXTCHANGED, CM_ENABLEDCHANGED, CM_VISIBLECHANGED, CM_PARENTFONTCHANGED,
  // CM_PARENTCOLORCHANGED): a WndProc override sees the message before they run.
  virtual void FontChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }
  virtual void TextChanged() { Invalidate(); }
  virtual void EnabledChanged() { Invalidate(); }
  virtual void VisibleChanged();
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  virtual void BoundsChanged() {}
  // Sends msg with Perform to each child control; a control without children has none to tell.
  virtual void NotifyControls(UINT msg) {}
  // The mouse messages (WM_MOUSEMOVE, the button messages): MouseDown, MouseMove, MouseUp, DblClick.
  virtual void WMMouse(TMessage& m);
  // Moves the stored bounds without touching any window (a window reported its new place).
  void UpdateBoundsFields(int left, int top, int width, int height);

  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::string text_;

 private:
  friend class TWinControl;
  void FontObjectChanged(rtl::TObject*);

  TWinControl* parent_ = nullptr;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool applyingParentFont_ = false;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  TPopupMenu* popupMenu_ = nullptr;
  TCursor cursor_ = crDefault;
};

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
  HICON Icon = nullptr;
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
  // Sends a control message of the reflection table to the child it concerns, as CN_*.
  bool ReflectToChild(TMessage& m);
  // Ancestors offered a key message first: true when one swallowed it.
  bool KeyPreviewed(TMessage& m);
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
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TWinControl& control) : control_(control) {}
  ~TControlCanvas() override { FreeHandle(); }
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TWinControl& control_;
  HDC dc_ = nullptr;
};

// A windowless control: its parent paints it (Paint) and feeds it mouse messages.
class TGraphicControl : public TControl {
  RTL_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(rtl::TComponent* owner);
  TCanvas& Canvas() { return canvas_; }
  void WndProc(TMessage& m) override;

 protected:
  virtual void Paint() {}
  // WM_PAINT from the parent, wParam its DC (origin and clip already at this control): Paint
  // on the canvas, which holds the DC for just that long.
  virtual void WMPaint(TMessage& m);

 private:
  TCanvas canvas_;
};

// A windowed control that paints itself on its own canvas.
class TCustomControl : public TWinControl {
  RTL_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(rtl::TComponent* owner);
  ~TCustomControl() override;
  TCanvas& Canvas() { return *canvas_; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

}  // namespace gui
