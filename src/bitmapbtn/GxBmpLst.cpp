#include "GxBmpLst.h"

#include "GxListItems.h"
#include "rtl/Filer.h"

namespace bitmapbtn {

RTL_IMPLEMENT_CLASS(TGxBitmapList);

namespace {

// Runs a bulk change inside BeginUpdate/EndUpdate, so it is reported once, on every path.
template <class F>
void Bracketed(TGxBitmapList& list, F work) {
  list.BeginUpdate();
  try {
    work();
  } catch (...) {
    list.EndUpdate();
    throw;
  }
  list.EndUpdate();
}
}  // namespace

TGxBitmapList::TGxBitmapList(rtl::TComponent* owner)
    : TGxNonVisualComponent(owner), observable_(std::make_unique<TGxObservable>()) {}

TGxBitmapList::~TGxBitmapList() {
  OnChange.Clear();
  OnChanging.Clear();
  Clear();  // observers hear once that the list is empty
  observable_.reset();
}

void TGxBitmapList::DeclareProperties(rtl::TClassBuilder<TGxBitmapList>& b) {
  b.Event("OnChange", &TGxBitmapList::OnChange);
  b.Event("OnChanging", &TGxBitmapList::OnChanging);
}

void TGxBitmapList::DefineProperties(rtl::TFiler& filer) {
  TGxNonVisualComponent::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "ListItems", [this](rtl::TStream& s) { ReadData(s); }, [this](rtl::TStream& s) { WriteData(s); },
      Count() > 0);
}

gui::TBitmap* TGxBitmapList::GetBitmap(int index) {
  // The images are device-independent sections already; nothing to convert on the way out.
  return bitmaps_[index];
}

void TGxBitmapList::SetBitmap(int index, gui::TBitmap* bitmap) {
  Changing();
  gui::TBitmap* old = bitmaps_[index];
  bitmaps_.Put(index, bitmap ? bitmap : new gui::TBitmap);
  if (old != bitmap) delete old;
  Changed();
}

int TGxBitmapList::Add(gui::TBitmap* bitmap) {
  int index = Count();
  Insert(index, bitmap);
  return index;
}

void TGxBitmapList::Insert(int index, gui::TBitmap* bitmap) {
  Changing();
  auto copy = std::make_unique<gui::TBitmap>();
  copy->Assign(bitmap);
  copy->OnChange.Bind(this, &TGxBitmapList::ItemChanged);
  bitmaps_.Insert(index, copy.get());
  copy.release();
  Changed();
}

void TGxBitmapList::Delete(int index) {
  Changing();
  gui::TBitmap* b = bitmaps_[index];
  bitmaps_.Delete(index);
  delete b;
  Changed();
}

void TGxBitmapList::Clear() {
  Bracketed(*this, [this] {
    for (int i = Count() - 1; i >= 0; --i) Delete(i);
  });
}

void TGxBitmapList::AddList(TGxBitmapList* source) {
  if (!source) return;
  Bracketed(*this, [this, source] {
    // The count is taken once, so a list appended to itself doubles instead of growing forever.
    int n = source->Count();
    for (int i = 0; i < n; ++i) Add(source->GetBitmap(i));
  });
}

void TGxBitmapList::Assign(rtl::TPersistent* source) {
  if (!source) return Clear();
  auto* list = rtl::As<TGxBitmapList>(source);
  if (!list) return TGxNonVisualComponent::Assign(source);
  if (list == this) return;  // already equal; clearing first would lose every image
  Bracketed(*this, [this, list] {
    Clear();
    AddList(list);
  });
}

void TGxBitmapList::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TGxBitmapList::EndUpdate() {
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

void TGxBitmapList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TGxBitmapList::Changing() {
  if (updateCount_ == 0) OnChanging(this);
}

void TGxBitmapList::Changed() {
  if (updateCount_ != 0) return;
  if (observable_) observable_->Notify(this);
  OnChange(this);
}

void TGxBitmapList::AddObserver(TGxObserver* o) {
  if (observable_) observable_->AddObserver(o);
}

void TGxBitmapList::RemoveObserver(TGxObserver* o) {
  if (observable_) observable_->RemoveObserver(o);
}

void TGxBitmapList::ReadData(rtl::TStream& stream) {
  // Images read before a failure stay in the list.
  Bracketed(*this, [this, &stream] {
    Clear();
    gui::TBitmap scratch;
    ReadListItems(stream, [this, &scratch](rtl::TStream& record) {
      scratch.LoadFromStream(record);
      Add(&scratch);
    });
  });
}

void TGxBitmapList::WriteData(rtl::TStream& stream) {
  WriteListItems(stream, Count(), [this](int i, rtl::TStream& out) { GetBitmap(i)->SaveToStream(out); });
}

}  // namespace bitmapbtn
