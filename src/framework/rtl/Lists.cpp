#include "Lists.h"

namespace rtl {

void ListIndexError(long long index) {
  throw EListError(Format(msg::kListIndexError, static_cast<int>(index)));
}

size_t TStringList::Checked(int i) const {
  if (i < 0 || i >= Count()) throw EStringListError(Format(msg::kListIndexError, i));
  return static_cast<size_t>(i);
}

void TStringList::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange(*this);
}

void TStringList::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

const std::string& TStringList::Strings(int i) const { return items_[Checked(i)].s; }
TObject* TStringList::Objects(int i) const { return items_[Checked(i)].o; }

void TStringList::PutString(int i, const std::string& s) {
  if (sorted_) throw EStringListError(msg::kSortedListError);
  items_[Checked(i)].s = s;
  Changed();
}

void TStringList::PutObject(int i, TObject* o) {
  items_[Checked(i)].o = o;
  Changed();
}

int TStringList::AddObject(const std::string& s, TObject* o) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == Dup::Ignore) return index;
    if (duplicates_ == Dup::Error) throw EStringListError(msg::kDuplicateString);
  }
  items_.insert(items_.begin() + index, Item{s, o});
  Changed();
  return index;
}

void TStringList::Insert(int i, const std::string& s, TObject* o) {
  if (sorted_) throw EStringListError(msg::kSortedListError);
  if (i < 0 || i > Count()) throw EStringListError(Format(msg::kListIndexError, i));
  items_.insert(items_.begin() + i, Item{s, o});
  Changed();
}

void TStringList::Delete(int i) {
  items_.erase(items_.begin() + static_cast<long>(Checked(i)));
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TStringList::Exchange(int a, int b) {
  std::swap(items_[Checked(a)], items_[Checked(b)]);
  Changed();
}

int TStringList::IndexOf(const std::string& s) const {
  if (sorted_) {
    int i;
    return Find(s, i) ? i : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (SameText(items_[static_cast<size_t>(i)].s, s)) return i;
  return -1;
}

int TStringList::IndexOfObject(const TObject* o) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].o == o) return i;
  return -1;
}

void TStringList::Assign(const TStringList& other) {
  if (&other == this) return;
  BeginUpdate();
  items_.clear();
  AddStrings(other);
  EndUpdate();
}

void TStringList::AddStrings(const TStringList& other) {
  BeginUpdate();
  for (int i = 0; i < other.Count(); ++i) AddObject(other.Strings(i), other.Objects(i));
  EndUpdate();
}

std::string TStringList::Text() const {
  std::string r;
  for (auto& it : items_) {
    r += it.s;
    r += "\r\n";
  }
  return r;
}

void TStringList::SetText(const std::string& text) {
  BeginUpdate();
  items_.clear();
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
    Add(text.substr(i, j - i));
    if (j < text.size() && text[j] == '\r') ++j;
    if (j < text.size() && text[j] == '\n') ++j;
    i = j;
  }
  EndUpdate();
}

std::string TStringList::CommaText() const {
  std::string r;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i) r += ',';
    const std::string& s = items_[i].s;
    bool quote = s.empty() || s.find_first_of(" ,\"") != std::string::npos;
    if (!quote) {
      r += s;
      continue;
    }
    r += '"';
    for (char c : s) {
      if (c == '"') r += '"';
      r += c;
    }
    r += '"';
  }
  return r;
}

void TStringList::SetSorted(bool v) {
  if (v == sorted_) return;
  if (v) Sort();
  sorted_ = v;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const Item& a, const Item& b) { return CompareText(a.s, b.s) < 0; });
  Changed();
}

bool TStringList::Find(const std::string& s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareText(items_[static_cast<size_t>(mid)].s, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != Dup::Accept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

}  // namespace rtl
