#include "ControlsTest.h"

#include "entry/EcBeep.h"

namespace entrytest {

namespace {

int g_beeps = 0;
UINT g_lastBeep = 0xFFFFFFFF;

BOOL CountBeep(UINT type) {
  ++g_beeps;
  g_lastBeep = type;
  return TRUE;
}

void Send(INPUT* in, UINT n) {
  SendInput(n, in, sizeof(INPUT));
  PumpFor(15);
}

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

}  // namespace

TBeepCounter::TBeepCounter() {
  g_beeps = 0;
  g_lastBeep = 0xFFFFFFFF;
  ec::SetMessageBeepSource(&CountBeep);
}
TBeepCounter::~TBeepCounter() { ec::SetMessageBeepSource(nullptr); }
int TBeepCounter::Count() const { return g_beeps; }
UINT TBeepCounter::LastType() const { return g_lastBeep; }

void PressKey(WORD vk) {
  INPUT in[2] = {Key(vk, false), Key(vk, true)};
  Send(in, 2);
}

void TypeKeys(const std::string& text) {
  for (char ch : text) {
    SHORT scan = VkKeyScanA(ch);
    WORD vk = LOBYTE(scan);
    bool shift = (HIBYTE(scan) & 1) != 0;
    INPUT in[4];
    UINT n = 0;
    if (shift) in[n++] = Key(VK_SHIFT, false);
    in[n++] = Key(vk, false);
    in[n++] = Key(vk, true);
    if (shift) in[n++] = Key(VK_SHIFT, true);
    Send(in, n);
  }
}

void MoveMouse(POINT p) {
  SetCursorPos(p.x, p.y);
  // A move of nothing, through the input queue: the windows under the pointer hear it.
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE;
  Send(&in, 1);
  PumpFor(30);
}

void TurnWheel(int delta) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_WHEEL;
  in.mi.mouseData = static_cast<DWORD>(delta);
  Send(&in, 1);
  PumpFor(30);
}

void ClickAt(POINT p) {
  MoveMouse(p);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send(in, 2);
  PumpFor(50);
}

}  // namespace entrytest
