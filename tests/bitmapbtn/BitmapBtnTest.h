// Helpers of the bitmap-button tests: a memory surface to paint on, the main window's stored
// bitmap list, and forms built from form text as the program builds its window.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "Forms.h"
#include "MemorySurface.h"
#include "bitmapbtn/GxBmpBtn.h"
#include "rtl/Filer.h"
#include "rtl/FormText.h"

namespace bmptest {

using tsupport::Hex;
using tsupport::Surface;

// The form paints itself into the surface as into its window: background, then its controls.
void PaintForm(gui::TForm& form, Surface& s);

// The main window's stored "ListItems" value (4348 bytes), linked into the test program.
std::string MainListItems();

// Builds a form's contents from form text; "@'ListItems'" includes the main window's value, other
// names the values given.
void LoadForm(gui::TForm& form, const std::string& text,
              const std::map<std::string, std::string>& includes = {});

// The two components of the main window this family provides, as its form resource sets them.
extern const char* const kMainWindowText;


}  // namespace bmptest
