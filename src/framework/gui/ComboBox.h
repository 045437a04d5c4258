// The combo box base: the platform's combo box window with its items, owner drawing of fixed or
// variable item heights, the list's width and state, its notifications as virtuals and events,
// re-creation of the window that keeps what it showed, and its edit and list child windows
// subclassed so a descendant hears their messages.
#pragma once

#include <string>
#include <vector>

#include "Controls.h"
#include "OwnerDraw.h"
#include "rtl/Lists.h"

namespace gui {

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

const std::vector<std::string>& ComboBoxStyleNames();

class TCustomComboBox : public TWinControl {
  RTL_CLASS(TCustomComboBox, TWinControl)
 public:
  explicit TCustomComboBox(rtl::TComponent* owner);
  ~TCustomComboBox() override;

  // The list; changes reach the window at once.
  rtl::TStringList& Items() { return items_; }
  int ItemIndex() const;
  void SetItemIndex(int i);
  // The owner-drawn styles show a list only (no edit field); changing the style re-creates the window.
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  // The height of the list's items (0: the platform's); owner-drawn, also that of the selection
  // field. A change re-creates an owner-drawn window, so every item is measured again.
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int v);
  // One item's height as the window has it; settable per item in the variable style.
  int ItemHeightAt(int index) const;
  void SetItemHeightAt(int index, int height);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v) { dropDownCount_ = v; }
  // The width of the open list; -1: the platform's (the control's width).
  int DroppedWidth() const { return droppedWidth_; }
  void SetDroppedWidth(int v);
  bool DroppedDown() const;
  void SetDroppedDown(bool v);
  // The canvas DrawItem draws on (prepared for each item; see DrawOwnerItem).
  TCanvas& Canvas() { return canvas_; }
  // The edit field and the list window, while the window exists (no edit field: nullptr).
  HWND EditHandle() const { return editSubclass_.Window(); }
  HWND ListHandle() const { return listSubclass_.Window(); }

  // Told whenever the text changes, by typing or by choosing an item of the list.
  rtl::TNotifyEvent OnChange;
  // An item of the list was chosen (before OnChange).
  rtl::TNotifyEvent OnSelect;
  rtl::TNotifyEvent OnDropDown, OnCloseUp;
  // Owner drawing; unassigned OnDrawItem: the item's text on its background.
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void WndProc(TMessage& m) override;
  void DefineProperties(rtl::TFiler& filer) override;
  static void DeclareProperties(rtl::TClassBuilder<TCustomComboBox>& b);

 protected:
  void CreateParams(TCreateParams& params) override;
  // The window's height includes the dropped-down list (not in the simple style).
  int WindowHeight(int height) const override;
  void CreateHandleDone() override;
  void FontChanged() override;
  // Destroys the window and makes a new one with the same items, text and selection.
  void RecreateWnd();
  // Whether the window draws its items through DrawItem (its style, once it exists).
  bool OwnerDrawn() const;
  bool OwnerDrawnVariable() const;

  // One item (index >= 0) on Canvas, prepared as DrawOwnerItem says.
  virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
  // The height of an item (-1: the selection field) in the variable style; height comes in as
  // ItemHeight (or the platform's proposal when that is 0).
  virtual void MeasureItem(int index, int& height);
  // The platform's notifications: the edit text changed (CBN_EDITCHANGE, and after Select), an
  // item was chosen (CBN_SELCHANGE), the list opened and closed.
  virtual void Change() { OnChange(this); }
  virtual void Select() { OnSelect(this); }
  virtual void DropDown() { OnDropDown(this); }
  virtual void CloseUp() { OnCloseUp(this); }
  // Every message of the edit field and of the list window, while they exist. The defaults hand
  // the edit field's keys to this control's key handling (KeyDown, KeyPress, KeyUp and their
  // events), tell DoEnter and DoExit when the focus enters or leaves the whole control, and pass
  // everything on to the window's own procedure.
  virtual void EditWndProc(TMessage& m);
  virtual void ListWndProc(TMessage& m);

 private:
  void CommandNotification(TMessage& m);
  void ItemsChanged(rtl::TStringList&);
  void ApplyItemHeight();
  void SubclassChildren();
  // The focus moving between this window and its own children is no entry or exit.
  bool IsOwnWindow(HWND wnd) const;
  HWND Wnd() const { return WindowHandle(); }
  int DroppedHeight() const { return height_ + 8 + 16 * dropDownCount_; }

  rtl::TStringList items_;
  TComboBoxStyle style_ = csDropDown;
  int itemHeight_ = 0;
  int dropDownCount_ = 8;
  int droppedWidth_ = -1;
  int pendingIndex_ = -1;  // the selection while there is no window
  TCanvas canvas_;
  TSubclass editSubclass_;
  TSubclass listSubclass_;
};

}  // namespace gui
