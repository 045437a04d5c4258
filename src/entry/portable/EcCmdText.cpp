#include "entry/portable/EcCmdText.h"

#include <cstdio>

#include "rtl/Exceptions.h"

namespace ec {

std::string FormatCommandTableText(const std::string& name, const std::vector<CommandRecord>& records) {
  std::string text = name + "\r\n";
  char line[40];
  for (const CommandRecord& r : records) {
    std::snprintf(line, sizeof line, "%4u%4u%4u%4u%6u\r\n", unsigned{r.Key1}, unsigned{r.ShiftState1},
                  unsigned{r.Key2}, unsigned{r.ShiftState2}, unsigned{r.Command});
    text += line;
  }
  return text;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One line of the file, without its line end.
class TLineReader {
 public:
  explicit TLineReader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ >= text_.size(); }
  std::string_view Next() {
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end < text_.size() ? end + 1 : end;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number_;
    return line;
  }
  int Number() const { return number_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  int number_ = 0;
};

[[noreturn]] void Malformed(int line) {
  throw rtl::EReadError(rtl::Format("Invalid command table: line %d is not a command record", line));
}

// Blanks, then a decimal number of at most max, ended by a blank or the end of the line.
unsigned ReadField(std::string_view line, size_t& pos, unsigned max, int lineNumber) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos < line.size() && line[pos] == '+') ++pos;
  size_t first = pos;
  unsigned long value = 0;
  while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
    value = value * 10 + static_cast<unsigned>(line[pos] - '0');
    if (value > max) Malformed(lineNumber);
    ++pos;
  }
  if (pos == first || (pos < line.size() && !IsBlank(line[pos]))) Malformed(lineNumber);
  return static_cast<unsigned>(value);
}

}  // namespace

TCommandTableText ParseCommandTableText(std::string_view text) {
  TCommandTableText table;
  TLineReader lines(text);
  if (lines.AtEnd()) return table;
  table.Name = std::string(lines.Next());
  while (!lines.AtEnd()) {
    std::string_view line = lines.Next();
    size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size()) continue;
    CommandRecord r;
    r.Key1 = static_cast<uint8_t>(ReadField(line, pos, 255, lines.Number()));
    r.ShiftState1 = static_cast<uint8_t>(ReadField(line, pos, 255, lines.Number()));
    r.Key2 = static_cast<uint8_t>(ReadField(line, pos, 255, lines.Number()));
    r.ShiftState2 = static_cast<uint8_t>(ReadField(line, pos, 255, lines.Number()));
    r.Command = static_cast<uint16_t>(ReadField(line, pos, 65535, lines.Number()));
    table.Records.push_back(r);
  }
  return table;
}

}  // namespace ec
