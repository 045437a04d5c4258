// Events are bound member functions: an object and one of its member functions, assignable,
// comparable and testable for "assigned". A form resource binds them by method name.
#pragma once

#include <bit>
#include <typeinfo>

namespace rtl {

class TObject;
using TGenericMethod = void (TObject::*)();

// A type-erased event value, as the filer and method tables see it. The signature tells which
// TEvent it came from, so a method is never bound to an event of another type.
struct TMethodRef {
  TObject* Data = nullptr;
  TGenericMethod Code = nullptr;
  const std::type_info* Signature = nullptr;
  explicit operator bool() const { return Code != nullptr; }
};

template <class... Args>
class TEvent {
 public:
  using Code = void (TObject::*)(Args...);

  TEvent() = default;
  template <class C>
  TEvent(C* object, void (C::*method)(Args...)) {
    Bind(object, method);
  }

  template <class C>
  void Bind(C* object, void (C::*method)(Args...)) {
    data_ = object;
    code_ = static_cast<Code>(method);
  }
  void Clear() {
    data_ = nullptr;
    code_ = nullptr;
  }
  explicit operator bool() const { return code_ != nullptr; }
  bool operator==(const TEvent& o) const { return data_ == o.data_ && code_ == o.code_; }

  // An unassigned event is skipped.
  void operator()(Args... args) const {
    if (code_) (data_->*code_)(args...);
  }

  TObject* Data() const { return data_; }
  static const std::type_info& Signature() { return typeid(TEvent); }
  TMethodRef Ref() const {
    return TMethodRef{data_, std::bit_cast<TGenericMethod>(code_), &Signature()};
  }
  // False when the method has another signature.
  bool Assign(const TMethodRef& m) {
    if (!m) {
      Clear();
      return true;
    }
    if (!m.Signature || *m.Signature != Signature()) return false;
    data_ = m.Data;
    code_ = std::bit_cast<Code>(m.Code);
    return true;
  }

 private:
  TObject* data_ = nullptr;
  Code code_ = nullptr;
};

using TNotifyEvent = TEvent<TObject*>;

}  // namespace rtl
