#include "Menus.h"

#include <algorithm>

#include "UtilWindow.h"
#include "rtl/Lists.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TMenuItem);
RTL_IMPLEMENT_CLASS(TMenu);
RTL_IMPLEMENT_CLASS(TMainMenu);
RTL_IMPLEMENT_CLASS(TPopupMenu);

static UINT g_nextCommand = 1;

std::string ShortCutToText(TShortCut s) {
  if (!s) return "";
  std::string t;
  if (s & scCtrl) t += "Ctrl+";
  if (s & scAlt) t += "Alt+";
  if (s & scShift) t += "Shift+";
  UINT key = static_cast<UINT>(s & 0xFF);
  char name[64] = {};
  UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    name[0] = static_cast<char>(key);
  } else if (key >= VK_F1 && key <= VK_F24) {
    wsprintfA(name, "F%u", key - VK_F1 + 1);
  } else if (!GetKeyNameTextA(static_cast<LONG>(scan << 16), name, sizeof name)) {
    wsprintfA(name, "#%u", key);
  }
  return t + name;
}

// ------------------------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(rtl::TComponent* owner) : TComponent(owner), command_(g_nextCommand++) {}

TMenuItem::~TMenuItem() {
  while (!items_.empty()) {
    TMenuItem* child = items_.back();
    items_.pop_back();
    child->parent_ = nullptr;
    if (!child->Owner()) delete child;  // items nobody owns go with their parent item
  }
  if (parent_) parent_->Remove(this);
}

void TMenuItem::DeclareProperties(rtl::TClassBuilder<TMenuItem>& b) {
  b.Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  b.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false);
  b.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true);
  b.Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0);
  b.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true);
  b.Event("OnClick", &TMenuItem::OnClick);
}

void TMenuItem::SetCaption(const std::string& v) {
  if (v == caption_) return;
  caption_ = v;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut v) {
  if (v == shortCut_) return;
  shortCut_ = v;
  Changed();
}

void TMenuItem::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Changed();
}

void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  Changed();
}

void TMenuItem::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed();
}

TMenuItem* TMenuItem::Items(int i) const {
  if (i < 0 || i >= Count()) rtl::ListIndexError(i);
  return items_[static_cast<size_t>(i)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (index < 0 || index > Count()) rtl::ListIndexError(index);
  if (item->parent_) item->parent_->Remove(item);
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  Changed();
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
  if (command_ == command) return this;
  for (TMenuItem* i : items_)
    if (TMenuItem* f = i->FindByCommand(command)) return f;
  return nullptr;
}

TMenuItem* TMenuItem::FindByShortCut(TShortCut s) {
  if (!enabled_ || !visible_) return nullptr;
  if (shortCut_ && shortCut_ == s) return this;
  for (TMenuItem* i : items_)
    if (TMenuItem* f = i->FindByShortCut(s)) return f;
  return nullptr;
}

void TMenuItem::Click() {
  if (enabled_) OnClick(this);
}

rtl::TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(rtl::TComponent* parent) {
  if (auto* m = rtl::As<TMenu>(parent))
    m->Items().Add(this);
  else if (auto* i = rtl::As<TMenuItem>(parent))
    i->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const {
  for (TMenuItem* i : items_)
    if (i->Owner() == root) proc(i);
}

void TMenuItem::Changed() {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  if (root->menu_) root->menu_->MenuChanged();
}

void TMenuItem::AppendTo(HMENU menu) {
  for (TMenuItem* i : items_) {
    if (!i->visible_) continue;
    UINT flags = (i->enabled_ ? MF_ENABLED : MF_GRAYED) | (i->checked_ ? MF_CHECKED : 0);
    if (i->caption_ == "-") {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!i->items_.empty()) {
      TMenuHandle sub(CreatePopupMenu());
      i->AppendTo(sub);
      // The parent menu owns the sub-menu once it holds it.
      if (AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Get()), i->caption_.c_str()))
        sub.Release();
    } else {
      std::string text = i->caption_;
      if (i->shortCut_) {
        text += '\t';
        text += ShortCutToText(i->shortCut_);
      }
      AppendMenuA(menu, flags | MF_STRING, i->command_, text.c_str());
    }
  }
}

// ----------------------------------------------------------------------------------- TMenu

TMenu::TMenu(rtl::TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  items_->menu_ = nullptr;
  delete items_;
  DestroyMenuHandle();
}

HMENU TMenu::Handle() {
  if (!handle_) {
    TMenuHandle made(CreateMenuHandle());
    items_->AppendTo(made);
    handle_ = std::move(made);
  }
  return handle_;
}

void TMenu::DestroyMenuHandle() { handle_.Reset(); }

void TMenu::MenuChanged() { DestroyMenuHandle(); }

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* i = items_->FindByCommand(command);
  if (!i || i == items_) return false;
  i->Click();
  return true;
}

bool TMenu::IsShortCut(TShortCut s) {
  TMenuItem* i = items_->FindByShortCut(s);
  if (!i) return false;
  i->Click();
  return true;
}

void TMenu::GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const {
  items_->GetChildren(proc, root);
}

void TMainMenu::SetWindow(HWND wnd) {
  window_ = wnd;
  // A window made with the menu has it already: setting it again would lay out its frame again.
  if (wnd && GetMenu(wnd) != Handle()) ::SetMenu(wnd, Handle());
}

void TMainMenu::MenuChanged() {
  if (!window_ || !handle_ || IsDestroying() || !IsWindow(window_)) return TMenu::MenuChanged();
  // The window shows the old menu until it has the new one; it stays if the new one fails.
  TMenuHandle old(std::move(handle_));
  try {
    ::SetMenu(window_, Handle());
  } catch (...) {
    handle_ = std::move(old);
    throw;
  }
  DrawMenuBar(window_);
}

void TPopupMenu::Popup(int x, int y) {
  rtl::TAliveToken alive = AliveToken();  // OnPopup, and whatever runs while the menu is open, may free it
  OnPopup(this);
  if (!alive) return;
  // The menu's commands go to a hidden window of ours, then to the chosen item.
  TUtilWindow owner(nullptr);
  SetForegroundWindow(owner.Handle());
  UINT cmd = static_cast<UINT>(TrackPopupMenu(Handle(), TPM_LEFTALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0,
                                              owner.Handle(), nullptr));
  if (cmd && alive) DispatchCommand(cmd);
}

}  // namespace gui
