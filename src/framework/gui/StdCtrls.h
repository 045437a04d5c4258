// The platform's standard controls: push button and combo box.
#pragma once

#include "Controls.h"
#include "rtl/Lists.h"

namespace gui {

class TButton : public TWinControl {
  RTL_CLASS(TButton, TWinControl)
 public:
  explicit TButton(rtl::TComponent* owner);
  void WndProc(TMessage& m) override;
  static void DeclareProperties(rtl::TClassBuilder<TButton>& b);

 protected:
  void CreateParams(TCreateParams& params) override;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
  RTL_CLASS(TComboBox, TWinControl)
 public:
  explicit TComboBox(rtl::TComponent* owner);

  // The list; changes reach the window at once.
  rtl::TStringList& Items() { return items_; }
  int ItemIndex() const;
  void SetItemIndex(int i);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int v);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v) { dropDownCount_ = v; }
  // Told whenever the text changes, by typing or by choosing an item of the list.
  rtl::TNotifyEvent OnChange;

  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& m) override;
  void DefineProperties(rtl::TFiler& filer) override;
  static void DeclareProperties(rtl::TClassBuilder<TComboBox>& b);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  virtual void Change() { OnChange(this); }

 private:
  void ItemsChanged(rtl::TStringList&);
  int DroppedHeight() const { return height_ + 8 + 16 * dropDownCount_; }
  rtl::TStringList items_;
  TComboBoxStyle style_ = csDropDown;
  int itemHeight_ = 0;
  int dropDownCount_ = 8;
  int pendingIndex_ = -1;
};

}  // namespace gui
