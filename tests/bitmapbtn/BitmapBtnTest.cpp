#include "BitmapBtnTest.h"
#include "FormStreams.h"

namespace bmptest {

void PaintForm(gui::TForm& form, Surface& s) {
  tsupport::PaintWindowInto(form.Handle(), s);
}

std::string MainListItems() {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(self, "LISTITEMS", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL data = res ? LoadResource(self, res) : nullptr;
  const char* p = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  return p ? std::string(p, SizeofResource(self, res)) : std::string();
}

void LoadForm(gui::TForm& form, const std::string& text, const std::map<std::string, std::string>& includes) {
  tsupport::LoadFormText(&form, text, [&includes](const std::string& name, std::string& bytes) {
    if (auto it = includes.find(name); it != includes.end()) {
      bytes = it->second;
      return true;
    }
    if (name != "ListItems") return false;
    bytes = MainListItems();
    return true;
  });
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
