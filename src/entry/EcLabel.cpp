#include "entry/EcLabel.h"

#include <unordered_set>

#include "Forms.h"
#include "entry/EcMessages.h"
#include "entry/EcStrIds.h"
#include "rtl/StrUtils.h"
#include "strres/EcSrMgr.h"

namespace ec {

RTL_IMPLEMENT_CLASS(TEcLabelInfo);
// Registered by the family's start-up, and only when no other class has taken the name.
RTL_IMPLEMENT_CLASS_UNREGISTERED(TEcAttachedLabel);

// ------------------------------------------------------------------------------ TEcLabelInfo

TEcLabelInfo::TEcLabelInfo(rtl::TComponent& holder) : label_(holder, [this] { OnLabelGone(this); }) {}

TEcAttachedLabel* TEcLabelInfo::Label() const { return label_.Get(); }

void TEcLabelInfo::SetLabel(TEcAttachedLabel* label) { label_.Set(label); }

void TEcLabelInfo::DeclareProperties(rtl::TClassBuilder<TEcLabelInfo>& b) {
  // The offsets mean something only while the label is shown.
  auto shown = [](const rtl::TObject* o) { return static_cast<const TEcLabelInfo*>(o)->Visible(); };
  b.IntNoDefault("OffsetX", &TEcLabelInfo::OffsetX, &TEcLabelInfo::SetOffsetX).Stored = shown;
  b.IntNoDefault("OffsetY", &TEcLabelInfo::OffsetY, &TEcLabelInfo::SetOffsetY).Stored = shown;
  b.Bool("Visible", &TEcLabelInfo::Visible, &TEcLabelInfo::SetVisible, false).HasDefault = false;
}

void TEcLabelInfo::SetOffsetX(int v) {
  if (v == offsetX_) return;
  offsetX_ = v;
  OnOffsetsChange(this);
}

void TEcLabelInfo::SetOffsetY(int v) {
  if (v == offsetY_) return;
  offsetY_ = v;
  OnOffsetsChange(this);
}

void TEcLabelInfo::SetOffsets(int x, int y) {
  if (x == offsetX_ && y == offsetY_) return;
  offsetX_ = x;
  offsetY_ = y;
  OnOffsetsChange(this);
}

void TEcLabelInfo::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  OnVisibleChange(this, v);
}

// -------------------------------------------------------------------------- TEcAttachedLabel

namespace {

// Every attached label that exists, so that a pointer in a message is never trusted blindly.
std::unordered_set<const TEcAttachedLabel*>& LiveLabels() {
  static std::unordered_set<const TEcAttachedLabel*> labels;
  return labels;
}

}  // namespace

gui::TForm* ParentForm(const gui::TControl* control) {
  for (gui::TWinControl* p = control ? control->Parent() : nullptr; p; p = p->Parent())
    if (auto* form = rtl::As<gui::TForm>(p)) return form;
  return nullptr;
}

void TEcAttachedLabel::DeclareProperties(rtl::TClassBuilder<TEcAttachedLabel>& b) {
  b.Ref<gui::TWinControl>("Control", &TEcAttachedLabel::Control, &TEcAttachedLabel::SetControl);
}

TEcAttachedLabel::TEcAttachedLabel(rtl::TComponent* owner) : TCustomLabel(owner) {
  LiveLabels().insert(this);
  SetAutoSize(true);
  SetParentFont(true);
  SetTransparent(false);
}

TEcAttachedLabel::TEcAttachedLabel(rtl::TComponent* owner, gui::TWinControl* control)
    : TEcAttachedLabel(owner) {
  SetControl(control);
  SetFocusControl(control);
}

TEcAttachedLabel::~TEcAttachedLabel() { LiveLabels().erase(this); }

TEcAttachedLabel* TEcAttachedLabel::Verified(LPARAM candidate, const gui::TWinControl& control) {
  // Compared as a number first: nothing is read through a pointer that is not a live label.
  for (const TEcAttachedLabel* label : LiveLabels())
    if (reinterpret_cast<LPARAM>(label) == candidate && label->Control() == &control)
      return const_cast<TEcAttachedLabel*>(label);
  return nullptr;
}

void TEcAttachedLabel::SetControl(gui::TWinControl* c) { control_.Set(c); }

void TEcAttachedLabel::NotifyControl() {
  if (IsLoading() || IsDestroying() || !control_) return;
  gui::TForm* form = ParentForm(this);
  if (!form || control_->Owner() != form) return;
  // Without a window yet the control hears the attachment at once and asks for the label's
  // place when its window is made.
  HWND wnd = control_->WindowHandle();
  if (!wnd) {
    control_->Perform(EntryLabelAttachMessage, 0, reinterpret_cast<LPARAM>(this));
    return;
  }
  SendMessageA(wnd, EntryLabelAttachMessage, 0, reinterpret_cast<LPARAM>(this));
  PostMessageA(wnd, EntryLabelMovedMessage, 0, 0);
}

void TEcAttachedLabel::Loaded() {
  TCustomLabel::Loaded();
  NotifyControl();
}

void TEcAttachedLabel::BoundsChanged() {
  TCustomLabel::BoundsChanged();
  NotifyControl();
}

// ------------------------------------------------------------------------------ TEcLabelLink

TEcLabelLink::TEcLabelLink(gui::TWinControl& control) : control_(control), info_(control) {
  info_.OnVisibleChange.Bind(this, &TEcLabelLink::LabelVisibleChanged);
  info_.OnOffsetsChange.Bind(this, &TEcLabelLink::LabelOffsetsChanged);
  info_.OnLabelGone.Bind(this, &TEcLabelLink::LabelGone);
}

TEcLabelLink::~TEcLabelLink() {
  // Through the setter, so the label goes with the control.
  info_.SetVisible(false);
  info_.SetLabel(nullptr);
}

TEcAttachedLabel* TEcLabelLink::AttachedLabel() const {
  if (!info_.Visible()) throw rtl::Exception(EcResourceString(kStrLabelNotAttached));
  return info_.Label();
}

bool TEcLabelLink::LabelPlaced() const {
  return info_.Visible() && info_.Label() && info_.Label()->Parent() && !control_.IsLoading();
}

POINT TEcLabelLink::LabelOffsets() const {
  const TEcAttachedLabel* label = info_.Label();
  return POINT{label->Left() - control_.Left(), label->Top() + label->Height() - control_.Top()};
}

void TEcLabelLink::PositionLabel() {
  if (!LabelPlaced()) return;
  TEcAttachedLabel* label = info_.Label();
  label->SetBounds(control_.Left() + info_.OffsetX(), control_.Top() - label->Height() + info_.OffsetY(),
                   label->Width(), label->Height());
}

void TEcLabelLink::LabelOffsetsChanged(rtl::TObject*) {
  if (!control_.IsLoading()) PositionLabel();
}

void TEcLabelLink::FreeLabel() {
  TEcAttachedLabel* label = info_.Label();
  if (!label) return;
  info_.SetLabel(nullptr);
  label->Free();
}

void TEcLabelLink::LabelVisibleChanged(rtl::TObject*, bool value) {
  if (control_.IsLoading()) return;
  gui::TForm* form = ParentForm(&control_);
  if (!form) return;
  FreeLabel();
  if (!value) return;
  auto* label = new TEcAttachedLabel(form, &control_);
  info_.SetLabel(label);
  label->SetParent(control_.Parent());
  // The first free name of the control's name and "Label" with a number: cbConnLabel1.
  std::string base = control_.Name() + "Label";
  if (!rtl::IsValidIdent(base)) throw rtl::EComponentError(rtl::Format(rtl::msg::kInvalidName, base.c_str()));
  std::string name;
  for (int i = 1; name.empty() || form->FindComponent(name); ++i) name = base + std::to_string(i);
  label->SetName(name);
  label->SetCaption(name);
  info_.SetOffsets(0, 0);
  PositionLabel();
  // Just given its parent, the label is already the topmost of the parent's graphic controls.
  label->SetAutoSize(false);
}

void TEcLabelLink::HandleMessage(gui::TMessage& m) {
  switch (m.Msg) {
    case EntryLabelAttachMessage:
      if (TEcAttachedLabel* label = TEcAttachedLabel::Verified(m.LParam, control_)) {
        info_.SetLabel(label);
        attachReported_ = true;
      }
      break;
    case EntryLabelMovedMessage:
      if (info_.Label() && info_.Label()->Parent()) {
        // A label that has just attached itself is shown; one kept after LabelInfo.Visible went
        // off without a form to free it stays off when the control's new window asks its place.
        if (attachReported_) info_.StoreVisible(true);
        attachReported_ = false;
        POINT p = LabelOffsets();
        info_.SetOffsets(p.x, p.y);
      }
      break;
    case EntryControlMovedMessage:
      if (LabelPlaced()) {
        POINT p = LabelOffsets();
        if (p.x != info_.OffsetX() || p.y != info_.OffsetY()) PositionLabel();
      }
      break;
    default: return;
  }
  m.Answer(0);
}

void TEcLabelLink::ControlMoved() {
  if (HWND wnd = control_.WindowHandle()) PostMessageA(wnd, EntryControlMovedMessage, 0, 0);
}

void TEcLabelLink::ControlWindowCreated() {
  if (info_.Label()) PostMessageA(control_.WindowHandle(), EntryLabelMovedMessage, 0, 0);
}

void TEcLabelLink::ControlVisibleChanged() {
  if (control_.IsLoading() || !info_.Visible() || !info_.Label()) return;
  info_.Label()->SetVisible(control_.Visible());
}

void TEcLabelLink::LabelGone(rtl::TObject*) {
  // The reference is already gone: a control outliving its label never frees it again.
  gui::TForm* form = ParentForm(&control_);
  if (!form || !form->IsDestroying()) info_.StoreVisible(false);
}

}  // namespace ec
