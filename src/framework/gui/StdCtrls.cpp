#include "StdCtrls.h"

#include "rtl/Filer.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TButton);
RTL_IMPLEMENT_CLASS(TComboBox);

// --------------------------------------------------------------------------------- TButton

TButton::TButton(rtl::TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TButton::DeclareProperties(rtl::TClassBuilder<TButton>& b) {
  b.Bool("TabStop", &TButton::TabStop, &TButton::SetTabStop, true);
  b.Int("Color", &TButton::Color, &TButton::SetColor, clBtnFace).Idents = &ColorIdents();
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SubClass = "BUTTON";
  p.Style |= BS_PUSHBUTTON;
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    Click();
    return;
  }
  TWinControl::WndProc(m);
}

// ------------------------------------------------------------------------------- TComboBox

static const std::vector<std::string> kComboStyleNames = {"csDropDown", "csSimple", "csDropDownList"};

TComboBox::TComboBox(rtl::TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  items_.OnChange = [this](rtl::TStringList& l) { ItemsChanged(l); };
}

void TComboBox::DeclareProperties(rtl::TClassBuilder<TComboBox>& b) {
  b.Enum("Style", kComboStyleNames, &TComboBox::Style, &TComboBox::SetStyle, csDropDown);
  b.Int("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight, 0);
  b.Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8);
  b.Bool("TabStop", &TComboBox::TabStop, &TComboBox::SetTabStop, true);
  b.Str("Text", &TComboBox::GetText, &TComboBox::SetText);
  b.Event("OnChange", &TComboBox::OnChange);
}

void TComboBox::DefineProperties(rtl::TFiler& filer) {
  TWinControl::DefineProperties(filer);
  filer.DefineProperty(
      "Items.Strings",
      [this](rtl::TReader& r) {
        items_.BeginUpdate();
        items_.Clear();
        r.ReadListBegin();
        while (!r.EndOfList()) items_.Add(r.ReadString());
        r.ReadListEnd();
        items_.EndUpdate();
      },
      [this](rtl::TWriter& w) {
        w.WriteListBegin();
        for (int i = 0; i < items_.Count(); ++i) w.WriteString(items_.Strings(i));
        w.WriteListEnd();
      },
      items_.Count() > 0);
}

void TComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SubClass = "COMBOBOX";
  static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST};
  p.Style |= styles[style_] | CBS_AUTOHSCROLL | WS_VSCROLL;
  // The window's height includes the dropped-down list.
  if (style_ != csSimple) p.Height = DroppedHeight();
}

void TComboBox::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  UpdateBoundsFields(left, top, width, height);
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, left, top, width, style_ == csSimple ? height : DroppedHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  BoundsChanged();
}

void TComboBox::CreateHandleDone() {
  ItemsChanged(items_);
  if (itemHeight_ > 0) SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, itemHeight_);
  if (pendingIndex_ >= 0) SetItemIndex(pendingIndex_);
  if (!text_.empty()) SetWindowTextA(Handle(), text_.c_str());
}

void TComboBox::ItemsChanged(rtl::TStringList&) {
  if (!HandleAllocated()) return;
  std::string text = GetText();
  SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < items_.Count(); ++i)
    SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_.Strings(i).c_str()));
  SetWindowTextA(Handle(), text.c_str());
}

int TComboBox::ItemIndex() const {
  auto* self = const_cast<TComboBox*>(this);
  if (!self->HandleAllocated()) return pendingIndex_;
  return static_cast<int>(SendMessageA(self->Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int i) {
  if (!HandleAllocated()) {
    pendingIndex_ = i;
    return;
  }
  SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

void TComboBox::SetStyle(TComboBoxStyle v) {
  if (v == style_) return;
  style_ = v;
  if (HandleAllocated()) {
    DestroyHandle();
    HandleNeeded();
  }
}

void TComboBox::SetItemHeight(int v) {
  if (v == itemHeight_) return;
  itemHeight_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, v);
}

void TComboBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    switch (HIWORD(m.WParam)) {
      case CBN_EDITCHANGE:
        text_ = GetText();
        Change();
        return;
      case CBN_SELCHANGE: {
        // The edit field still holds the old text while this is told: show the chosen item first.
        int i = ItemIndex();
        if (i >= 0 && i < items_.Count()) {
          SetWindowTextA(Handle(), items_.Strings(i).c_str());
          text_ = items_.Strings(i);
        }
        Change();
        return;
      }
    }
  }
  TWinControl::WndProc(m);
}

}  // namespace gui
