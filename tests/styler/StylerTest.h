// Helpers of the styler tests: shown forms at a fixed place, the window's pixels as they are on
// screen, and the caption's geometry, colours and fonts as the rules give them, computed here
// from the platform's metrics and never read from the styler.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Forms.h"
#include "MemorySurface.h"
#include "MessageRecorder.h"
#include "TestWindows.h"
#include "TextInk.h"
#include "styler/GxForm.h"

namespace stytest {

using textink::SamePixels;
using tsupport::Hex;
using tsupport::Pump;
using tsupport::Surface;
using tsupport::Sys;

// A form shown at (40, 40), with the given border style and outer width and a client height of 40.
gui::TForm* ShownForm(gui::TApplication& app, gui::TFormBorderStyle bs = gui::bsSingle, int width = 420);

// A form with a styler whose segments are "Brindlex UK" (bold italic), "Tessaline - " (bold) and
// "v1.01" (the caption font), as the main window has them.
struct StyledForm : tsupport::TTestForm {
  // A recorder given watches the form before the styler hooks it.
  explicit StyledForm(gui::TFormBorderStyle bs = gui::bsSingle, int width = 420,
                      tsupport::TMessageRecorder* watch = nullptr);
  styler::TGxFormStyler* styler;
  HWND Wnd() const { return form->WindowHandle(); }
};

// The whole window as the screen shows it now (read back through its window DC), in a surface
// of the window's size.
void CaptureWindow(HWND wnd, Surface& s);

// The caption bar in window coordinates: inside the frame, SM_CYCAPTION - 1 (tool windows
// SM_CYSMCAPTION - 1) high.
RECT CaptionRect(HWND wnd, gui::TFormBorderStyle bs);
// The caption less the buttons: close (w + 2), minimise and maximise (w each); tool windows
// only the small close button.
RECT TextRect(HWND wnd, gui::TFormBorderStyle bs);
// Where the texts start: after the small icon (1 + SM_CXSMICON + 1).
inline int AfterIcon(const RECT& t) { return t.left + 1 + GetSystemMetrics(SM_CXSMICON) + 1; }

// Band i of n across r: its left edge (the right edge is band i + 1's) and its colour, each
// component from + MulDiv(i, to - from, n - 1).
int BandEdge(const RECT& r, int i, int n);
COLORREF BandColour(COLORREF from, COLORREF to, int i, int n);

// The platform's caption font, with bold and italic as asked (added, never taken away).
HFONT CaptionFont(bool bold, bool italic);
// DrawText's single-line width of text in font.
int TextWidth(HFONT font, const std::string& text);
// The text drawn as the platform draws single-line text: from x, centred vertically in t.
void DrawSegment(Surface& s, HFONT font, const std::string& text, int x, const RECT& t, COLORREF colour,
                 UINT extra = 0);

}  // namespace stytest
