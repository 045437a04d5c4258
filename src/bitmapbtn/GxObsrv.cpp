#include "GxObsrv.h"

namespace bitmapbtn {

TGxObserver::~TGxObserver() {
  if (observable_) observable_->RemoveObserver(this);
}

void TGxObserver::Update(rtl::TObject* data) { OnUpdate(this, data); }

TGxObservable::~TGxObservable() {
  while (observers_.Count() > 0) RemoveObserver(observers_.Last());
}

void TGxObservable::AddObserver(TGxObserver* o) {
  if (!o) return;
  if (o->observable_) o->observable_->RemoveObserver(o);
  observers_.Add(o);
  o->observable_ = this;
}

void TGxObservable::RemoveObserver(TGxObserver* o) {
  if (!o || o->observable_ != this) return;
  observers_.Remove(o);
  o->observable_ = nullptr;
}

void TGxObservable::Notify(rtl::TObject* data) {
  // An observer may leave (or make others leave) while it is being updated.
  for (int i = observers_.Count() - 1; i >= 0; --i)
    if (i < observers_.Count()) observers_[i]->Update(data);
}

}  // namespace bitmapbtn
