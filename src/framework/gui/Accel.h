// Accelerator letters of captions: "&Dial" marks D, "&&" is a literal ampersand. The platform's
// DrawText underlines the letter after the last single "&", so that is the one that counts.
#pragma once

#include <string>

namespace gui {

// The position of the accelerator letter in caption, or npos when it has none.
size_t AccelIndex(const std::string& caption);

// Whether ch (either case) is the caption's accelerator letter.
bool IsAccel(char ch, const std::string& caption);

}  // namespace gui
