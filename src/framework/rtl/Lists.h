// Ordered lists with the framework's bounds errors: TList<T> for values and pointers,
// TStringList for strings with an associated object each.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace rtl {

[[noreturn]] void ListIndexError(long long index);

template <class T>
class TList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const T& operator[](int i) const { return items_[Checked(i)]; }
  T& operator[](int i) { return items_[Checked(i)]; }
  const T& Items(int i) const { return items_[Checked(i)]; }
  void Put(int i, T v) { items_[Checked(i)] = std::move(v); }
  int Add(T v) {
    items_.push_back(std::move(v));
    return Count() - 1;
  }
  void Insert(int i, T v) {
    if (i < 0 || i > Count()) ListIndexError(i);
    items_.insert(items_.begin() + i, std::move(v));
  }
  void Delete(int i) { items_.erase(items_.begin() + Checked(i)); }
  void Move(int from, int to) {
    T v = items_[Checked(from)];
    Checked(to);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(v));
  }
  int IndexOf(const T& v) const {
    auto it = std::find(items_.begin(), items_.end(), v);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  }
  int Remove(const T& v) {
    int i = IndexOf(v);
    if (i >= 0) Delete(i);
    return i;
  }
  void Clear() { items_.clear(); }
  const T& First() const { return (*this)[0]; }
  const T& Last() const { return (*this)[Count() - 1]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  size_t Checked(int i) const {
    if (i < 0 || i >= Count()) ListIndexError(i);
    return static_cast<size_t>(i);
  }
  std::vector<T> items_;
};

class TObject;

class TStringList {
 public:
  enum class Dup { Ignore, Accept, Error };

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Strings(int i) const;
  void PutString(int i, const std::string& s);
  TObject* Objects(int i) const;
  void PutObject(int i, TObject* o);
  int Add(const std::string& s) { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, TObject* o);
  void Insert(int i, const std::string& s, TObject* o = nullptr);
  void Delete(int i);
  void Clear();
  void Exchange(int a, int b);
  int IndexOf(const std::string& s) const;  // case-insensitive, as users expect of names
  int IndexOfObject(const TObject* o) const;
  void Assign(const TStringList& other);
  void AddStrings(const TStringList& other);
  // Lines joined with CRLF, each line ending with one; SetText splits at CR, LF or CRLF.
  std::string Text() const;
  void SetText(const std::string& text);
  std::string CommaText() const;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  Dup Duplicates() const { return duplicates_; }
  void SetDuplicates(Dup d) { duplicates_ = d; }
  void Sort();
  // Binary search on a sorted list: true and the index when found, else the insertion point.
  bool Find(const std::string& s, int& index) const;

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  std::function<void(TStringList&)> OnChange;

 private:
  struct Item {
    std::string s;
    TObject* o;
  };
  size_t Checked(int i) const;
  void Changed();
  std::vector<Item> items_;
  bool sorted_ = false;
  Dup duplicates_ = Dup::Ignore;
  int updateCount_ = 0;
};

// BeginUpdate now, EndUpdate on every way out of the scope (an exception included).
template <class L>
class TUpdateScope {
 public:
  explicit TUpdateScope(L& list) : list_(list) { list_.BeginUpdate(); }
  ~TUpdateScope() { list_.EndUpdate(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  L& list_;
};

}  // namespace rtl
