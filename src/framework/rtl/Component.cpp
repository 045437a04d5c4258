#include "Component.h"

#include <algorithm>

#include "Exceptions.h"
#include "Filer.h"
#include "Lists.h"

namespace rtl {

RTL_IMPLEMENT_CLASS(TPersistent);
RTL_IMPLEMENT_CLASS(TComponent);

void TPersistent::Assign(TPersistent* source) {
  if (source)
    source->AssignTo(this);
  else
    AssignTo(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) {
  // This object (the source) cannot be copied into dest.
  throw EConvertError(Format(msg::kAssignError, ClassName().c_str(), dest ? dest->ClassName().c_str() : "nil"));
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Those who hold a reference to this component clear it now.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& theirs = c->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    c->Notify(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (state_ & csDestroying) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) ListIndexError(index);
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError(Format(msg::kInvalidName, name.c_str()));
  if (owner_ && !SameText(name, name_) && owner_->FindComponent(name))
    throw EComponentError(Format(msg::kDuplicateName, name.c_str()));
  name_ = name;
}

void TComponent::InsertComponent(TComponent* c) {
  if (!c->name_.empty() && FindComponent(c->name_))
    throw EComponentError(Format(msg::kDuplicateName, c->name_.c_str()));
  if (c->owner_) c->owner_->RemoveComponent(c);
  components_.push_back(c);
  c->owner_ = this;
  Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  auto it = std::find(components_.begin(), components_.end(), c);
  if (it == components_.end()) return;
  Notify(c, TOperation::opRemove);
  it = std::find(components_.begin(), components_.end(), c);
  if (it != components_.end()) components_.erase(it);
  c->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    c->BeforeDestruction();
    RemoveComponent(c);
    delete c;
  }
}

void TComponent::FreeNotification(TComponent* c) {
  if (!c || c == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) freeNotifies_.push_back(c);
  auto& theirs = c->freeNotifies_;
  if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (!c) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), c), freeNotifies_.end());
  auto& theirs = c->freeNotifies_;
  theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Loaded() { state_ &= ~(csLoading | csReading); }

void TComponent::Notification(TComponent* c, TOperation op) {
  if (op == TOperation::opRemove && c) RemoveFreeNotification(c);
  // Owned components hear of insertions and removals too (they may hold references). A handler
  // may free components, this one included: each one is called only while it is still owned
  // here.
  TAliveToken alive = AliveToken();
  std::vector<TComponent*> owned = components_;
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
    if (*it == c || std::find(components_.begin(), components_.end(), *it) == components_.end()) continue;
    (*it)->Notify(c, op);
    if (!alive) return;
  }
}

void TComponent::Notify(TComponent* c, TOperation op) {
  if (op == TOperation::opRemove && c) {
    TAliveToken alive = AliveToken();
    for (TComponentRefBase* ref : std::vector<TComponentRefBase*>(refs_)) {
      // An earlier reference's handler may have let this one go.
      if (std::find(refs_.begin(), refs_.end(), ref) == refs_.end() || ref->target_ != c) continue;
      ref->target_ = nullptr;
      if (ref->onCleared_) ref->onCleared_();
      if (!alive) return;
    }
  }
  Notification(c, op);
}

bool TComponent::Refers(const TComponent* c) const {
  return std::any_of(refs_.begin(), refs_.end(), [c](const TComponentRefBase* r) { return r->target_ == c; });
}

// ------------------------------------------------------------------------- TComponentRef

TComponentRefBase::TComponentRefBase(TComponent& holder, std::function<void()> onCleared)
    : holder_(holder), onCleared_(std::move(onCleared)) {
  holder_.refs_.push_back(this);
}

TComponentRefBase::~TComponentRefBase() {
  std::erase(holder_.refs_, this);
  if (target_ && !holder_.Refers(target_)) holder_.RemoveFreeNotification(target_);
}

void TComponentRefBase::Assign(TComponent* target) {
  if (target == target_) return;
  TComponent* old = target_;
  target_ = target;
  // The link stays while another reference of the holder still names the old target.
  if (old && !holder_.Refers(old)) holder_.RemoveFreeNotification(old);
  if (target) holder_.FreeNotification(target);
}

void TComponent::DefineProperties(TFiler& filer) {
  bool stored = designLeft_ != 0 || designTop_ != 0;
  filer.DefineProperty(
      "Left", [this](TReader& r) { designLeft_ = static_cast<int>(r.ReadInteger()); },
      [this](TWriter& w) { w.WriteInteger(designLeft_); }, stored);
  filer.DefineProperty(
      "Top", [this](TReader& r) { designTop_ = static_cast<int>(r.ReadInteger()); },
      [this](TWriter& w) { w.WriteInteger(designTop_); }, stored);
}

void TComponent::DeclareProperties(TClassBuilder<TComponent>& b) {
  b.Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
}

}  // namespace rtl
