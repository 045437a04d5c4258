// The fonts the windows are drawn with are the ones they name: the frame-control symbol font that
// caption buttons, combo arrows and check marks come from, and the framework's default face.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Bitmap.h"
#include "Guards.h"

using namespace gui;

namespace {

int CALLBACK Found(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FamilyInstalled(const char* face) {
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExA(TScreenDC(), &lf, Found, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

std::string FaceOf(HFONT font) {
  TMemoryDC dc;
  TSelectObject selected(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  return face;
}

std::string ResolvedFace(const char* face, BYTE charset, int height) {
  TFontHandle font(CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, face));
  return FaceOf(font);
}

}  // namespace

TEST(Fonts, TheSymbolAndDialogFontsResolveToThemselves) {
  EXPECT_TRUE(FamilyInstalled("Marlett"));
  EXPECT_TRUE(FamilyInstalled("MS Sans Serif"));
  EXPECT_EQ(ResolvedFace("Marlett", SYMBOL_CHARSET, -13), "Marlett");
  EXPECT_EQ(ResolvedFace("MS Sans Serif", DEFAULT_CHARSET, -11), "MS Sans Serif");
  EXPECT_EQ(ResolvedFace("MS Sans Serif", DEFAULT_CHARSET, -24), "MS Sans Serif");
}

TEST(Fonts, TheFrameworksDefaultFontIsTheFaceItNames) {
  TFont font;  // "MS Sans Serif", height -11
  EXPECT_EQ(FaceOf(font.Handle()), font.Name());
}

// The serif face of the main window's notice: without a replacement Wine falls back to a sans face.
TEST(Fonts, TimesNewRomanIsDrawnWithASerifFace) {
  TFontHandle font(CreateFontA(-27, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Times New Roman"));
  TMemoryDC dc;
  TSelectObject selected(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_ROMAN) << FaceOf(font);
}
