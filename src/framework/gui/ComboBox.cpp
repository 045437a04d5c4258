#include "ComboBox.h"

#include "rtl/Filer.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TCustomComboBox);

const std::vector<std::string>& ComboBoxStyleNames() {
  static const std::vector<std::string> names = {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                                 "csOwnerDrawVariable"};
  return names;
}

TCustomComboBox::TCustomComboBox(rtl::TComponent* owner)
    : TWinControl(owner),
      editSubclass_([this](TMessage& m) { EditWndProc(m); }),
      listSubclass_([this](TMessage& m) { ListWndProc(m); }) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  items_.OnChange = [this](rtl::TStringList& l) { ItemsChanged(l); };
}

TCustomComboBox::~TCustomComboBox() {
  // The child windows get their own procedures back while this object can still answer them.
  editSubclass_.Uninstall();
  listSubclass_.Uninstall();
}

void TCustomComboBox::DeclareProperties(rtl::TClassBuilder<TCustomComboBox>& b) {
  b.Enum("Style", ComboBoxStyleNames(), &TCustomComboBox::Style, &TCustomComboBox::SetStyle, csDropDown);
  b.Int("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight, 0);
  b.Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount, 8);
  b.Int("DroppedWidth", &TCustomComboBox::DroppedWidth, &TCustomComboBox::SetDroppedWidth, -1);
  b.Bool("TabStop", &TCustomComboBox::TabStop, &TCustomComboBox::SetTabStop, true);
  b.Str("Text", &TCustomComboBox::GetText, &TCustomComboBox::SetText);
  b.Event("OnChange", &TCustomComboBox::OnChange);
  b.Event("OnSelect", &TCustomComboBox::OnSelect);
  b.Event("OnDropDown", &TCustomComboBox::OnDropDown);
  b.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
  b.Event("OnDrawItem", &TCustomComboBox::OnDrawItem);
  b.Event("OnMeasureItem", &TCustomComboBox::OnMeasureItem);
}

void TCustomComboBox::DefineProperties(rtl::TFiler& filer) {
  TWinControl::DefineProperties(filer);
  filer.DefineProperty(
      "Items.Strings",
      [this](rtl::TReader& r) {
        // A read error in the middle leaves the list taking changes again.
        rtl::TUpdateScope<rtl::TStringList> update(items_);
        items_.Clear();
        r.ReadListBegin();
        while (!r.EndOfList()) items_.Add(r.ReadString());
        r.ReadListEnd();
      },
      [this](rtl::TWriter& w) {
        w.WriteListBegin();
        for (int i = 0; i < items_.Count(); ++i) w.WriteString(items_.Strings(i));
        w.WriteListEnd();
      },
      items_.Count() > 0);
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SubClass = "COMBOBOX";
  static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                 CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  p.Style |= styles[style_] | CBS_HASSTRINGS | CBS_AUTOHSCROLL | WS_VSCROLL;
  // The window's height includes the dropped-down list.
  p.Height = WindowHeight(p.Height);
}

void TCustomComboBox::CreateHandleDone() {
  std::string text = text_;
  int index = pendingIndex_;
  pendingIndex_ = -1;
  SubclassChildren();
  ApplyItemHeight();
  if (droppedWidth_ >= 0) SendMessageA(Wnd(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(droppedWidth_), 0);
  ItemsChanged(items_);
  if (index >= 0) SendMessageA(Wnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (EditHandle() && text != GetText()) SetWindowTextA(Wnd(), text.c_str());
}

void TCustomComboBox::RecreateWnd() {
  if (!HandleAllocated()) return;
  DestroyHandle();  // WM_DESTROY keeps the text and the selection
  HandleNeeded();
}

void TCustomComboBox::SubclassChildren() {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(Wnd(), &info)) return;
  // Without an edit field the platform names the combo box itself, or nothing, as its item.
  if (info.hwndItem && info.hwndItem != Wnd())
    editSubclass_.Install(info.hwndItem);
  else
    editSubclass_.Uninstall();
  if (info.hwndList)
    listSubclass_.Install(info.hwndList);
  else
    listSubclass_.Uninstall();
}

bool TCustomComboBox::OwnerDrawn() const {
  if (!HandleAllocated()) return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable;
  return (GetWindowLongPtrA(Wnd(), GWL_STYLE) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0;
}

bool TCustomComboBox::OwnerDrawnVariable() const {
  if (!HandleAllocated()) return style_ == csOwnerDrawVariable;
  return (GetWindowLongPtrA(Wnd(), GWL_STYLE) & CBS_OWNERDRAWVARIABLE) != 0;
}

void TCustomComboBox::ApplyItemHeight() {
  if (!HandleAllocated()) return;
  // The platform measured the selection field while the window was being made, before this
  // control could answer: ask again now.
  if (OwnerDrawnVariable()) {
    int h = itemHeight_;
    MeasureItem(-1, h);
    if (h > 0) SendMessageA(Wnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), h);
    return;
  }
  if (itemHeight_ <= 0) return;
  // Owner-drawn, the selection field is drawn as an item and as high as one.
  if (OwnerDrawn()) SendMessageA(Wnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
  SendMessageA(Wnd(), CB_SETITEMHEIGHT, 0, itemHeight_);
}

void TCustomComboBox::ItemsChanged(rtl::TStringList&) {
  if (!HandleAllocated()) return;
  std::string text = GetText();
  SendMessageA(Wnd(), CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < items_.Count(); ++i)
    SendMessageA(Wnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_.Strings(i).c_str()));
  if (EditHandle()) {
    SetWindowTextA(Wnd(), text.c_str());
  } else if (!text.empty()) {
    // A list-only box shows its text by selecting the item of that text.
    LRESULT i = SendMessageA(Wnd(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (i != CB_ERR) SendMessageA(Wnd(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  }
}

int TCustomComboBox::WindowHeight(int height) const { return style_ == csSimple ? height : DroppedHeight(); }

int TCustomComboBox::ItemIndex() const {
  if (!HandleAllocated()) return pendingIndex_;
  return static_cast<int>(SendMessageA(Wnd(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int i) {
  if (!HandleAllocated()) {
    pendingIndex_ = i;
    return;
  }
  SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  if (v == style_) return;
  style_ = v;
  RecreateWnd();
}

void TCustomComboBox::SetItemHeight(int v) {
  if (v == itemHeight_) return;
  itemHeight_ = v;
  if (!HandleAllocated()) return;
  if (OwnerDrawn())
    RecreateWnd();
  else if (v > 0)
    SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, v);
}

int TCustomComboBox::ItemHeightAt(int index) const {
  if (!HandleAllocated()) return itemHeight_;
  return static_cast<int>(SendMessageA(Wnd(), CB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
}

void TCustomComboBox::SetItemHeightAt(int index, int height) {
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height);
}

void TCustomComboBox::SetDroppedWidth(int v) {
  if (v == droppedWidth_) return;
  droppedWidth_ = v;
  // Any width below the box's gives the box's; 0 would leave Wine's list as wide as before.
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(v < 0 ? 1 : v), 0);
}

bool TCustomComboBox::DroppedDown() const {
  return HandleAllocated() && SendMessageA(Wnd(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool v) { SendMessageA(Handle(), CB_SHOWDROPDOWN, v ? TRUE : FALSE, 0); }

void TCustomComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  if (OnDrawItem) return OnDrawItem(this, index, rect, state);
  canvas_.FillRect(rect);
  if (index >= items_.Count()) return;
  RECT text = rect;
  text.left += 2;
  canvas_.DrawText(items_.Strings(index), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TCustomComboBox::MeasureItem(int index, int& height) { OnMeasureItem(this, index, height); }

bool TCustomComboBox::IsOwnWindow(HWND wnd) const {
  if (!wnd || !HandleAllocated()) return false;
  HWND self = Wnd();
  return wnd == self || wnd == ListHandle() || IsChild(self, wnd);
}

void TCustomComboBox::EditWndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    {
      rtl::TAliveToken alive = AliveToken();
      bool swallowed = DoKeyMessage(m);
      if (!alive) return;  // a key handler freed the box
      if (swallowed) return m.Answer(0);
      break;
    }
    case WM_SETFOCUS:
      editSubclass_.CallPrevious(m);
      if (!IsOwnWindow(reinterpret_cast<HWND>(m.WParam))) DoEnter();
      return;
    case WM_KILLFOCUS:
      editSubclass_.CallPrevious(m);
      if (!IsOwnWindow(reinterpret_cast<HWND>(m.WParam))) DoExit();
      return;
  }
  editSubclass_.CallPrevious(m);
}

void TCustomComboBox::ListWndProc(TMessage& m) { listSubclass_.CallPrevious(m); }

void TCustomComboBox::CommandNotification(TMessage& m) {
  m.Answer(0);
  rtl::TAliveToken alive = AliveToken();  // each event's handler may free the box
  switch (HIWORD(m.WParam)) {
    case CBN_EDITCHANGE:
      text_ = GetText();
      Change();
      break;
    case CBN_SELCHANGE: {
      // The edit field still holds the old text while this is told: show the chosen item first.
      int i = ItemIndex();
      if (i >= 0 && i < items_.Count()) {
        if (EditHandle()) SetWindowTextA(Wnd(), items_.Strings(i).c_str());
        text_ = items_.Strings(i);
      }
      Click();
      if (!alive) return;
      Select();
      if (!alive) return;
      Change();
      break;
    }
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
  }
}

void TCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: return CommandNotification(m);
    case CN_DRAWITEM:
      m.Answer(1);
      DrawOwnerItem(*reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam), canvas_, Font(), Color(),
                    [this](int index, const RECT& rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
      return;
    case CN_MEASUREITEM: {
      auto* request = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      int h = itemHeight_ > 0 ? itemHeight_ : static_cast<int>(request->itemHeight);
      if (OwnerDrawnVariable()) MeasureItem(static_cast<int>(request->itemID), h);
      request->itemHeight = static_cast<UINT>(h > 0 ? h : 1);
      m.Answer(1);
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focus passing to the edit field and back stays inside the control.
      if (IsOwnWindow(reinterpret_cast<HWND>(m.WParam))) return DefaultHandler(m);
      break;
    case WM_DESTROY:
      // Whatever destroys the window, a new one shows the same.
      text_ = GetText();
      pendingIndex_ = static_cast<int>(SendMessageA(Wnd(), CB_GETCURSEL, 0, 0));
      break;
  }
  TWinControl::WndProc(m);
}

void TCustomComboBox::FontChanged() {
  TWinControl::FontChanged();
  ApplyItemHeight();  // a new font makes the platform measure again
}

}  // namespace gui
