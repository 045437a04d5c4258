#include "StrSource.h"

#include <cstdint>
#include <map>

namespace strc {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Decodes one UTF-8 sequence at text[pos]; strict (no overlong forms, no surrogates).
char32_t DecodeUtf8(std::string_view text, size_t& pos, int line) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char b0 = byte(pos);
  int extra;
  char32_t cp, min;
  if (b0 < 0x80) {
    ++pos;
    return b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    throw SourceError(line, "invalid UTF-8");
  }
  if (text.size() - pos <= static_cast<size_t>(extra)) throw SourceError(line, "invalid UTF-8");
  for (int i = 1; i <= extra; ++i) {
    unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) throw SourceError(line, "invalid UTF-8");
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    throw SourceError(line, "invalid UTF-8");
  pos += 1 + extra;
  return cp;
}

// Parses the quoted text starting at line[pos] == '"'; leaves pos after the closing quote.
std::u16string ParseText(std::string_view line, size_t& pos, int lineNo) {
  std::u16string text;
  ++pos;
  for (;;) {
    if (pos >= line.size()) throw SourceError(lineNo, "text has no closing quote");
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return text;
    }
    if (c == '\\') {
      if (pos + 1 >= line.size()) throw SourceError(lineNo, "text has no closing quote");
      char e = line[pos + 1];
      pos += 2;
      switch (e) {
        case '"':
          text.push_back(u'"');
          break;
        case '\\':
          text.push_back(u'\\');
          break;
        case 'n':
          text.push_back(u'\n');
          break;
        case 'r':
          text.push_back(u'\r');
          break;
        case 't':
          text.push_back(u'\t');
          break;
        case 'u': {
          char32_t cp = 0;
          for (int i = 0; i < 4; ++i) {
            int h = pos < line.size() ? HexValue(line[pos]) : -1;
            if (h < 0) throw SourceError(lineNo, "\\u needs four hexadecimal digits");
            cp = cp * 16 + static_cast<char32_t>(h);
            ++pos;
          }
          if (cp >= 0xD800 && cp <= 0xDFFF)
            throw SourceError(lineNo, "\\u cannot name a surrogate; write the character itself");
          text.push_back(static_cast<char16_t>(cp));
          break;
        }
        default:
          throw SourceError(lineNo, std::string("unknown escape \\") + e);
      }
      continue;
    }
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
      throw SourceError(lineNo, "control character in text; use an escape");
    AppendCodePoint(text, DecodeUtf8(line, pos, lineNo));
  }
}

}  // namespace

std::vector<strres::Str0SourceEntry> ParseStringSource(std::string_view source) {
  if (source.substr(0, 3) == "\xEF\xBB\xBF") source.remove_prefix(3);

  std::vector<strres::Str0SourceEntry> entries;
  std::map<int32_t, int> lineOf;
  int lineNo = 0;
  while (!source.empty()) {
    ++lineNo;
    size_t eol = source.find('\n');
    std::string_view line = source.substr(0, eol);
    source.remove_prefix(eol == std::string_view::npos ? source.size() : eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size() || line[pos] == '#') continue;

    if (line[pos] < '0' || line[pos] > '9') throw SourceError(lineNo, "expected an id");
    int64_t id = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
      id = id * 10 + (line[pos] - '0');
      if (id > INT32_MAX) throw SourceError(lineNo, "id is larger than 2147483647");
      ++pos;
    }
    if (pos == line.size() || !IsBlank(line[pos]))
      throw SourceError(lineNo, "expected blanks and a quoted text after the id");
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size() || line[pos] != '"') throw SourceError(lineNo, "expected a quoted text");
    std::u16string text = ParseText(line, pos, lineNo);
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos < line.size() && line[pos] != '#')
      throw SourceError(lineNo, "unexpected characters after the text");

    int32_t id32 = static_cast<int32_t>(id);
    if (auto seen = lineOf.find(id32); seen != lineOf.end())
      throw SourceError(lineNo, "duplicate id " + std::to_string(id) + " (first on line " +
                                    std::to_string(seen->second) + ")");
    if (!entries.empty() && entries.back().id > id32)
      throw SourceError(lineNo, "id " + std::to_string(id) + " is out of order: ids must ascend (" +
                                    std::to_string(entries.back().id) + " comes before it)");
    lineOf.emplace(id32, lineNo);
    entries.push_back({id32, std::move(text)});
  }
  return entries;
}

}  // namespace strc
