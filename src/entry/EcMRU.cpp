#include "entry/EcMRU.h"

#include <windows.h>

namespace ec {

bool TEcMRUList::SameTextLocale(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

void TEcMRUList::SetMaxItems(int n) {
  maxItems_ = n;
  Shrink();
}

void TEcMRUList::AddToList(const std::string& text, rtl::TObject* object) {
  for (int i = 0; i < items_.Count(); ++i)
    if (SameTextLocale(items_.Strings(i), text)) {
      items_.Delete(i);
      items_.Insert(0, text, object);
      return;
    }
  items_.Insert(0, text, object);
  Shrink();
}

void TEcMRUList::Shrink() {
  while (items_.Count() > 0 && items_.Count() > maxItems_) items_.Delete(items_.Count() - 1);
}

}  // namespace ec
