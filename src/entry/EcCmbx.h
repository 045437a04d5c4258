// The family's combo box: the framework's combo box, always owner-drawn with variable item
// heights, with a section of the entries picked last at the top of its list, an incremental
// search that completes the typed text after a pause, a flat look with hot tracking, an attached
// caption label, and the events AfterEnter, AfterExit, OnSelectionChange and OnMouseWheel. Its
// timed work runs on its controller's timer pool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ComboBox.h"
#include "entry/EcBase.h"
#include "entry/EcControllerLink.h"
#include "entry/EcLabel.h"
#include "entry/EcMRU.h"

namespace ec {

enum TEcComboStyle : uint8_t {
  ecsDropDown,      // editable text with a drop-down list
  ecsDropDownList,  // the list only
};
const std::vector<std::string>& EcComboStyleNames();

// (Sender, Shift, Delta, XPos, YPos): the words of WM_MOUSEWHEEL as they came.
using TMouseWheelEvent = rtl::TEvent<rtl::TObject*, gui::TShiftState, uint16_t, uint16_t, uint16_t>;

// The key the delayed search hands to the key handling (no keyboard produces it).
inline constexpr WORD kSearchKey = 9999;
// The interval HotTrackPoll runs at when hot tracking is set up after loading.
inline constexpr uint32_t kHotTrackPollInterval = 100;
// Pixels an item is higher than its text (ItemHeight).
inline constexpr int kItemExtra = 3;

class TEcBaseComboBox : public gui::TCustomComboBox {
  RTL_CLASS(TEcBaseComboBox, gui::TCustomComboBox)
 public:
  explicit TEcBaseComboBox(rtl::TComponent* owner);
  ~TEcBaseComboBox() override;

  // Incremental search: typing schedules a search KeyDelay ms after the last key.
  bool AutoSearch = true;
  TEcController* Controller() const { return controllerLink_.Controller(); }
  // The timed work moves along: the old pool's triggers go, the hot-track poll starts in the new one.
  void SetController(TEcController* c);
  // The flat look, with the active look while the mouse is over the control.
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool v);
  // Milliseconds of quiet before the search; a negative value is ignored.
  int KeyDelay() const { return keyDelay_; }
  void SetKeyDelay(int v);
  // The text height of an item; every item, and the selection field, is kItemExtra pixels higher.
  // After loading and on every font change the font's height decides it. A change re-creates
  // the window.
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int v);
  TEcLabelInfo& LabelInfo() { return labelLink_.LabelInfo(); }
  rtl::TObject* LabelInfoObject() const { return labelLink_.LabelInfoObject(); }
  // The background of the MRU section's items.
  gui::TColor MRUListColor = gui::clWindow;
  // The capacity of the MRU section; set at run time it empties the section.
  int MRUListCount() const { return mruListCount_; }
  void SetMRUListCount(int v);
  TEcComboStyle Style() const { return style_; }
  void SetStyle(TEcComboStyle v);

  rtl::TNotifyEvent AfterEnter, AfterExit, OnSelectionChange;
  TMouseWheelEvent OnMouseWheel;

  // The MRU section (Items' first MRUList().Count() entries are copies of these).
  const TEcMRUList& MRUList() const { return mru_; }
  // Records Items[index] in the MRU list; a new entry gets its copy at the top of Items.
  void AddItemToMRUList(int index);
  // Rewrites the top of Items from the MRU list; n is the number of items the section held.
  void RebuildMRUSection(int n);
  void ClearMRUList();

  // The timer pool's handlers: the delayed search and the hot-track poll.
  void DoAutoSearch(rtl::TObject* sender, int handle, uint32_t interval, int elapsedTime);
  void HotTrackPoll(rtl::TObject* sender, int handle, uint32_t interval, int elapsedTime);
  // The handles of the pending search and of the hot-track poll in the pool; -1: none.
  int SearchTrigger() const { return searchTrigger_; }
  int HotTrackTrigger() const { return hotTrackTrigger_; }
  bool Hot() const { return hot_; }

  void PositionLabel() { labelLink_.PositionLabel(); }
  void LabelVisibleChanged(rtl::TObject* sender, bool value) { labelLink_.LabelVisibleChanged(sender, value); }
  TEcAttachedLabel* AttachedLabel() const { return labelLink_.AttachedLabel(); }

  std::string About() const { return kEcAboutText; }
  void SetAbout(const std::string&) {}

  void WndProc(gui::TMessage& m) override;
  void Notification(rtl::TComponent* c, rtl::TOperation op) override;
  void Loaded() override;
  static void DeclareProperties(rtl::TClassBuilder<TEcBaseComboBox>& b);

 protected:
  // A selection through the list or the search: the MRU section is put in order, then
  // OnSelectionChange.
  virtual void SelectionChanged();
  void DrawItem(int index, const RECT& rect, gui::TOwnerDrawState state) override;
  void MeasureItem(int index, int& height) override;
  void CreateParams(gui::TCreateParams& params) override;
  void CreateWnd() override;
  void CreateHandleDone() override;
  void FontChanged() override;
  void BoundsChanged() override;
  void VisibleChanged() override;
  void KeyDown(WORD& key, gui::TShiftState shift) override;
  void CloseUp() override;
  void DoEnter() override;
  void DoExit() override;
  void EditWndProc(gui::TMessage& m) override;
  void ListWndProc(gui::TMessage& m) override;

 private:
  void SetItemHeightFromFont();
  // Adds the hot-track poll to the controller's pool when hot tracking is on and none is there.
  void StartHotTrackPoll();
  // The first item after index `after` whose text is text, ignoring case, continuing from the
  // top (CB_FINDSTRINGEXACT's order); -1 when none is.
  int FindExact(const std::string& text, int after);
  // Removes a trigger of this box from its controller's pool, if it is still there; handle := -1.
  void DropTrigger(int& handle);
  void ScheduleSearch();
  // Completes the text with the first item after the MRU section that begins with it; true on a match.
  bool SearchNow(bool forEnter);
  void SetEditSel(int start, int end);
  int EditSelStart();
  void MouseEnter();
  void PaintFlat(HDC dc);

  TEcControllerLink controllerLink_;
  TEcLabelLink labelLink_;
  bool editPortion_ = false;
  bool hotTrack_ = false;
  int keyDelay_ = 500;
  int itemHeight_ = 0;
  int mruListCount_ = 3;
  TEcComboStyle style_ = ecsDropDown;
  bool polling_ = false;
  int hotTrackTrigger_ = -1;
  bool focused_ = false;
  bool hot_ = false;
  bool backspace_ = false;
  TEcMRUList mru_;
  int searchTrigger_ = -1;
};

class TEcComboBox : public TEcBaseComboBox {
  RTL_CLASS(TEcComboBox, TEcBaseComboBox)
 public:
  using TEcBaseComboBox::TEcBaseComboBox;
  static void DeclareProperties(rtl::TClassBuilder<TEcComboBox>& b);
};

}  // namespace ec
