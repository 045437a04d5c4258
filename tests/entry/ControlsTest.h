// Helpers of the entry controls' tests: a shown form with a controller, real keyboard and mouse
// input through the platform's input queue, and the beeps counted through the family's seam.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "EntryTest.h"
#include "Forms.h"
#include "entry/EcBase.h"

namespace entrytest {

// While it exists the family's beeps are counted, not sounded.
class TBeepCounter {
 public:
  TBeepCounter();
  ~TBeepCounter();
  TBeepCounter(const TBeepCounter&) = delete;
  TBeepCounter& operator=(const TBeepCounter&) = delete;
  int Count() const;
  UINT LastType() const;
};

// Typed as a person types: each character's key with Shift where it needs it.
void TypeKeys(const std::string& text);
void PressKey(WORD vk);
void MoveMouse(POINT screen);
void TurnWheel(int delta);
void ClickAt(POINT screen);

// A form with a controller on it, to be shown on the screen, active.
struct ShownForm : ::testing::Test, tsupport::TTestForm {
  ec::TEcController* controller = new ec::TEcController(form);
  ShownForm() : TTestForm(100, 100, 520, 360) {}
};

}  // namespace entrytest
