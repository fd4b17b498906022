// TSet: a set of up to 64 members of an enumeration, as the toolkit's set types.
#pragma once

#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Members) {
    for (E e : Members) FBits |= Bit(e);
  }
  static constexpr TSet FromBits(uint64_t Bits) {
    TSet s;
    s.FBits = Bits;
    return s;
  }
  constexpr uint64_t Bits() const { return FBits; }

  constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TSet& Include(E e) {
    FBits |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    FBits &= ~Bit(e);
    return *this;
  }

  // Union, difference and intersection.
  constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
  constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
  constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
  constexpr TSet operator+(E e) const { return FromBits(FBits | Bit(e)); }
  constexpr TSet operator-(E e) const { return FromBits(FBits & ~Bit(e)); }
  constexpr TSet& operator+=(TSet o) {
    FBits |= o.FBits;
    return *this;
  }
  constexpr TSet& operator-=(TSet o) {
    FBits &= ~o.FBits;
    return *this;
  }
  constexpr TSet& operator*=(TSet o) {
    FBits &= o.FBits;
    return *this;
  }
  constexpr TSet& operator+=(E e) { return Include(e); }
  constexpr TSet& operator-=(E e) { return Exclude(e); }
  // Subset and superset.
  constexpr bool operator<=(TSet o) const { return (FBits & ~o.FBits) == 0; }
  constexpr bool operator>=(TSet o) const { return o <= *this; }
  constexpr bool operator==(const TSet&) const = default;

private:
  static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
  uint64_t FBits = 0;
};
