// The bitmap list: an ordered list of owned bitmaps that tells its subscribers of every change,
// stored in a form resource as the "ListItems" stream.
#pragma once

#include <memory>

#include "Bitmap.h"
#include "GxObj.h"
#include "GxObsrv.h"
#include "rtl/Lists.h"
#include "rtl/Streams.h"

namespace bitmapbtn {

class TGxBitmapList : public TGxNonVisualComponent {
  RTL_CLASS(TGxBitmapList, TGxNonVisualComponent)
 public:
  explicit TGxBitmapList(rtl::TComponent* owner);
  ~TGxBitmapList() override;

  int Count() const { return bitmaps_.Count(); }
  // The stored bitmap itself: callers use it but never free it.
  virtual gui::TBitmap* GetBitmap(int index);
  // Stores the object itself (no copy, its changes are not followed) and takes ownership of it;
  // the bitmap it replaces is freed. nullptr stores an empty bitmap.
  virtual void SetBitmap(int index, gui::TBitmap* bitmap);
  // Add and Insert store a copy; the caller keeps its own object.
  int Add(gui::TBitmap* bitmap);
  void Insert(int index, gui::TBitmap* bitmap);
  void Delete(int index);
  void Clear();
  // Appends copies of every bitmap of source.
  void AddList(TGxBitmapList* source);
  void Assign(rtl::TPersistent* source) override;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  void AddObserver(TGxObserver* o);
  void RemoveObserver(TGxObserver* o);

  // The "ListItems" stream: "MBML", the count, then per image its length and a bitmap file.
  virtual void ReadData(rtl::TStream& stream);
  virtual void WriteData(rtl::TStream& stream);

  rtl::TNotifyEvent OnChange, OnChanging;

  void DefineProperties(rtl::TFiler& filer) override;
  static void DeclareProperties(rtl::TClassBuilder<TGxBitmapList>& b);

  virtual void Changed();
  virtual void Changing();

 protected:
  virtual void SetUpdateState(bool updating);

 private:
  void ItemChanged(rtl::TObject*) { Changed(); }

  rtl::TList<gui::TBitmap*> bitmaps_;
  int updateCount_ = 0;
  std::unique_ptr<TGxObservable> observable_;
};

}  // namespace bitmapbtn
