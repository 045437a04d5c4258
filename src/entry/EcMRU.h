// The bookkeeping behind a combo box's most-recently-used section: the texts picked last, newest
// first, at most MaxItems of them. It lives in memory only.
#pragma once

#include <string>

#include "rtl/Classes.h"
#include "rtl/Lists.h"

namespace ec {

class TEcMRUList {
 public:
  int MaxItems() const { return maxItems_; }
  // Stores n, then Shrink.
  void SetMaxItems(int n);
  // The entries, most recent first (texts with their object references).
  const rtl::TStringList& Items() const { return items_; }
  int Count() const { return items_.Count(); }

  // A text already present (letter case ignored, by the user's locale) moves to the front,
  // written as now given; a new one goes in front, and the oldest beyond MaxItems drop out.
  void AddToList(const std::string& text, rtl::TObject* object);
  // Drops the last entries while there are more than MaxItems (0 or less: all of them).
  void Shrink();
  void ClearList() { items_.Clear(); }

  // The user's locale's comparison of two texts, letter case ignored.
  static bool SameTextLocale(const std::string& a, const std::string& b);

 private:
  int maxItems_ = 3;
  rtl::TStringList items_;
};

}  // namespace ec
