#include "FormText.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "Filer.h"

namespace rtl {

namespace {

class Parser {
 public:
  Parser(const std::string& text, TWriter& w) : s_(text), w_(w) {}

  void Object() {
    Nest();
    Keyword("object");
    std::string name = Ident();
    Expect(':');
    std::string cls = Ident();
    w_.WriteStr(cls);
    w_.WriteStr(name);
    // Properties come first, then nested objects.
    for (;;) {
      SkipBlanks();
      std::string word = PeekWord();
      if (word == "object" || word == "end") break;
      w_.WriteStr(Ident());
      Expect('=');
      Value();
    }
    w_.WriteListEnd();
    while (PeekWord() == "object") Object();
    Keyword("end");
    w_.WriteListEnd();
    --nesting_;
  }

  void End() {
    SkipBlanks();
    if (pos_ < s_.size()) Fail("text after the last 'end'");
  }

 private:
  // One level deeper; the matching end lowers it again (a failure ends the whole parse).
  void Nest() {
    if (nesting_ >= kMaxNesting) Fail("nested too deeply");
    ++nesting_;
  }

  [[noreturn]] void Fail(const std::string& what) {
    int line = 1;
    for (size_t i = 0; i < pos_ && i < s_.size(); ++i) line += s_[i] == '\n';
    throw EParserError(Format("Line %d: %s", line, what.c_str()));
  }

  void SkipBlanks() {
    while (pos_ < s_.size()) {
      if (std::isspace(static_cast<unsigned char>(s_[pos_]))) {
        ++pos_;
      } else if (s_.compare(pos_, 2, "//") == 0) {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  char Peek() {
    SkipBlanks();
    return pos_ < s_.size() ? s_[pos_] : '\0';
  }

  void Expect(char c) {
    if (Peek() != c) Fail(std::string("'") + c + "' expected");
    ++pos_;
  }

  static bool IdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

  std::string PeekWord() {
    SkipBlanks();
    size_t e = pos_;
    while (e < s_.size() && IdentChar(s_[e])) ++e;
    return s_.substr(pos_, e - pos_);
  }

  std::string Ident() {
    std::string w = PeekWord();
    if (w.empty() || std::isdigit(static_cast<unsigned char>(w[0]))) Fail("identifier expected");
    pos_ += w.size();
    return w;
  }

  void Keyword(const char* k) {
    if (PeekWord() != k) Fail(std::string("'") + k + "' expected");
    pos_ += std::strlen(k);
  }

  void Value() {
    char c = Peek();
    if (c == '\'' || c == '#') return w_.WriteString(String());
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c)) || c == '$') return w_.WriteInteger(Integer());
    if (c == '[') {
      ++pos_;
      std::vector<std::string> names;
      if (Peek() != ']') {
        names.push_back(Ident());
        while (Peek() == ',') {
          ++pos_;
          names.push_back(Ident());
        }
      }
      Expect(']');
      return w_.WriteSet(names);
    }
    if (c == '{') return Binary();
    if (c == '@') {
      ++pos_;
      return IncludedBinary(String());
    }
    if (c == '(') {
      Nest();
      ++pos_;
      w_.WriteListBegin();
      while (Peek() != ')') {
        if (pos_ >= s_.size()) Fail("')' expected");
        Value();
      }
      ++pos_;
      --nesting_;
      return w_.WriteListEnd();
    }
    w_.WriteIdent(Ident());
  }

  long long Integer() {
    size_t b = pos_;
    if (s_[pos_] == '-') ++pos_;
    bool hex = pos_ < s_.size() && s_[pos_] == '$';
    if (hex) ++pos_;
    while (pos_ < s_.size() && (hex ? std::isxdigit(static_cast<unsigned char>(s_[pos_]))
                                    : std::isdigit(static_cast<unsigned char>(s_[pos_]))))
      ++pos_;
    long long v;
    if (!TryStrToInt(s_.substr(b, pos_ - b), v)) Fail("integer expected");
    return v;
  }

  std::string String() {
    std::string r;
    Peek();
    for (;;) {
      // Parts join when they touch ('It''s '#169) or across a '+'; blanks end the string, so the
      // strings of a list stay apart.
      char c = pos_ < s_.size() ? s_[pos_] : '\0';
      if (c == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == '\n') Fail("unterminated string");
          if (s_[pos_] == '\'') {
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
              r += '\'';
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          r += s_[pos_++];
        }
      } else if (c == '#') {
        ++pos_;
        size_t b = pos_;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        long long code;
        if (!TryStrToInt(s_.substr(b, pos_ - b), code) || code < 0 || code > 255) Fail("character code expected");
        r += static_cast<char>(code);
      } else if (Peek() == '+') {
        ++pos_;
        if (Peek() != '\'' && Peek() != '#') Fail("string expected after '+'");
      } else {
        return r;
      }
    }
  }

  void Binary() {
    ++pos_;
    std::string bytes;
    int nibbles = 0, acc = 0;
    for (;;) {
      char c = Peek();
      if (c == '}') break;
      if (!std::isxdigit(static_cast<unsigned char>(c))) Fail("hexadecimal digit expected");
      int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10);
      acc = acc * 16 + d;
      if (++nibbles == 2) {
        bytes += static_cast<char>(acc);
        nibbles = acc = 0;
      }
      ++pos_;
    }
    ++pos_;
    if (nibbles) Fail("odd number of hexadecimal digits");
    w_.WriteBinary(bytes);
  }

  void IncludedBinary(const std::string& name) {
    if (!includes_) Fail("included files are not allowed here");
    std::string bytes;
    if (!includes_(name, bytes)) Fail("cannot read included file " + name);
    w_.WriteBinary(bytes);
  }

 public:
  TIncludeReader includes_;

 private:
  const std::string& s_;
  TWriter& w_;
  size_t pos_ = 0;
  int nesting_ = 0;  // objects and lists open
};

class Printer {
 public:
  Printer(TReader& r, std::string& out) : r_(r), out_(out) {}

  void Object(int depth) {
    Nest();
    std::string cls = r_.ReadStr();
    std::string name = r_.ReadStr();
    Indent(depth);
    out_ += "object " + name + ": " + cls + "\n";
    while (!r_.EndOfList()) {
      Indent(depth + 1);
      out_ += r_.ReadStr() + " = ";
      Value(depth + 1);
      out_ += "\n";
    }
    r_.ReadListEnd();
    while (!r_.EndOfList()) Object(depth + 1);
    r_.ReadListEnd();
    Indent(depth);
    out_ += "end\n";
    --nesting_;
  }

 private:
  // One level deeper; the matching end lowers it again (a failure ends the whole printing).
  void Nest() {
    if (nesting_ >= kMaxNesting) throw EReadError(msg::kInvalidImage);
    ++nesting_;
  }

  void Indent(int depth) { out_.append(static_cast<size_t>(depth) * 2, ' '); }

  void Value(int depth) {
    switch (r_.NextValue()) {
      case TValueType::Int8:
      case TValueType::Int16:
      case TValueType::Int32:
      case TValueType::Int64: out_ += IntToStr(r_.ReadInteger()); return;
      case TValueType::String:
      case TValueType::LString: return Quoted(r_.ReadString());
      case TValueType::Ident:
      case TValueType::False:
      case TValueType::True:
      case TValueType::Nil: out_ += r_.ReadIdent(); return;
      case TValueType::Set: {
        auto names = r_.ReadSet();
        out_ += "[";
        for (size_t i = 0; i < names.size(); ++i) out_ += (i ? ", " : "") + names[i];
        out_ += "]";
        return;
      }
      case TValueType::List:
        Nest();
        r_.ReadListBegin();
        out_ += "(";
        while (!r_.EndOfList()) {
          out_ += " ";
          Value(depth);
        }
        r_.ReadListEnd();
        out_ += " )";
        --nesting_;
        return;
      case TValueType::Binary: {
        std::string bytes = r_.ReadBinary();
        out_ += "{";
        static const char* hex = "0123456789ABCDEF";
        for (size_t i = 0; i < bytes.size(); ++i) {
          if (i % 32 == 0) {
            out_ += "\n";
            Indent(depth + 1);
          }
          auto b = static_cast<unsigned char>(bytes[i]);
          out_ += hex[b >> 4];
          out_ += hex[b & 15];
        }
        out_ += "}";
        return;
      }
      case TValueType::Null: throw EReadError(msg::kInvalidImage);
    }
  }

  void Quoted(const std::string& s) {
    if (s.empty()) {
      out_ += "''";
      return;
    }
    bool open = false;
    for (char ch : s) {
      auto c = static_cast<unsigned char>(ch);
      if (c >= 32 && c < 127) {
        if (!open) out_ += '\'';
        open = true;
        out_ += ch;
        if (ch == '\'') out_ += '\'';
      } else {
        if (open) out_ += '\'';
        open = false;
        char code[8];
        std::snprintf(code, sizeof code, "#%u", static_cast<unsigned>(c));
        out_ += code;
      }
    }
    if (open) out_ += '\'';
  }

  TReader& r_;
  std::string& out_;
  int nesting_ = 0;  // objects and lists open
};

}  // namespace

void ObjectTextToBinary(const std::string& text, TStream& output, const TIncludeReader& includes) {
  TWriter w(output);
  output.WriteBuffer(kFormSignature, sizeof kFormSignature);
  Parser p(text, w);
  p.includes_ = includes;
  p.Object();
  p.End();
}

std::string ObjectBinaryToText(TStream& input) {
  char sig[4];
  input.ReadBuffer(sig, 4);
  if (std::memcmp(sig, kFormSignature, 4) != 0) throw EReadError(msg::kInvalidImage);
  TReader r(input);
  std::string out;
  Printer(r, out).Object(0);
  return out;
}

}  // namespace rtl
