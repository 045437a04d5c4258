// Persistent objects and components: ownership, names, free notification and loading state.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Exceptions.h"
#include "Lifetime.h"

namespace rtl {

class TFiler;

class TPersistent : public TObject {
  RTL_CLASS(TPersistent, TObject)
 public:
  // Copies Source into this object; classes that cannot take Source raise the assign error.
  virtual void Assign(TPersistent* source);
  // Declares stored properties beyond the published ones (binary data, lists).
  virtual void DefineProperties(TFiler& filer) {}

 protected:
  virtual void AssignTo(TPersistent* dest);
};

enum TComponentStateFlag : unsigned {
  csLoading = 1,
  csReading = 2,
  csWriting = 4,
  csDestroying = 8,
  csDesigning = 16,
};

enum class TOperation { opInsert, opRemove };

class TComponent;

// The untyped part of TComponentRef.
class TComponentRefBase {
 public:
  TComponentRefBase(const TComponentRefBase&) = delete;
  TComponentRefBase& operator=(const TComponentRefBase&) = delete;

 protected:
  TComponentRefBase(TComponent& holder, std::function<void()> onCleared);
  ~TComponentRefBase();
  TComponent* Target() const { return target_; }
  void Assign(TComponent* target);

 private:
  friend class TComponent;
  TComponent& holder_;
  TComponent* target_ = nullptr;
  std::function<void()> onCleared_;
};

// A reference from a component (its holder) to another component that the holder does not own.
// While it is set the two are linked by free notification; when the target goes (or leaves the
// holder's owner), the reference is cleared and onCleared runs, before the holder's Notification
// hears of it. Several references of one holder may name the same target.
template <class T>
class TComponentRef : public TComponentRefBase {
 public:
  explicit TComponentRef(TComponent& holder, std::function<void()> onCleared = nullptr)
      : TComponentRefBase(holder, std::move(onCleared)) {}
  T* Get() const { return static_cast<T*>(Target()); }
  operator T*() const { return Get(); }
  T* operator->() const { return Get(); }
  void Set(T* target) { Assign(target); }
};

class TComponent : public TPersistent {
  RTL_CLASS(TComponent, TPersistent)
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // Raises EComponentError for an invalid identifier or a name the owner already holds.
  virtual void SetName(const std::string& name);
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  TComponent* FindComponent(const std::string& name) const;
  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);
  // Frees the owned components, last created first.
  void DestroyComponents();
  // Runs while the whole object still exists, just before it is deleted by its owner or by Free
  // (a destructor cannot reach a descendant's handlers any more).
  virtual void BeforeDestruction() {}
  // BeforeDestruction, then delete.
  void Free() {
    BeforeDestruction();
    delete this;
  }

  // Asks to be told (Notification with opRemove) when c is freed; the link is mutual.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);
  // Says after a call into user code whether this component still exists (Lifetime.h).
  TAliveToken AliveToken() const { return lifetime_.Token(); }

  unsigned ComponentState() const { return state_; }
  bool IsLoading() const { return (state_ & csLoading) != 0; }
  bool IsDestroying() const { return (state_ & csDestroying) != 0; }
  void BeginLoading() { state_ |= csLoading | csReading; }

  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }
  // Design-time position of a non-visual component: stored, no effect at run time.
  int DesignLeft() const { return designLeft_; }
  int DesignTop() const { return designTop_; }
  void SetDesignPosition(int left, int top) {
    designLeft_ = left;
    designTop_ = top;
  }

  // The end of loading: every property of the whole resource is set and references resolved.
  virtual void Loaded();
  // A component was inserted into or removed from this component's owner chain, or a component
  // this one asked to be notified about is being freed.
  virtual void Notification(TComponent* c, TOperation op);

  // The visual parent in a form resource's nesting, for classes that have one.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) {}
  // The components a form resource nests inside this one.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {}

  void DefineProperties(TFiler& filer) override;
  static void DeclareProperties(TClassBuilder<TComponent>& b);

 protected:
  // Marks this component and everything it owns as being destroyed.
  void Destroying();

 private:
  friend class TComponentRefBase;
  // Clears this component's references to c, then tells Notification.
  void Notify(TComponent* c, TOperation op);
  bool Refers(const TComponent* c) const;

  // First, so that it ends last: tokens say "alive" until the whole destructor has run.
  TLifetime lifetime_;
  std::vector<TComponentRefBase*> refs_;
  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  unsigned state_ = 0;
  int tag_ = 0;
  int designLeft_ = 0, designTop_ = 0;
};

}  // namespace rtl
