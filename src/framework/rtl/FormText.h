// The readable source form of a form resource and its conversion to and from the binary
// encoding. The conversion knows no classes: it maps the syntax onto the value tags.
//
//   object Form1: TForm1
//     Caption = 'Hello'#169' world'   strings: quoted parts and #n character codes, joined by +
//     Left = 169                      integers (decimal or $hex), identifiers, True/False, nil
//     Font.Style = [fsBold]           sets; { 0A0B } binary; ( 1 2 ) lists
//     Icon.Data = @'app.ico'          binary read from a file (when an include reader is given)
//     object Button1: TButton
//     end
//   end
#pragma once

#include <functional>
#include <string>

#include "Streams.h"

namespace rtl {

// Reads an included file's bytes; false when it cannot.
using TIncludeReader = std::function<bool(const std::string& name, std::string& bytes)>;

// Throws EParserError with the line number for malformed text.
void ObjectTextToBinary(const std::string& text, TStream& output, const TIncludeReader& includes = nullptr);
std::string ObjectBinaryToText(TStream& input);

RTL_EXCEPTION(EParserError, Exception);

}  // namespace rtl
