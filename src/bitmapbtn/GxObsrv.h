// The observer link: controls subscribe to an observable (a bitmap list's) and hear of its changes.
#pragma once

#include "rtl/Classes.h"
#include "rtl/Events.h"
#include "rtl/Lists.h"

namespace bitmapbtn {

class TGxObservable;

// Called as OnUpdate(Sender = the observer, Data = the object that changed).
using TGxUpdateEvent = rtl::TEvent<rtl::TObject*, rtl::TObject*>;

class TGxObserver : public rtl::TObject {
 public:
  TGxObserver() = default;
  // Leaves its observable when attached.
  ~TGxObserver() override;
  TGxObserver(const TGxObserver&) = delete;
  TGxObserver& operator=(const TGxObserver&) = delete;

  TGxObservable* Observable() const { return observable_; }
  virtual void Update(rtl::TObject* data);
  TGxUpdateEvent OnUpdate;

 private:
  friend class TGxObservable;
  TGxObservable* observable_ = nullptr;
};

class TGxObservable : public rtl::TObject {
 public:
  TGxObservable() = default;
  // Detaches every observer, the last one first.
  ~TGxObservable() override;
  TGxObservable(const TGxObservable&) = delete;
  TGxObservable& operator=(const TGxObservable&) = delete;

  // Moves the observer here from any observable it is attached to; nullptr is ignored.
  void AddObserver(TGxObserver* o);
  // Only an observer attached to this observable is removed.
  void RemoveObserver(TGxObserver* o);
  // Updates every observer, the most recently attached first.
  void Notify(rtl::TObject* data);
  int Count() const { return observers_.Count(); }
  TGxObserver* Observers(int i) const { return observers_[i]; }

 private:
  rtl::TList<TGxObserver*> observers_;
};

}  // namespace bitmapbtn
