// Records the messages that windows and controls receive and compares them with an expected
// sequence, in the manner of Wine's user32 conformance tests: a table of {message, flags}
// entries, where the flags say how a message must have arrived (sent, posted, at the default
// procedure), which entries may be missing, and whether wParam/lParam must match. A mismatch
// comes with a readable dump of what arrived.
//
//   tsupport::TMessageRecorder rec;
//   rec.Watch(*form, "form");
//   rec.Watch(*child, "child");
//   rec.Only({WM_DRAWITEM, gui::CN_DRAWITEM});
//   SendMessageA(form->Handle(), WM_DRAWITEM, id, lp);
//   EXPECT_TRUE(rec.Matches({{WM_DRAWITEM, sent}, {gui::CN_DRAWITEM, sent, 0, 0, child}}));
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Controls.h"

namespace tsupport {

enum TMsgFlag : unsigned {
  sent = 1,         // reached the procedure directly (SendMessage, Perform, the system)
  posted = 2,       // came out of the thread's queue (PostMessage, WM_TIMER, WM_PAINT, input)
  defwinproc = 4,   // recorded at the default procedure: the window passed the message on
  optional = 8,     // (expected only) may be missing
  wparam = 16,      // (expected only) wParam must be equal
  lparam = 32,      // (expected only) lParam must be equal
};

struct TExpectedMsg {
  UINT message;
  unsigned flags;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  const void* who = nullptr;  // the window (HWND) or control it must have reached; nullptr: any
};

struct TRecordedMsg {
  const void* who;  // the HWND or the TControl* it was watched as
  UINT message;
  unsigned flags;   // sent or posted, or defwinproc
  WPARAM wParam;
  LPARAM lParam;
};

// A message's name ("WM_PAINT", "CN_DRAWITEM", "CM_ENABLEDCHANGED"), else its number.
std::string MessageName(UINT msg);

// One recorder at a time per thread. Destroy it before the windows and controls it watches go,
// or let them go first: both orders are safe.
class TMessageRecorder {
 public:
  TMessageRecorder();
  ~TMessageRecorder();
  TMessageRecorder(const TMessageRecorder&) = delete;
  TMessageRecorder& operator=(const TMessageRecorder&) = delete;

  // What the window's procedure receives (a subclass on top of it); when the window is one of
  // the framework's (a control or utility window), also what reaches its default procedure.
  void Watch(HWND wnd, const std::string& name = "");
  // What the control handles (its WindowProc), Perform's messages included; for a windowed
  // control whose window exists, also what reaches the window's default procedure.
  void Watch(gui::TControl& control, const std::string& name = "");

  // Leaves these messages out (some are left out from the start: WM_GETICON, the IME's, ...).
  void Ignore(std::initializer_list<UINT> messages);
  // Records only these messages.
  void Only(std::initializer_list<UINT> messages);
  void Clear() { messages_.clear(); }

  const std::vector<TRecordedMsg>& Messages() const { return messages_; }
  int Count(UINT msg, const void* who = nullptr) const;
  ::testing::AssertionResult Matches(const std::vector<TExpectedMsg>& expected) const;
  std::string Dump() const;

 private:
  struct TWindowWatch;
  struct TControlWatch;
  void Record(const void* who, UINT msg, unsigned flags, WPARAM wParam, LPARAM lParam);
  // sent or posted, for a message entering the procedure of wnd.
  unsigned Arrival(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void ProbeDefault(HWND wnd, const void* who);
  std::string NameOf(const void* who) const;
  std::string Describe(const TRecordedMsg& m) const;
  std::string Describe(const TExpectedMsg& m) const;

  std::vector<TRecordedMsg> messages_;
  std::set<UINT> ignored_;
  std::set<UINT> only_;
  std::vector<std::unique_ptr<TWindowWatch>> windows_;
  std::map<HWND, std::unique_ptr<gui::TSubclass>> probes_;
  std::vector<std::unique_ptr<TControlWatch>> controls_;
  HHOOK getMessageHook_ = nullptr;
};

}  // namespace tsupport
