// The values that shape a 3-D label's text: a highlight layer and a shadow layer (colour, depth,
// direction and style each) and a colour gradient for the face. The owning label hears of every
// change through one notification for colours and one for everything else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Colors.h"
#include "rtl/Component.h"

namespace fx {

enum TFxShadeDirection : uint8_t {
  sdNone, sdUp, sdUpRight, sdRight, sdDownRight, sdDown, sdDownLeft, sdLeft, sdUpLeft
};
enum TFxShadeStyle : uint8_t { ssPlain, ssExtrude, ssGraduated };
enum TFxGraduateStyle : uint8_t { gsNone, gsHorizontal, gsVertical };
// Pixels.
using TFxDepth = uint8_t;

// One pixel's step in a direction: x grows to the right, y downwards.
struct TFxOffset {
  int dx, dy;
};
TFxOffset DirectionOffsets(TFxShadeDirection d);

const std::vector<std::string>& ShadeDirectionNames();
const std::vector<std::string>& ShadeStyleNames();
const std::vector<std::string>& GraduateStyleNames();

// Colours are taken by their three low bytes as red, green and blue: plain RGB values, never
// resolved as system colours.
class TFxCustomSettings : public rtl::TPersistent {
  RTL_CLASS(TFxCustomSettings, rtl::TPersistent)
 public:
  gui::TColor GraduateFromColor() const { return graduateFromColor_; }
  void SetGraduateFromColor(gui::TColor v) { Change(graduateFromColor_, v, OnColorChange); }
  TFxGraduateStyle GraduateStyle() const { return graduateStyle_; }
  void SetGraduateStyle(TFxGraduateStyle v) { Change(graduateStyle_, v, OnStyleChange); }
  gui::TColor HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(gui::TColor v) { Change(highlightColor_, v, OnColorChange); }
  TFxDepth HighlightDepth() const { return highlightDepth_; }
  void SetHighlightDepth(TFxDepth v) { Change(highlightDepth_, v, OnStyleChange); }
  TFxShadeDirection HighlightDirection() const { return highlightDirection_; }
  void SetHighlightDirection(TFxShadeDirection v) { Change(highlightDirection_, v, OnStyleChange); }
  TFxShadeStyle HighlightStyle() const { return highlightStyle_; }
  void SetHighlightStyle(TFxShadeStyle v) { Change(highlightStyle_, v, OnStyleChange); }
  gui::TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(gui::TColor v) { Change(shadowColor_, v, OnColorChange); }
  TFxDepth ShadowDepth() const { return shadowDepth_; }
  void SetShadowDepth(TFxDepth v) { Change(shadowDepth_, v, OnStyleChange); }
  TFxShadeDirection ShadowDirection() const { return shadowDirection_; }
  void SetShadowDirection(TFxShadeDirection v) { Change(shadowDirection_, v, OnStyleChange); }
  TFxShadeStyle ShadowStyle() const { return shadowStyle_; }
  void SetShadowStyle(TFxShadeStyle v) { Change(shadowStyle_, v, OnStyleChange); }

  // Sender: this object. Neither is sent while UpdateLock is on.
  rtl::TNotifyEvent OnColorChange;
  rtl::TNotifyEvent OnStyleChange;
  bool UpdateLock() const { return updateLock_; }
  void BeginUpdate() { updateLock_ = true; }
  // Ends the lock and sends the colour notification, then the style notification, whether or
  // not anything changed meanwhile.
  void EndUpdate();

  // From another settings object: the ten values, without any notification.
  void Assign(rtl::TPersistent* source) override;

  static void DeclareProperties(rtl::TClassBuilder<TFxCustomSettings>& b);

 private:
  template <class T>
  void Change(T& field, T v, const rtl::TNotifyEvent& notification) {
    if (field == v) return;
    field = v;
    Notify(notification);
  }
  void Notify(const rtl::TNotifyEvent& notification);

  gui::TColor graduateFromColor_ = gui::clGray;
  TFxGraduateStyle graduateStyle_ = gsNone;
  gui::TColor highlightColor_ = gui::clWhite;
  TFxDepth highlightDepth_ = 1;
  TFxShadeDirection highlightDirection_ = sdUpLeft;
  TFxShadeStyle highlightStyle_ = ssPlain;
  gui::TColor shadowColor_ = gui::clBlack;
  TFxDepth shadowDepth_ = 1;
  TFxShadeDirection shadowDirection_ = sdDownRight;
  TFxShadeStyle shadowStyle_ = ssPlain;
  bool updateLock_ = false;
};

}  // namespace fx
