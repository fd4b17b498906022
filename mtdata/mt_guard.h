// Guarded arithmetic for the parameter computation. Floating-point faults are not trapped by
// the hardware, so each divisor and operand is tested here and a fault raises the toolkit's
// EZeroDivide, EInvalidOp or EOverflow (all EMathError). A guarded group catches them; no NaN
// or infinity ever reaches a stored value.
//
// The routines keep the precision of their operands: float for Single, double for Double,
// long double for Extended (mixed operands take the wider type).
#pragma once

#include "mtdata/mt_types.h"
#include "platform/exceptions.h"

#include <cmath>
#include <concepts>
#include <type_traits>

[[noreturn]] void RaiseZeroDivide();  // "Floating point division by zero"
[[noreturn]] void RaiseInvalidOp();   // "Invalid floating point operation"
[[noreturn]] void RaiseOverflow();    // "Floating point overflow"

namespace mtdata_detail {
template <typename A, typename B>
using TFloatOf = std::common_type_t<A, B>;
}  // namespace mtdata_detail

// NaN raises EInvalidOp, an infinity EOverflow; otherwise returns x.
template <std::floating_point T>
inline T CheckFinite(T x) {
  if (std::isnan(x)) [[unlikely]]
    RaiseInvalidOp();
  if (std::isinf(x)) [[unlikely]]
    RaiseOverflow();
  return x;
}

// a / b: 0/0 raises EInvalidOp, x/0 EZeroDivide, a result too large EOverflow.
template <typename A, typename B>
inline auto GuardDiv(A a, B b) {
  using T = mtdata_detail::TFloatOf<A, B>;
  static_assert(std::is_floating_point_v<T>, "GuardDiv divides floating-point values");
  const T x = static_cast<T>(a), y = static_cast<T>(b);
  if (y == 0) [[unlikely]] {
    if (x == 0 || std::isnan(x)) RaiseInvalidOp();
    RaiseZeroDivide();
  }
  return CheckFinite(T(x / y));
}

template <typename A, typename B>
inline auto GuardMul(A a, B b) {
  using T = mtdata_detail::TFloatOf<A, B>;
  static_assert(std::is_floating_point_v<T>, "GuardMul multiplies floating-point values");
  return CheckFinite(T(static_cast<T>(a) * static_cast<T>(b)));
}

template <typename A, typename B>
inline auto GuardAdd(A a, B b) {
  using T = mtdata_detail::TFloatOf<A, B>;
  static_assert(std::is_floating_point_v<T>, "GuardAdd adds floating-point values");
  return CheckFinite(T(static_cast<T>(a) + static_cast<T>(b)));
}

// Square root: a negative operand raises EInvalidOp.
template <std::floating_point T>
inline T GuardSqrt(T x) {
  if (!(x >= 0)) [[unlikely]]
    RaiseInvalidOp();  // negative or NaN
  return CheckFinite(std::sqrt(x));
}

// Natural logarithm: 0 raises EZeroDivide, a negative operand EInvalidOp.
template <std::floating_point T>
inline T GuardLn(T x) {
  if (x == 0) [[unlikely]]
    RaiseZeroDivide();
  if (!(x > 0)) [[unlikely]]
    RaiseInvalidOp();
  return CheckFinite(std::log(x));
}

// Decimal logarithm, faults as GuardLn.
template <std::floating_point T>
inline T GuardLog10(T x) {
  if (x == 0) [[unlikely]]
    RaiseZeroDivide();
  if (!(x > 0)) [[unlikely]]
    RaiseInvalidOp();
  return CheckFinite(std::log10(x));
}

template <std::floating_point T>
inline T GuardExp(T x) {
  return CheckFinite(std::exp(CheckFinite(x)));
}

// base ^ exponent: 0 to a negative power raises EZeroDivide, a negative base to a
// non-integer power EInvalidOp, a result too large EOverflow.
template <typename A, typename B>
inline auto GuardPower(A base, B exponent) {
  using T = mtdata_detail::TFloatOf<A, B>;
  static_assert(std::is_floating_point_v<T>, "GuardPower takes floating-point values");
  const T b = CheckFinite(static_cast<T>(base)), e = CheckFinite(static_cast<T>(exponent));
  if (e == 0) return T(1);
  if (b == 0) {
    if (e < 0) RaiseZeroDivide();
    return T(0);
  }
  if (b < 0 && std::trunc(e) != e) RaiseInvalidOp();
  return CheckFinite(T(std::pow(b, e)));
}

// Arc tangent of y/x in (-pi, pi]; (0, 0) gives 0. Only a NaN or an infinite operand faults.
template <typename A, typename B>
inline auto GuardArcTan2(A y, B x) {
  using T = mtdata_detail::TFloatOf<A, B>;
  static_assert(std::is_floating_point_v<T>, "GuardArcTan2 takes floating-point values");
  return std::atan2(CheckFinite(static_cast<T>(y)), CheckFinite(static_cast<T>(x)));
}

template <std::floating_point T>
inline T GuardArcTan(T x) {
  return std::atan(CheckFinite(x));
}

// Converts to a narrower (or equal) precision; a value beyond the target's range raises
// EOverflow, as storing an Extended into a Double would.
template <std::floating_point To, std::floating_point From>
inline To CheckedNarrow(From v) {
  return CheckFinite(static_cast<To>(CheckFinite(v)));
}

// Dst := v, only when v is a finite value of Dst's precision; else raises and Dst keeps its
// previous value.
template <std::floating_point Dst, std::floating_point From>
inline void StoreChecked(Dst& dst, From v) {
  dst = CheckedNarrow<Dst>(v);
}

// Runs one guarded group. A floating-point fault ends the group (what it stored before the
// fault stands), logs the group's name through LogDivisionByZero and returns false.
template <typename Body>
inline bool GuardGroup(int Xpr, int F, const char* Name, double Freq, Body&& body) {
  try {
    body();
    return true;
  } catch (const EMathError&) {
    LogDivisionByZero(Xpr, F, Name, Freq);
    return false;
  }
}

// A guarded group that skips silently.
template <typename Body>
inline bool SilentGroup(Body&& body) {
  try {
    body();
    return true;
  } catch (const EMathError&) {
    return false;
  }
}
