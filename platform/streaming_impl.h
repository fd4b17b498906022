// Private to the streaming sources: what the component reader and writer share with the
// converters between the binary and the text form.
#pragma once

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

#include "platform/streaming.h"

namespace vmstream {

// Damage to the stream's structure: never handed to the error hook.
class EReadFatal : public EReadError {
public:
  using EReadError::EReadError;
};

[[noreturn]] inline void InvalidFormat() { throw EReadFatal("Invalid stream format"); }

// Little-endian encoding of fixed-size values.
template <class T>
void PutLE(uint8_t* out, T v) {
  std::memcpy(out, &v, sizeof v);
}

// A value tag followed by the value's bytes.
template <class T>
void WriteTagged(TWriter& W, TValueType Tag, T v) {
  uint8_t buf[1 + sizeof v];
  buf[0] = Tag;
  PutLE(buf + 1, v);
  W.Write(buf, static_cast<int>(sizeof buf));
}

inline bool IsIntTag(TValueType t) { return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64; }

// Reads a float in the C locale; denormals that std::from_chars refuses are taken too.
template <class F>
bool ParseFloat(const std::string& s, F& value) {
  F v{};
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ptr != s.data() + s.size()) return false;
  if (r.ec == std::errc()) {
    value = v;
    return true;
  }
  if (r.ec != std::errc::result_out_of_range) return false;
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  char* end = nullptr;
  long double ld = strtold_l(s.c_str(), &end, c);
  if (end != s.c_str() + s.size() || !std::isfinite(ld)) return false;
  F f = static_cast<F>(ld);
  if (!std::isfinite(f)) return false;
  value = f;
  return true;
}

// Shortest text that reads back to the same bits; always shows it is a float.
template <class F>
std::string FloatToText(F v) {
  if (std::isnan(v)) return "+NaN";
  if (std::isinf(v)) return v < 0 ? "-Inf" : "+Inf";
  char buf[80];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

// A value stored as its own bytes.
template <class T>
T ReadRaw(TReader& R) {
  T v;
  R.Read(&v, sizeof v);
  return v;
}

// What a component's entry starts with: the optional prefix, the class name and the name.
struct TComponentHeader {
  TFilerFlags Flags;
  int ChildPos = 0;
  std::string ClassName, Name;
};

inline TComponentHeader ReadComponentHeader(TReader& R) {
  TComponentHeader h;
  R.ReadPrefix(h.Flags, h.ChildPos);
  h.ClassName = R.ReadStr();
  h.Name = R.ReadStr();
  return h;
}

inline int64_t ReadIntBody(TReader& R, TValueType t) {
  switch (t) {
    case vaInt8:
      return ReadRaw<int8_t>(R);
    case vaInt16:
      return ReadRaw<int16_t>(R);
    case vaInt32:
      return ReadRaw<int32_t>(R);
    case vaInt64:
      return ReadRaw<int64_t>(R);
    default:
      InvalidFormat();
  }
}

inline long double ReadFloatBody(TReader& R, TValueType t) {
  switch (t) {
    case vaExtended: {
      long double v = 0;
      uint8_t raw[sizeof(long double)] = {};
      R.Read(raw, 10);
      std::memcpy(&v, raw, sizeof v);
      return v;
    }
    case vaDouble:
    case vaDate:
      return ReadRaw<double>(R);
    case vaSingle:
      return ReadRaw<float>(R);
    case vaCurrency:
      return static_cast<long double>(ReadRaw<int64_t>(R)) / 10000.0L;
    default:
      return static_cast<long double>(ReadIntBody(R, t));
  }
}

}  // namespace vmstream
