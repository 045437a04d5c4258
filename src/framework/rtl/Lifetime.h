// Knowing that an object still lives after a call that may have freed it.
//
// A handler may free what called it: the control that fired an event, its form, the component
// whose timer ticked. Code that calls into user code and has more to do afterwards takes a token
// first and asks it after the call:
//
//   rtl::TAliveToken alive = AliveToken();
//   Click();                 // an OnClick handler may free this control
//   if (!alive) return;      // nothing of this object is touched once it is gone
//   Select();
#pragma once

#include <memory>

namespace rtl {

// Answers whether the object that handed it out still exists. Cheap to copy; outlives the object.
class TAliveToken {
 public:
  TAliveToken() = default;
  bool Alive() const { return flag_ && *flag_; }
  explicit operator bool() const { return Alive(); }

 private:
  friend class TLifetime;
  explicit TAliveToken(std::shared_ptr<const bool> flag) : flag_(std::move(flag)) {}
  std::shared_ptr<const bool> flag_;
};

// The object's side: a member that hands out tokens and ends them when the object goes (when
// the member is destroyed, or earlier with End). The shared flag is made only when a token is
// first asked for.
class TLifetime {
 public:
  TLifetime() = default;
  ~TLifetime() { End(); }
  TLifetime(const TLifetime&) = delete;
  TLifetime& operator=(const TLifetime&) = delete;

  TAliveToken Token() const {
    if (!flag_) flag_ = std::make_shared<bool>(!ended_);
    return TAliveToken(flag_);
  }
  // Every token says "gone" from now on.
  void End() {
    ended_ = true;
    if (flag_) *flag_ = false;
  }

 private:
  mutable std::shared_ptr<bool> flag_;
  bool ended_ = false;
};

}  // namespace rtl
