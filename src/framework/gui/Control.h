// The common base of every control: bounds, parent, visibility, enabled state, font and colour
// with parent inheritance, the message entry point and the change notifications.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Cursors.h"
#include "Messages.h"

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
  TPopupMenu* PopupMenu() const;
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
  rtl::TComponentRef<TPopupMenu> popupMenu_{*this};
  TCursor cursor_ = crDefault;
};

}  // namespace gui
