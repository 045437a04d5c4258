// A caption label glued to an entry control. TEcLabelInfo (the control's published LabelInfo)
// says whether the label is shown and where it sits; TEcAttachedLabel is the label, a separate
// label on the same form; TEcLabelLink is the control's side: it creates, places and frees the
// label and answers the messages the two exchange (EcMessages.h).
#pragma once

#include "Controls.h"
#include "Label.h"
#include "rtl/Component.h"

namespace gui {
class TForm;
}

namespace ec {

class TEcAttachedLabel;

class TEcLabelInfo : public rtl::TPersistent {
  RTL_CLASS(TEcLabelInfo, rtl::TPersistent)
 public:
  // holder: the control the label belongs to, which hears of the label's going.
  explicit TEcLabelInfo(rtl::TComponent& holder);

  // Left edge of the label from the control's left edge.
  int OffsetX() const { return offsetX_; }
  void SetOffsetX(int v);
  // Bottom edge of the label from the control's top edge.
  int OffsetY() const { return offsetY_; }
  void SetOffsetY(int v);
  // Both at once, with one notification (none when both are as they are).
  void SetOffsets(int x, int y);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // Stores the value without telling OnVisibleChange (the label reported itself, or went).
  void StoreVisible(bool v) { visible_ = v; }

  TEcAttachedLabel* Label() const;
  void SetLabel(TEcAttachedLabel* label);

  rtl::TNotifyEvent OnOffsetsChange;
  rtl::TEvent<rtl::TObject*, bool> OnVisibleChange;
  // The label went by itself (freed, or taken out of the form); Label is already cleared.
  rtl::TNotifyEvent OnLabelGone;

  static void DeclareProperties(rtl::TClassBuilder<TEcLabelInfo>& b);

 private:
  int offsetX_ = 0;
  int offsetY_ = 0;
  rtl::TComponentRef<TEcAttachedLabel> label_;
  bool visible_ = false;
};

class TEcAttachedLabel : public gui::TCustomLabel {
  RTL_CLASS(TEcAttachedLabel, gui::TCustomLabel)
 public:
  explicit TEcAttachedLabel(rtl::TComponent* owner);
  // A label of control: its accelerator letter focuses the control.
  TEcAttachedLabel(rtl::TComponent* owner, gui::TWinControl* control);
  ~TEcAttachedLabel() override;
  // The attached label at this address, if one exists and belongs to control: what an attach
  // message's lParam may name (any program can send one).
  static TEcAttachedLabel* Verified(LPARAM candidate, const gui::TWinControl& control);

  gui::TWinControl* Control() const { return control_.Get(); }
  void SetControl(gui::TWinControl* c);
  // Tells the control that this label is its own and that the label has moved; only for a
  // label that is neither loading nor going, whose form holds the control.
  void NotifyControl();

  void Loaded() override;
  static void DeclareProperties(rtl::TClassBuilder<TEcAttachedLabel>& b);

 protected:
  void BoundsChanged() override;

 private:
  rtl::TComponentRef<gui::TWinControl> control_{*this};
};

// The nearest form in a control's parent chain; null.
gui::TForm* ParentForm(const gui::TControl* control);

// The owning control's side of the attached label. The control holds one and calls it from its
// message handling, bounds and visibility changes, Notification and destructor.
class TEcLabelLink : public rtl::TObject {
 public:
  explicit TEcLabelLink(gui::TWinControl& control);
  ~TEcLabelLink() override;
  TEcLabelLink(const TEcLabelLink&) = delete;
  TEcLabelLink& operator=(const TEcLabelLink&) = delete;

  TEcLabelInfo& LabelInfo() { return info_; }
  TEcLabelInfo* LabelInfoObject() const { return const_cast<TEcLabelInfo*>(&info_); }
  // The label while LabelInfo.Visible is on; otherwise "Label not attached".
  TEcAttachedLabel* AttachedLabel() const;

  // Puts the label at the stored offsets: left on the control's left plus OffsetX, bottom on the
  // control's top plus OffsetY.
  void PositionLabel();
  // LabelInfo.Visible changed: creates the label (directly above the control) or frees it.
  void LabelVisibleChanged(rtl::TObject* sender, bool value);
  void LabelOffsetsChanged(rtl::TObject* sender);
  void LabelGone(rtl::TObject* sender);

  // The messages the label and the control exchange: answered when m is one of them.
  void HandleMessage(gui::TMessage& m);
  // The control's bounds changed: it puts the label back once its window is free to.
  void ControlMoved();
  // The control's window exists: an attached label reports its place again.
  void ControlWindowCreated();
  void ControlVisibleChanged();

 private:
  void FreeLabel();
  // (label left − control left, label bottom − control top).
  POINT LabelOffsets() const;
  bool LabelPlaced() const;

  gui::TWinControl& control_;
  TEcLabelInfo info_;
  bool attachReported_ = false;  // an attach message came, its label's place not yet taken
};

}  // namespace ec
