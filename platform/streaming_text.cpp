// The converters between the binary and the text form of component streams.
#include "platform/streaming.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "platform/streaming_impl.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

using namespace vmstream;

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

// Length of a valid UTF-8 multi-byte sequence at s[i], or 0.
size_t Utf8Seq(const std::string& s, size_t i) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  auto b1 = static_cast<unsigned char>(s[i + 1]);
  if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 > 0x9F) || (b == 0xF0 && b1 < 0x90) || (b == 0xF4 && b1 > 0x8F))
    return 0;
  return n;
}

class TBinaryToText {
public:
  TBinaryToText(TReader& R, std::string& Out) : r(R), out(Out) {}

  void Object(int indent) {
    auto [flags, pos, cls, name] = ReadComponentHeader(r);
    CheckIdent(cls, false);
    if (!name.empty()) CheckIdent(name, false);
    Indent(indent);
    out += flags.Contains(ffInherited) ? "inherited " : flags.Contains(ffInline) ? "inline " : "object ";
    if (!name.empty()) out += name + ": ";
    out += cls;
    if (flags.Contains(ffChildPos)) out += " [" + IntToStr(pos) + "]";
    out += "\r\n";
    Enter();
    while (!r.EndOfList()) Property(indent + 2);
    r.ReadListEnd();
    while (!r.EndOfList()) Object(indent + 2);
    r.ReadListEnd();
    Leave();
    Indent(indent);
    out += "end\r\n";
  }

  TReader& r;
  std::string& out;
  int depth = 0;

private:
  void Enter() {
    if (++depth > MaxStreamDepth) throw EReadFatal("Stream nested too deeply");
  }
  void Leave() { --depth; }
  void Indent(int n) { out.append(static_cast<size_t>(n), ' '); }

  static void CheckIdent(const std::string& s, bool dots) {
    if (s.empty() || !IsIdentStart(s[0])) InvalidFormat();
    for (char c : s)
      if (!IsIdentChar(c) && !(dots && c == '.')) InvalidFormat();
  }

  void Property(int indent) {
    std::string name = r.ReadStr();
    CheckIdent(name, true);
    Indent(indent);
    out += name + " = ";
    Value(indent + 2);
    out += "\r\n";
  }

  void Str(const std::string& s, int indent) {
    if (s.empty()) {
      out += "''";
      return;
    }
    size_t lineStart = out.size();
    bool quoted = false;
    size_t i = 0;
    while (i < s.size()) {
      if (out.size() - lineStart >= 64 && i > 0) {
        if (quoted) out += '\'';
        quoted = false;
        out += " +\r\n";
        Indent(indent);
        lineStart = out.size();
      }
      auto c = static_cast<unsigned char>(s[i]);
      size_t seq = c >= 0x80 ? Utf8Seq(s, i) : 0;
      if ((c >= 32 && c < 127) || seq > 0) {
        if (!quoted) out += '\'';
        quoted = true;
        size_t n = seq > 0 ? seq : 1;
        if (c == '\'') out += '\'';
        out.append(s, i, n);
        i += n;
      } else {
        if (quoted) out += '\'';
        quoted = false;
        out += '#' + IntToStr(c);
        ++i;
      }
    }
    if (quoted) out += '\'';
  }

  void Value(int indent) {
    TValueType t = r.ReadValue();
    switch (t) {
      case vaList:
        out += '(';
        Enter();
        while (!r.EndOfList()) {
          out += "\r\n";
          Indent(indent);
          Value(indent + 2);
        }
        r.ReadListEnd();
        Leave();
        out += ')';
        return;
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64:
        out += IntToStr(ReadIntBody(r, t));
        return;
      case vaExtended:
        out += FloatToText(ReadFloatBody(r, t));
        return;
      case vaDouble:
        out += FloatToText(static_cast<double>(ReadFloatBody(r, t))) + "d";
        return;
      case vaDate:
        out += FloatToText(static_cast<double>(ReadFloatBody(r, t))) + "t";
        return;
      case vaSingle:
        out += FloatToText(static_cast<float>(ReadFloatBody(r, t))) + "s";
        return;
      case vaCurrency: {
        int64_t v = ReadRaw<int64_t>(r);
        uint64_t a = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        std::string frac = std::to_string(a % 10000);
        out += (v < 0 ? "-" : "") + std::to_string(a / 10000) + "." + std::string(4 - frac.size(), '0') + frac + "c";
        return;
      }
      case vaString:
        Str(r.ReadStr(), indent);
        return;
      case vaLString:
      case vaUTF8String: {
        if (t == vaUTF8String) InvalidFormat();  // never written; would not come back the same
        int64_t n = r.ReadLength(4);
        std::string s(static_cast<size_t>(n), '\0');
        r.Read(s.data(), n);
        if (n <= 255) InvalidFormat();  // a short string is always written as vaString
        Str(s, indent);
        return;
      }
      case vaIdent: {
        std::string id = r.ReadStr();
        CheckIdent(id, true);
        if (SameText(id, "False") || SameText(id, "True") || SameText(id, "nil") || SameText(id, "Null"))
          InvalidFormat();
        out += id;
        return;
      }
      case vaFalse:
        out += "False";
        return;
      case vaTrue:
        out += "True";
        return;
      case vaNil:
        out += "nil";
        return;
      case vaNull:
        out += "Null";
        return;
      case vaBinary: {
        int64_t n = r.ReadLength(4);
        out += '{';
        static const char hex[] = "0123456789ABCDEF";
        uint8_t chunk[32];
        while (n > 0) {
          int k = static_cast<int>(std::min<int64_t>(n, 32));
          r.Read(chunk, k);
          out += "\r\n";
          Indent(indent);
          for (int j = 0; j < k; ++j) {
            out += hex[chunk[j] >> 4];
            out += hex[chunk[j] & 15];
          }
          n -= k;
        }
        out += '}';
        return;
      }
      case vaSet: {
        out += '[';
        bool first = true;
        while (true) {
          std::string name = r.ReadStr();
          if (name.empty()) break;
          CheckIdent(name, false);
          if (!first) out += ", ";
          out += name;
          first = false;
        }
        out += ']';
        return;
      }
      case vaCollection:
        out += '<';
        Enter();
        while (!r.EndOfList()) {
          if (IsIntTag(r.NextValue())) InvalidFormat();  // item orders are never written
          out += "\r\n";
          Indent(indent);
          out += "item\r\n";
          r.ReadListBegin();
          while (!r.EndOfList()) Property(indent + 2);
          r.ReadListEnd();
          Indent(indent);
          out += "end";
        }
        r.ReadListEnd();
        Leave();
        out += '>';
        return;
      default:
        InvalidFormat();
    }
  }
};

// The text form's tokens.
enum class Tok { End, Ident, Int, Float, String, Symbol };

class TTextToBinary {
public:
  TTextToBinary(const std::string& Src, TWriter& W) : s(Src), w(W) { Next(); }

  void Object() {
    TFilerFlags flags;
    if (IsWord("inherited"))
      flags.Include(ffInherited);
    else if (IsWord("inline"))
      flags.Include(ffInline);
    else if (!IsWord("object"))
      Fail("Object expected");
    Next();
    std::string name, cls = ExpectIdent(false);
    if (IsSym(':')) {
      Next();
      name = cls;
      cls = ExpectIdent(false);
    }
    int64_t pos = 0;
    if (IsSym('[')) {
      Next();
      if (tok != Tok::Int) Fail("Integer expected");
      pos = intValue;
      if (pos < INT32_MIN || pos > INT32_MAX) Fail("Integer out of range");
      flags.Include(ffChildPos);
      Next();
      ExpectSym(']');
    }
    if (!flags.Empty()) {
      uint8_t prefix = static_cast<uint8_t>(0xF0 | flags.Bits());
      w.Write(&prefix, 1);
      if (flags.Contains(ffChildPos)) w.WriteInteger(pos);
    }
    w.WriteStr(cls);
    w.WriteStr(name);
    Enter();
    while (!IsWord("end") && !IsWord("object") && !IsWord("inherited") && !IsWord("inline")) Property();
    w.WriteListEnd();
    while (!IsWord("end")) Object();
    w.WriteListEnd();
    Leave();
    Next();  // end
  }

  size_t Offset() const { return tokStart; }
  Tok tok = Tok::End;

private:
  const std::string& s;
  TWriter& w;
  size_t p = 0;
  int line = 1;
  int depth = 0;
  size_t tokStart = 0;
  std::string text;
  int64_t intValue = 0;
  char suffix = 0;

  [[noreturn]] void Fail(const std::string& what) { throw EParserError(Format("Line %d: %s", {line, what})); }
  void Enter() {
    if (++depth > MaxStreamDepth) Fail("Nested too deeply");
  }
  void Leave() { --depth; }

  bool IsWord(const char* word) const { return tok == Tok::Ident && SameText(text, word); }
  bool IsSym(char c) const { return tok == Tok::Symbol && text[0] == c; }
  void ExpectSym(char c) {
    if (!IsSym(c)) Fail(std::string("'") + c + "' expected");
    Next();
  }
  std::string ExpectIdent(bool dots) {
    if (tok != Tok::Ident) Fail("Identifier expected");
    if (!dots && text.find('.') != std::string::npos) Fail("Identifier expected");
    if (text.size() > 255) Fail("Identifier too long");
    std::string id = text;
    Next();
    return id;
  }

  void SkipBlanks() {
    while (p < s.size()) {
      char c = s[p];
      if (c == '\n') {
        ++line;
        ++p;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++p;
      } else {
        break;
      }
    }
  }

  void Next() {
    SkipBlanks();
    tokStart = p;
    text.clear();
    suffix = 0;
    if (p >= s.size()) {
      tok = Tok::End;
      return;
    }
    char c = s[p];
    if (IsIdentStart(c)) {
      while (p < s.size() && (IsIdentChar(s[p]) || s[p] == '.')) text += s[p++];
      tok = Tok::Ident;
      return;
    }
    if ((c >= '0' && c <= '9') || c == '-' || c == '+') {
      Number();
      return;
    }
    if (c == '\'' || c == '#') {
      StringLit();
      return;
    }
    if (std::strchr("=()[]<>{}:,", c)) {
      text = std::string(1, c);
      ++p;
      tok = Tok::Symbol;
      return;
    }
    Fail(Format("Invalid character $%s", {IntToHex(static_cast<unsigned char>(c), 2)}));
  }

  void Number() {
    size_t start = p;
    if (s[p] == '-' || s[p] == '+') ++p;
    bool isFloat = false;
    if (p + 3 <= s.size() && (s.compare(p, 3, "NaN") == 0 || s.compare(p, 3, "Inf") == 0)) {
      p += 3;
      isFloat = true;
    } else {
      size_t digits = p;
      while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
      if (p == digits) Fail("Number expected");
      if (p < s.size() && s[p] == '.') {
        isFloat = true;
        ++p;
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
      }
      if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
        isFloat = true;
        ++p;
        if (p < s.size() && (s[p] == '-' || s[p] == '+')) ++p;
        size_t exp = p;
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
        if (p == exp) Fail("Invalid number");
      }
    }
    text = s.substr(start, p - start);
    if (p < s.size() && std::strchr("sdtc", s[p])) {
      suffix = s[p++];
      isFloat = true;
    }
    if (p < s.size() && IsIdentChar(s[p])) Fail("Invalid number");
    if (isFloat) {
      tok = Tok::Float;
      return;
    }
    tok = Tok::Int;
    const char* b = text.data() + (text[0] == '+' ? 1 : 0);
    auto r = std::from_chars(b, text.data() + text.size(), intValue);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) Fail("Integer out of range");
  }

  void StringLit() {
    // Quoted parts and #nnn characters, joined directly or by '+' across lines.
    while (true) {
      if (p < s.size() && s[p] == '\'') {
        ++p;
        while (true) {
          if (p >= s.size() || s[p] == '\n' || s[p] == '\r') Fail("Unterminated string");
          if (s[p] == '\'') {
            if (p + 1 < s.size() && s[p + 1] == '\'') {
              text += '\'';
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          text += s[p++];
        }
      } else if (p < s.size() && s[p] == '#') {
        ++p;
        int v = 0;
        size_t start = p;
        if (p < s.size() && s[p] == '$') {
          ++p;
          start = p;
          while (p < s.size() && std::isxdigit(static_cast<unsigned char>(s[p])) && v <= 255)
            v = v * 16 + (std::isdigit(static_cast<unsigned char>(s[p])) ? s[p] - '0' : (s[p] | 0x20) - 'a' + 10), ++p;
        } else {
          while (p < s.size() && s[p] >= '0' && s[p] <= '9' && v <= 255) v = v * 10 + (s[p++] - '0');
        }
        if (p == start || v > 255) Fail("Invalid character code");
        text += static_cast<char>(v);
      } else {
        break;
      }
      // A '+' continues the string on the next line.
      size_t save = p;
      int saveLine = line;
      SkipBlanks();
      if (p < s.size() && s[p] == '+') {
        ++p;
        SkipBlanks();
        if (p < s.size() && (s[p] == '\'' || s[p] == '#')) continue;
        Fail("String expected");
      }
      p = save;
      line = saveLine;
    }
    tok = Tok::String;
  }

  void Property() {
    std::string name = ExpectIdent(true);
    w.WriteStr(name);
    ExpectSym('=');
    Value();
  }

  void FloatValue() {
    std::string t = text;
    bool neg = t[0] == '-';
    std::string body = t[0] == '-' || t[0] == '+' ? t.substr(1) : t;
    auto special = [&](long double& v) {
      if (body == "NaN") {
        v = neg ? -NAN : NAN;
        return true;
      }
      if (body == "Inf") {
        v = neg ? -INFINITY : INFINITY;
        return true;
      }
      return false;
    };
    long double ld = 0;
    bool isSpecial = special(ld);
    std::string num = t[0] == '+' ? t.substr(1) : t;
    switch (suffix) {
      case 's': {
        float f = static_cast<float>(ld);
        if (!isSpecial && !ParseFloat(num, f)) Fail("Invalid floating point number");
        w.WriteSingle(f);
        break;
      }
      case 'd':
      case 't': {
        double d = static_cast<double>(ld);
        if (!isSpecial && !ParseFloat(num, d)) Fail("Invalid floating point number");
        if (suffix == 'd')
          w.WriteDouble(d);
        else
          w.WriteDate(d);
        break;
      }
      case 'c': {
        // Exact decimal with at most four places.
        if (isSpecial) Fail("Invalid currency value");
        size_t dot = num.find('.');
        std::string ip = num.substr(0, dot), fp = dot == std::string::npos ? "" : num.substr(dot + 1);
        if (fp.size() > 4 || num.find_first_of("eE") != std::string::npos) Fail("Invalid currency value");
        fp.append(4 - fp.size(), '0');
        int64_t v;
        std::string all = ip + fp;
        auto r = std::from_chars(all.data(), all.data() + all.size(), v);
        if (r.ec != std::errc() || r.ptr != all.data() + all.size()) Fail("Invalid currency value");
        WriteTagged(w, vaCurrency, v);
        break;
      }
      default:
        if (!isSpecial && !ParseFloat(num, ld)) Fail("Invalid floating point number");
        w.WriteFloat(ld);
    }
  }

  void Value() {
    switch (tok) {
      case Tok::Int:
        w.WriteInteger(intValue);
        Next();
        return;
      case Tok::Float:
        FloatValue();
        Next();
        return;
      case Tok::String:
        if (text.size() > static_cast<size_t>(INT32_MAX)) Fail("String too long");
        w.WriteString(text);
        Next();
        return;
      case Tok::Ident: {
        std::string id = ExpectIdent(true);
        w.WriteIdent(id);
        return;
      }
      case Tok::Symbol:
        break;
      case Tok::End:
        Fail("Value expected");
    }
    char c = text[0];
    if (!std::strchr("([<{", c)) Fail("Value expected");
    if (c != '{') Next();
    switch (c) {
      case '(':
        Enter();
        w.WriteListBegin();
        while (!IsSym(')')) {
          if (tok == Tok::End) Fail("')' expected");
          Value();
        }
        w.WriteListEnd();
        Leave();
        Next();
        return;
      case '[':
        w.WriteValue(vaSet);
        while (!IsSym(']')) {
          w.WriteStr(ExpectIdent(false));
          if (IsSym(',')) {
            Next();
            if (IsSym(']')) Fail("Identifier expected");
          } else if (!IsSym(']')) {
            Fail("']' expected");
          }
        }
        w.WriteStr(std::string());
        Next();
        return;
      case '<':
        Enter();
        w.WriteValue(vaCollection);
        while (!IsSym('>')) {
          if (!IsWord("item")) Fail("'item' expected");
          Next();
          w.WriteListBegin();
          while (!IsWord("end")) Property();
          w.WriteListEnd();
          Next();
        }
        w.WriteListEnd();
        Leave();
        Next();
        return;
      case '{': {
        // Hex digits up to '}' (the tokenizer is bypassed).
        std::vector<uint8_t> bytes;
        p = tokStart + 1;
        int half = -1;
        while (true) {
          if (p >= s.size()) Fail("'}' expected");
          char h = s[p++];
          if (h == '}') break;
          if (h == '\n') {
            ++line;
            continue;
          }
          if (h == ' ' || h == '\r' || h == '\t') continue;
          int v = std::isdigit(static_cast<unsigned char>(h)) ? h - '0'
                  : (h >= 'A' && h <= 'F')                    ? h - 'A' + 10
                  : (h >= 'a' && h <= 'f')                    ? h - 'a' + 10
                                                              : -1;
          if (v < 0) Fail("Invalid binary value");
          if (half < 0)
            half = v;
          else {
            bytes.push_back(static_cast<uint8_t>(half * 16 + v));
            half = -1;
          }
        }
        if (half >= 0) Fail("Invalid binary value");
        if (bytes.size() > static_cast<size_t>(INT32_MAX)) Fail("Binary value too long");
        w.WriteValue(vaBinary);
        uint8_t len[4];
        PutLE(len, static_cast<int32_t>(bytes.size()));
        w.Write(len, 4);
        if (!bytes.empty()) w.Write(bytes.data(), static_cast<int>(bytes.size()));
        Next();
        return;
      }
      default:
        Fail("Value expected");
    }
  }
};

}  // namespace

void ObjectBinaryToText(TStream& Input, TStream& Output) {
  std::string out;
  {
    TReader r(Input, 4096);
    r.ReadSignature();
    TBinaryToText conv(r, out);
    conv.Object(0);
  }
  Output.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void ObjectTextToBinary(TStream& Input, TStream& Output) {
  int64_t start = Input.Position();
  std::string src = Input.ReadAll();
  TWriter w(Output, 4096);
  TTextToBinary conv(src, w);
  w.WriteSignature();
  conv.Object();
  w.FlushBuffer();
  // The input is left just after the object.
  Input.SetPosition(start + static_cast<int64_t>(conv.tok == Tok::End ? src.size() : conv.Offset()));
}

bool IsTextFormStream(TStream& Stream) {
  int64_t pos = Stream.Position();
  char buf[32] = {};
  int64_t n = Stream.Read(buf, sizeof buf);
  Stream.SetPosition(pos);
  std::string s(buf, static_cast<size_t>(std::max<int64_t>(n, 0)));
  size_t i = s.find_first_not_of(" \t\r\n");
  if (i == std::string::npos) return false;
  for (const char* word : {"object", "inherited", "inline"}) {
    size_t len = std::strlen(word);
    if (s.size() >= i + len && SameText(s.substr(i, len), word) && (s.size() == i + len || !IsIdentChar(s[i + len])))
      return true;
  }
  return false;
}
