// Accelerator letters: which letter of a caption a key matches, and that it is the letter the
// platform's DrawText underlines.
#include <gtest/gtest.h>

#include "Accel.h"
#include "TextInk.h"

using gui::IsAccel;

TEST(Accel, TheLetterAfterASingleAmpersandInEitherCase) {
  EXPECT_TRUE(IsAccel('d', "&Dial"));
  EXPECT_TRUE(IsAccel('D', "&Dial"));
  EXPECT_FALSE(IsAccel('i', "&Dial"));
  EXPECT_TRUE(IsAccel('x', "E&xit"));
  EXPECT_FALSE(IsAccel('x', "&&x")) << "a doubled ampersand is a literal one";
  EXPECT_TRUE(IsAccel('x', "&&&x"));
  EXPECT_TRUE(IsAccel('b', "&a&b")) << "the last mark counts";
  EXPECT_FALSE(IsAccel('a', "&a&b"));
  EXPECT_TRUE(IsAccel('a', "&a&&")) << "a literal ampersand after the mark changes nothing";
  EXPECT_TRUE(IsAccel('a', "&ab&")) << "a trailing ampersand marks nothing";
  EXPECT_FALSE(IsAccel('l', "Dial&"));
  EXPECT_FALSE(IsAccel('&', "&"));
  EXPECT_FALSE(IsAccel('d', "Dial"));
  EXPECT_FALSE(IsAccel('\0', ""));
  EXPECT_TRUE(IsAccel(' ', "& space"));
}

// For each caption, the underline DrawText draws starts where the matched letter is drawn.
TEST(Accel, TheMatchedLetterIsTheOneDrawTextUnderlines) {
  gui::TFontHandle font(CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  struct Case {
    const char* caption;
    const char* before;  // what is drawn before the marked letter
    char letter;
  };
  for (Case c : {Case{"&a&b", "a", 'b'}, Case{"x&w&&z", "x", 'w'}, Case{"&&&k", "&", 'k'}, Case{"&ab&", "", 'a'}}) {
    ASSERT_TRUE(IsAccel(c.letter, c.caption)) << c.caption;
    tsupport::Surface s(120, 30, RGB(255, 255, 255));
    {
      gui::TSelectObject selected(s.Dc(), font);
      RECT r{0, 0, 120, 30};
      SetBkMode(s.Dc(), TRANSPARENT);
      SetTextColor(s.Dc(), RGB(0, 0, 0));
      DrawTextA(s.Dc(), c.caption, -1, &r, DT_LEFT | DT_TOP);
    }
    auto m = textink::Measure(font, c.before);
    // The underline is the lowest row with ink (none of these letters reach below the baseline).
    int row = -1;
    for (int y = m.ascent; y < 30; ++y)
      if (textink::Count(s, RGB(0, 0, 0), RECT{0, y, 120, y + 1}) > 0) row = y;
    ASSERT_GE(row, 0) << c.caption << ": underlined";
    int first = 0;
    while (s.At(first, row) != RGB(0, 0, 0)) ++first;
    EXPECT_EQ(first, m.width) << c.caption;
  }
}
