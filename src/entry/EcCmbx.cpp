#include "entry/EcCmbx.h"

#include "Guards.h"
#include "rtl/FlagScope.h"
#include "entry/EcBeep.h"
#include "entry/EcMessages.h"

namespace ec {

RTL_IMPLEMENT_CLASS(TEcBaseComboBox);
RTL_IMPLEMENT_CLASS(TEcComboBox);

const std::vector<std::string>& EcComboStyleNames() {
  static const std::vector<std::string> names = {"ecsDropDown", "ecsDropDownList"};
  return names;
}

namespace {

// The font's height (ascent plus descent) as the screen measures it.
int FontTextHeight(gui::TFont& font) {
  gui::TScreenDC screen;
  gui::TSelectObject selected(screen, font.Handle());
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);
  return tm.tmHeight;
}

// Keys that never start a search: mouse buttons, Tab, Clear, Shift, Ctrl, Alt, Pause, Caps Lock,
// the navigation and editing keys, F1 to F24, Num Lock and Scroll Lock.
bool IsNonSearchKey(WORD key) {
  return (key >= 1 && key <= 4) || key == VK_TAB || key == VK_CLEAR || (key >= VK_SHIFT && key <= VK_CAPITAL) ||
         (key >= VK_PRIOR && key <= VK_HELP) || (key >= VK_F1 && key <= VK_F24) || key == VK_NUMLOCK ||
         key == VK_SCROLL;
}

}  // namespace

void TEcBaseComboBox::DeclareProperties(rtl::TClassBuilder<TEcBaseComboBox>& b) {
  b.Ref<TEcController>("Controller", &TEcBaseComboBox::Controller, &TEcBaseComboBox::SetController);
}

void TEcComboBox::DeclareProperties(rtl::TClassBuilder<TEcComboBox>& b) {
  PublishAbout(b);
  b.Bool("AutoSearch", &TEcComboBox::AutoSearch, &TEcComboBox::AutoSearch, true).HasDefault = false;
  b.Bool("HotTrack", &TEcComboBox::HotTrack, &TEcComboBox::SetHotTrack, false).HasDefault = false;
  b.IntNoDefault("ItemHeight", &TEcComboBox::ItemHeight, &TEcComboBox::SetItemHeight);
  b.IntNoDefault("KeyDelay", &TEcComboBox::KeyDelay, &TEcComboBox::SetKeyDelay);
  b.Object("LabelInfo", &TEcComboBox::LabelInfoObject);
  b.IntNoDefault("MRUListColor", &TEcComboBox::MRUListColor, &TEcComboBox::MRUListColor).Idents = &gui::ColorIdents();
  b.IntNoDefault("MRUListCount", &TEcComboBox::MRUListCount, &TEcComboBox::SetMRUListCount);
  b.Enum("Style", EcComboStyleNames(), &TEcComboBox::Style, &TEcComboBox::SetStyle, ecsDropDown).HasDefault = false;
  using Notify = rtl::TNotifyEvent TEcComboBox::*;
  b.Event("AfterEnter", static_cast<Notify>(&TEcComboBox::AfterEnter));
  b.Event("AfterExit", static_cast<Notify>(&TEcComboBox::AfterExit));
  b.Event("OnMouseWheel", static_cast<TMouseWheelEvent TEcComboBox::*>(&TEcComboBox::OnMouseWheel));
  b.Event("OnSelectionChange", static_cast<Notify>(&TEcComboBox::OnSelectionChange));
}

TEcBaseComboBox::TEcBaseComboBox(rtl::TComponent* owner)
    : TCustomComboBox(owner),
      // The pool goes with its controller, and the triggers in it.
      controllerLink_(*this, [this] { searchTrigger_ = hotTrackTrigger_ = -1; }),
      labelLink_(*this) {
  itemHeight_ = FontTextHeight(Font());
  TCustomComboBox::SetItemHeight(itemHeight_ + kItemExtra);
}

TEcBaseComboBox::~TEcBaseComboBox() {
  LabelInfo().SetVisible(false);  // frees the label
  // A controller that went first took its pool, and these triggers, with it.
  DropTrigger(searchTrigger_);
  DropTrigger(hotTrackTrigger_);
}

void TEcBaseComboBox::DropTrigger(int& handle) {
  TEcController* c = Controller();
  // The pool gives a freed handle out again: only a trigger that still calls this box is its own.
  if (const TriggerRecord* t = c && handle != -1 ? c->TimerPool().FindTrigger(handle) : nullptr;
      t && t->OnTrigger.Data() == this)
    c->TimerPool().RemoveTrigger(handle);
  handle = -1;
}

// ------------------------------------------------------------------------------ properties

void TEcBaseComboBox::SetController(TEcController* c) {
  if (c == Controller()) return;
  DropTrigger(searchTrigger_);
  DropTrigger(hotTrackTrigger_);
  controllerLink_.SetController(c);
  StartHotTrackPoll();
}

void TEcBaseComboBox::StartHotTrackPoll() {
  TEcController* c = Controller();
  if (c && hotTrack_ && hotTrackTrigger_ == -1 && !IsLoading())
    hotTrackTrigger_ = c->TimerPool().AddTrigger(kHotTrackPollInterval, TTriggerEvent(this, &TEcBaseComboBox::HotTrackPoll));
}

void TEcBaseComboBox::SetHotTrack(bool v) {
  if (v == hotTrack_) return;
  if (!IsLoading()) {
    if (TEcController* c = Controller()) {
      if (v) {
        // The pool raises the interval to its floor.
        hotTrackTrigger_ = c->TimerPool().AddTrigger(1, TTriggerEvent(this, &TEcBaseComboBox::HotTrackPoll));
      } else {
        DropTrigger(hotTrackTrigger_);
      }
    }
  }
  hotTrack_ = v;
  Invalidate();
}

void TEcBaseComboBox::SetKeyDelay(int v) {
  if (v != keyDelay_ && v >= 0) keyDelay_ = v;
}

void TEcBaseComboBox::SetItemHeight(int v) {
  if (v == itemHeight_) return;
  itemHeight_ = v;
  TCustomComboBox::SetItemHeight(v + kItemExtra);  // owner-drawn: a new window, every item measured
}

void TEcBaseComboBox::SetItemHeightFromFont() { SetItemHeight(FontTextHeight(Font())); }

void TEcBaseComboBox::SetMRUListCount(int v) {
  if (!IsLoading()) ClearMRUList();
  mru_.SetMaxItems(v);
  mruListCount_ = v;
}

void TEcBaseComboBox::SetStyle(TEcComboStyle v) {
  if (v == style_) return;
  style_ = v;
  RecreateWnd();
}

// ---------------------------------------------------------------------- window and loading

void TEcBaseComboBox::CreateParams(gui::TCreateParams& p) {
  TCustomComboBox::CreateParams(p);
  p.Style &= ~static_cast<DWORD>(CBS_SIMPLE | CBS_DROPDOWN | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                                 CBS_OWNERDRAWVARIABLE);
  // Owner-drawn with variable heights whatever the style: the control paints every item itself.
  p.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | CBS_OWNERDRAWVARIABLE |
             (style_ == ecsDropDown ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEcBaseComboBox::CreateWnd() {
  controllerLink_.Bind();  // ENoControllerAssigned before any window is made
  // Hot tracking switched on before there was a controller gets its poll now: without it the
  // active look would stay once the mouse had been over the control.
  if (hotTrack_ && hotTrackTrigger_ == -1 && !IsLoading())
    if (TEcController* c = Controller())
      hotTrackTrigger_ = c->TimerPool().AddTrigger(1, TTriggerEvent(this, &TEcBaseComboBox::HotTrackPoll));
  // A window made while the resource is still being read (a component read later needs the form's
  // window) is made with the height the end of loading gives it; made with the stored one, it
  // would be made a second time there.
  if (IsLoading()) SetItemHeightFromFont();
  // The framework's window keeps the selection and the list's width across a re-creation.
  TCustomComboBox::CreateWnd();
}

void TEcBaseComboBox::CreateHandleDone() {
  TCustomComboBox::CreateHandleDone();
  labelLink_.ControlWindowCreated();
}

void TEcBaseComboBox::Loaded() {
  TCustomComboBox::Loaded();
  controllerLink_.Bind();
  if (hotTrack_)
    if (TEcController* c = Controller())
      hotTrackTrigger_ =
          c->TimerPool().AddTrigger(kHotTrackPollInterval, TTriggerEvent(this, &TEcBaseComboBox::HotTrackPoll));
  // The font decides, not a stored ItemHeight.
  SetItemHeightFromFont();
}

void TEcBaseComboBox::FontChanged() {
  TCustomComboBox::FontChanged();
  if (!IsLoading()) SetItemHeightFromFont();
}

void TEcBaseComboBox::BoundsChanged() {
  TCustomComboBox::BoundsChanged();
  labelLink_.ControlMoved();
}

void TEcBaseComboBox::VisibleChanged() {
  TCustomComboBox::VisibleChanged();
  labelLink_.ControlVisibleChanged();
}

void TEcBaseComboBox::Notification(rtl::TComponent* c, rtl::TOperation op) {
  TCustomComboBox::Notification(c, op);
  TEcController* before = Controller();
  controllerLink_.Notification(c, op);
  // A controller adopted at run time (one made on the form after the last one went) polls at
  // once, as one set by hand does, not only from the next window on.
  if (Controller() != before) StartHotTrackPoll();
}

// ------------------------------------------------------------------------------ MRU section

void TEcBaseComboBox::AddItemToMRUList(int index) {
  if (index < 0 || index >= Items().Count()) return;
  int before = mru_.Count();
  std::string text = Items().Strings(index);
  rtl::TObject* object = Items().Objects(index);
  mru_.AddToList(text, object);
  if (mru_.Count() <= before) return;
  bool wasSelected = ItemIndex() == index;
  Items().Insert(0, text, object);
  // As the platform's own insertion would, the selection stays on the entry it named.
  if (wasSelected) SetItemIndex(index + 1);
}

void TEcBaseComboBox::RebuildMRUSection(int n) {
  std::string text = GetText();
  mru_.Shrink();
  if (n > 0 || mru_.Count() > 0) {  // the window gets the new list once
    rtl::TUpdateScope<rtl::TStringList> update(Items());
    for (int i = 0; i < n && Items().Count() > 0; ++i) Items().Delete(0);
    for (int i = mru_.Count() - 1; i >= 0; --i) Items().Insert(0, mru_.Items().Strings(i), mru_.Items().Objects(i));
  }
  int last = mru_.Count() - 1;
  if (last >= 0) SetItemHeightAt(last, itemHeight_ + kItemExtra);
  // The entry of the text in the main section: the search starts after the MRU section.
  SetItemIndex(FindExact(text, last));
}

int TEcBaseComboBox::FindExact(const std::string& text, int after) {
  if (HWND wnd = WindowHandle()) {
    LRESULT found = SendMessageA(wnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text.c_str()));
    return found == CB_ERR ? -1 : static_cast<int>(found);
  }
  // No window yet (none is made for this): the items in the platform's order of search, from
  // the one after `after` to the end, then from the top.
  const int n = Items().Count();
  for (int k = 1; k <= n; ++k) {
    int i = (after + k) % n;
    if (TEcMRUList::SameTextLocale(Items().Strings(i), text)) return i;
  }
  return -1;
}

void TEcBaseComboBox::ClearMRUList() {
  if (mru_.Count() == 0) return;
  {
    rtl::TUpdateScope<rtl::TStringList> update(Items());
    for (int i = 0; i < mru_.Count() && Items().Count() > 0; ++i) Items().Delete(0);
  }
  mru_.ClearList();
}

void TEcBaseComboBox::SelectionChanged() {
  if (mruListCount_ > 0) RebuildMRUSection(mru_.Count());
  OnSelectionChange(this);
}

// ----------------------------------------------------------------------------- owner drawing

void TEcBaseComboBox::DrawItem(int index, const RECT& rect, gui::TOwnerDrawState state) {
  gui::TCanvas& canvas = Canvas();
  bool inSection = mru_.Count() > 0 && index < mru_.Count();
  canvas.Brush().SetColor((state & gui::odSelected) ? gui::clHighlight : inSection ? MRUListColor : Color());
  canvas.FillRect(rect);
  if (index >= 0 && index < Items().Count()) {
    RECT text = rect;
    text.left += 2;
    // A clear brush draws the text on the background as it is; the solid one is back for the band.
    canvas.Brush().SetStyle(gui::bsClear);
    canvas.DrawText(Items().Strings(index), text, DT_VCENTER);
    canvas.Brush().SetStyle(gui::bsSolid);
  }
  // The band that closes the MRU section off, in the open list only.
  if (!editPortion_ && index == mru_.Count() - 1 && DroppedDown()) {
    canvas.Pen().SetColor(gui::clGrayText);
    canvas.Rectangle(rect.left - 1, rect.bottom - 3, rect.right + 1, rect.bottom);
  }
}

void TEcBaseComboBox::MeasureItem(int, int& height) { height = itemHeight_ + kItemExtra; }

// ------------------------------------------------------------------------------ keyboard

void TEcBaseComboBox::KeyDown(WORD& key, gui::TShiftState shift) {
  backspace_ = false;
  rtl::TAliveToken alive = AliveToken();  // the completion's and the change's handlers may free the box
  switch (key) {
    case VK_BACK: backspace_ = true; break;
    case VK_RETURN:
      if (!SearchNow(true)) EcMessageBeep(0);
      break;
    case VK_ESCAPE:
      SetItemIndex(0);
      TCustomComboBox::Change();
      break;
    case kSearchKey: SearchNow(false); break;
    default:
      if (AutoSearch && !IsNonSearchKey(key)) ScheduleSearch();
  }
  if (alive) TCustomComboBox::KeyDown(key, shift);
}

void TEcBaseComboBox::ScheduleSearch() {
  TEcController* c = Controller();
  if (!c) return;
  DropTrigger(searchTrigger_);  // a refused timer below leaves no stale handle
  searchTrigger_ = c->TimerPool().AddOneTimeTrigger(static_cast<uint32_t>(keyDelay_),
                                                    TTriggerEvent(this, &TEcBaseComboBox::DoAutoSearch));
}

bool TEcBaseComboBox::SearchNow(bool forEnter) {
  std::string text = GetText();
  LRESULT found = SendMessageA(Handle(), CB_FINDSTRING, static_cast<WPARAM>(mru_.Count() - 1),
                               reinterpret_cast<LPARAM>(text.c_str()));
  if (found == CB_ERR || found >= Items().Count()) return false;
  std::string completed = Items().Strings(static_cast<int>(found));
  SetText(completed);
  rtl::TAliveToken alive = AliveToken();
  if (forEnter) Click();
  if (!alive) return true;
  int start = EditSelStart();
  SetEditSel(start, start + static_cast<int>(completed.size()));
  SelectionChanged();
  return true;
}

void TEcBaseComboBox::DoAutoSearch(rtl::TObject*, int, uint32_t, int) {
  searchTrigger_ = -1;  // the pool has dropped the one-time trigger already
  if (backspace_) return;
  int typed = static_cast<int>(GetText().size());
  WORD key = kSearchKey;
  rtl::TAliveToken alive = AliveToken();
  KeyDown(key, 0);
  if (!alive) return;
  // The part the user did not type is selected: the next key replaces it.
  SetEditSel(typed, static_cast<int>(GetText().size()));
}

int TEcBaseComboBox::EditSelStart() {
  DWORD start = 0;
  SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

void TEcBaseComboBox::SetEditSel(int start, int end) {
  SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, end));
}

// --------------------------------------------------------------------- list, focus, mouse

void TEcBaseComboBox::CloseUp() {
  rtl::TAliveToken alive = AliveToken();  // each event's handler may free the box
  int index = ItemIndex();
  if (index >= 0 && index < Items().Count()) {
    std::string picked = Items().Strings(index);
    AddItemToMRUList(index);
    SetText(picked);
    Click();
    if (!alive) return;
    SelectionChanged();
    if (!alive) return;
  }
  if (hotTrack_) Invalidate();
  TCustomComboBox::CloseUp();
}

void TEcBaseComboBox::DoEnter() {
  rtl::TAliveToken alive = AliveToken();
  TCustomComboBox::DoEnter();
  if (HWND wnd = alive ? WindowHandle() : nullptr) PostMessageA(wnd, EntryAfterEnterMessage, 0, 0);
}

void TEcBaseComboBox::DoExit() {
  AddItemToMRUList(ItemIndex());  // the section is put in order at the next selection
  rtl::TAliveToken alive = AliveToken();
  TCustomComboBox::DoExit();
  if (HWND wnd = alive ? WindowHandle() : nullptr) PostMessageA(wnd, EntryAfterExitMessage, 0, 0);
}

void TEcBaseComboBox::MouseEnter() {
  if (!hotTrack_ || hot_ || !GetActiveWindow()) return;
  hot_ = true;
  Invalidate();
}

void TEcBaseComboBox::HotTrackPoll(rtl::TObject*, int, uint32_t, int) {
  if (polling_) return;
  rtl::TFlagScope polling(polling_);
  if (hot_ && Visible() && HandleAllocated()) {
    POINT p{};
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    if (under != WindowHandle() && under != EditHandle()) {
      hot_ = false;
      Invalidate();
    }
  }
}

void TEcBaseComboBox::EditWndProc(gui::TMessage& m) {
  if (m.Msg == WM_NCHITTEST) MouseEnter();
  // A single-line edit field has nothing to scroll: the wheel turns the combo box, as the
  // platform's default processing passes it up (Wine's edit field would keep it).
  if (m.Msg == WM_MOUSEWHEEL) return m.Answer(SendMessageA(WindowHandle(), WM_MOUSEWHEEL, m.WParam, m.LParam));
  TCustomComboBox::EditWndProc(m);
}

void TEcBaseComboBox::ListWndProc(gui::TMessage& m) {
  if (m.Msg == WM_NCHITTEST) MouseEnter();
  TCustomComboBox::ListWndProc(m);
}

void TEcBaseComboBox::WndProc(gui::TMessage& m) {
  labelLink_.HandleMessage(m);
  if (m.Handled) return;
  switch (m.Msg) {
    case EntryAfterEnterMessage:
      m.Answer(0);
      return AfterEnter(this);
    case EntryAfterExitMessage:
      m.Answer(0);
      return AfterExit(this);
    case WM_PAINT:
      if (!hotTrack_) break;
      if (m.WParam) {
        PaintFlat(reinterpret_cast<HDC>(m.WParam));
      } else {
        gui::TPaintDC dc(WindowHandle());
        PaintFlat(dc);
      }
      m.Answer(1);
      return;
    case WM_NCHITTEST:
      TCustomComboBox::WndProc(m);
      MouseEnter();
      return;
    case WM_MOUSEWHEEL: {
      // Turning the wheel may change the selection, whose handlers may free the box.
      rtl::TAliveToken alive = AliveToken();
      TCustomComboBox::WndProc(m);
      if (alive)
        OnMouseWheel(this, gui::KeysToShiftState(LOWORD(m.WParam)), HIWORD(m.WParam), LOWORD(m.LParam),
                     HIWORD(m.LParam));
      return;
    }
    case gui::CN_DRAWITEM:
      editPortion_ = (reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam)->itemState & ODS_COMBOBOXEDIT) != 0;
      break;
    case gui::CN_MEASUREITEM:
      TCustomComboBox::WndProc(m);
      reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemWidth = static_cast<UINT>(ClientWidth());
      return;
    case gui::CN_COMMAND:
      if (hotTrack_ && (HIWORD(m.WParam) == CBN_SETFOCUS || HIWORD(m.WParam) == CBN_KILLFOCUS)) {
        focused_ = HIWORD(m.WParam) == CBN_SETFOCUS;
        Invalidate();
      }
      break;
  }
  TCustomComboBox::WndProc(m);
}

}  // namespace ec
