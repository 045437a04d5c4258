// Forms: top-level windows built from their form resource, with their menu, icon, tab order,
// mnemonics and key preview. The application object that runs them is in Application.h.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Controls.h"
#include "Icon.h"
#include "Menus.h"

namespace gui {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = unsigned;
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = rtl::TEvent<rtl::TObject*, TCloseAction&>;
using TCloseQueryEvent = rtl::TEvent<rtl::TObject*, bool&>;

class TForm : public TCustomControl {
  RTL_CLASS(TForm, TCustomControl)
 public:
  explicit TForm(rtl::TComponent* owner);
  ~TForm() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState v);
  TMainMenu* Menu() const { return menu_.Get(); }
  void SetMenu(TMainMenu* m);
  TIcon& Icon() { return *icon_; }
  TIcon* IconObject() const { return icon_.get(); }
  int StoredClientWidth() const { return ClientWidth(); }
  int StoredClientHeight() const { return ClientHeight(); }
  void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
  void SetClientSize(int width, int height);
  RECT ClientRect() const override;
  // The form hears the key messages of its focused control first (OnKeyDown, OnKeyPress,
  // OnKeyUp with the form as sender); zeroing the key swallows it.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int v) { pixelsPerInch_ = v; }
  int TextHeight() const { return textHeight_; }
  void SetTextHeight(int v) { textHeight_ = v; }

  // Scales positions, sizes and font heights by m/d (a resolution other than the designed one).
  void ScaleBy(int m, int d);
  void Show();
  // Asks OnCloseQuery and OnClose; the application's main form ends the program when it closes.
  void Close();
  // Frees the form once the messages already queued have been handled.
  void Release();
  // Destroys the window and makes a new one from the current properties (for styles a window
  // cannot change in place); text, menu, place, size and whether it was shown stay.
  void RecreateWnd();
  TWinControl* ActiveControl() const;
  void SetActiveControl(TWinControl* c);
  // Moves the focus to the next (or previous) windowed control in tab order.
  void SelectNext(bool forward);
  // A key with modifiers: true when the menu took it as a shortcut.
  bool IsShortCut(WORD key, TShiftState shift);
  // A mnemonic key (Alt+letter): true when a control of the form took it.
  bool DialogChar(char ch);

  rtl::TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnResize, OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void WndProc(TMessage& m) override;
  void BeforeDestruction() override;
  void GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const override;
  bool HasParent() const override { return false; }
  static void DeclareProperties(rtl::TClassBuilder<TForm>& b);

 protected:
  // Reads this form's resource (RT_RCDATA named after the class, in capitals), creates the
  // window, then runs OnCreate. Called by a form class's constructor.
  void InitFromResource();
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Paint() override { OnPaint(this); }
  virtual bool CloseQuery();
  void VisibleChanged() override;
  bool PreviewKey(TMessage& m) override;

 private:
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;
  void Center();
  void ApplyIcon(rtl::TObject* = nullptr);
  // The form's icon, else the program's (resource 1).
  HICON WindowIcon() const;
  // The application's main form: its window is owned by the application window, which follows it.
  bool IsMainForm() const;

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = (1u << biSystemMenu) | (1u << biMinimize) | (1u << biMaximize);
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  // The menu bar goes with the menu.
  rtl::TComponentRef<TMainMenu> menu_{*this, [this] {
    if (HandleAllocated()) ::SetMenu(WindowHandle(), nullptr);
  }};
  std::unique_ptr<TIcon> icon_;
  bool bigIconSet_ = false, smallIconSet_ = false;  // by WM_SETICON: the platform answers WM_GETICON
  int clientWidth_ = 0, clientHeight_ = 0;
  bool clientSizeSet_ = false;
  bool keyPreview_ = false;
  int pixelsPerInch_ = 96;
  int textHeight_ = 13;
  bool centred_ = false;
  HWND lastFocus_ = nullptr;
};

// The form a control sits on: the outermost of its parents (or the control itself) when that is
// a form, else none.
TForm* GetParentForm(TControl* control);

}  // namespace gui

// Every user of forms also needs the application object.
#include "Application.h"
