// Menus: items with captions, mnemonics, shortcuts and click events; the main menu a form shows
// in its menu bar, and popup menus.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Guards.h"
#include "rtl/Component.h"

namespace gui {

// Shortcut: a virtual key with modifier flags.
using TShortCut = int;
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
std::string ShortCutToText(TShortCut s);

class TMenu;

class TMenuItem : public rtl::TComponent {
  RTL_CLASS(TMenuItem, rtl::TComponent)
 public:
  explicit TMenuItem(rtl::TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  rtl::TNotifyEvent OnClick;

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  TMenuItem* ParentItem() const { return parent_; }
  UINT Command() const { return command_; }
  // Finds an item of this subtree by command or by shortcut.
  TMenuItem* FindByCommand(UINT command);
  TMenuItem* FindByShortCut(TShortCut s);
  virtual void Click();

  bool HasParent() const override { return true; }
  rtl::TComponent* GetParentComponent() const override;
  void SetParentComponent(rtl::TComponent* parent) override;
  void GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const override;
  static void DeclareProperties(rtl::TClassBuilder<TMenuItem>& b);

 private:
  friend class TMenu;
  void Changed();
  void AppendTo(HMENU menu);

  std::string caption_;
  TShortCut shortCut_ = 0;
  bool enabled_ = true, checked_ = false, visible_ = true;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item
  UINT command_;
};

class TMenu : public rtl::TComponent {
  RTL_CLASS(TMenu, rtl::TComponent)
 public:
  explicit TMenu(rtl::TComponent* owner);
  ~TMenu() override;
  TMenuItem& Items() { return *items_; }
  HMENU Handle();
  // A click on command: true when one of this menu's items took it.
  bool DispatchCommand(UINT command);
  bool IsShortCut(TShortCut s);
  void GetChildren(const std::function<void(rtl::TComponent*)>& proc, rtl::TComponent* root) const override;

 protected:
  friend class TMenuItem;
  virtual HMENU CreateMenuHandle() = 0;
  // Items changed: the handle is rebuilt and shown again where it is shown.
  virtual void MenuChanged();
  void DestroyMenuHandle();

  TMenuHandle handle_;

 private:
  TMenuItem* items_;
};

class TMainMenu : public TMenu {
  RTL_CLASS(TMainMenu, TMenu)
 public:
  explicit TMainMenu(rtl::TComponent* owner) : TMenu(owner) {}
  // The window whose menu bar shows this menu (set by the form).
  void SetWindow(HWND wnd);

 protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
  void MenuChanged() override;

 private:
  HWND window_ = nullptr;
};

class TPopupMenu : public TMenu {
  RTL_CLASS(TPopupMenu, TMenu)
 public:
  explicit TPopupMenu(rtl::TComponent* owner) : TMenu(owner) {}
  // Shows the menu at a screen point and returns when it has closed (after the chosen item's click).
  void Popup(int x, int y);
  rtl::TNotifyEvent OnPopup;

 protected:
  HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
};

}  // namespace gui
