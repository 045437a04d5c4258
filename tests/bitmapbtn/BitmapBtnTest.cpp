#include "BitmapBtnTest.h"

#include <cstdio>

namespace bmptest {

void Surface::Save(const std::string& path) const {
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{sizeof ih, w_, -h_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::string pixels(static_cast<size_t>(w_) * static_cast<size_t>(h_) * 4, '\0');
  BITMAPINFO bi{};
  bi.bmiHeader = ih;
  GetDIBits(dc_, bmp_, 0, static_cast<UINT>(h_), pixels.data(), &bi, DIB_RGB_COLORS);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = static_cast<DWORD>(fh.bfOffBits + pixels.size());
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(pixels.data(), pixels.size(), 1, f);
    std::fclose(f);
  }
}

void PaintForm(gui::TForm& form, Surface& s) {
  HWND wnd = form.Handle();
  SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.Dc()), 0);
  SendMessageA(wnd, WM_PAINT, reinterpret_cast<WPARAM>(s.Dc()), 0);
}

std::string MainListItems() {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(self, "LISTITEMS", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL data = res ? LoadResource(self, res) : nullptr;
  const char* p = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  return p ? std::string(p, SizeofResource(self, res)) : std::string();
}

void LoadForm(gui::TForm& form, const std::string& text, const std::map<std::string, std::string>& includes) {
  rtl::TMemoryStream binary;
  rtl::ObjectTextToBinary(text, binary, [&includes](const std::string& name, std::string& bytes) {
    if (auto it = includes.find(name); it != includes.end()) {
      bytes = it->second;
      return true;
    }
    if (name != "ListItems") return false;
    bytes = MainListItems();
    return true;
  });
  binary.SetPosition(0);
  rtl::ReadComponentFromStream(binary, &form);
}

const char* const kMainWindowText = R"(object Form1: TForm
  ClientHeight = 161
  ClientWidth = 508
  Color = clBtnFace
  object btnDial: TGxBitmapButton
    Left = 368
    Top = 48
    Width = 129
    Height = 81
    Caption = 'Dial'
    Font.Charset = ANSI_CHARSET
    Font.Color = clBlack
    Font.Height = -24
    Font.Name = 'Arial'
    Font.Style = [fsBold]
    ParentFont = False
    BitmapList = GxBitmapList1
    BitmapIndex = 0
    BorderWidth = 2
    ButtonStyle = bsRegular
    TextAlign = ttaBottom
  end
  object GxBitmapList1: TGxBitmapList
    ListItems = @'ListItems'
  end
end
)";

}  // namespace bmptest
