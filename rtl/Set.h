#pragma once
// A set over an enumeration whose values are bit numbers (0, 1, 2 …). Every
// layer says its option and state sets this way, so a set is never confused
// with a plain integer and the members are spelt as the enumerators.
#include <initializer_list>

template <class E, class U>
class TSet {
public:
  constexpr TSet() noexcept : FBits(0) {}
  constexpr TSet(E Value) noexcept : FBits(Bit(Value)) {}
  constexpr TSet(std::initializer_list<E> Values) noexcept : FBits(0) {
    for (E V : Values) FBits |= Bit(V);
  }
  static constexpr TSet FromBits(U Bits) noexcept {
    TSet S;
    S.FBits = Bits;
    return S;
  }
  constexpr U Bits() const noexcept { return FBits; }
  constexpr bool Contains(E Value) const noexcept { return (FBits & Bit(Value)) != 0; }
  constexpr bool Empty() const noexcept { return FBits == 0; }
  constexpr void Include(E Value) noexcept { FBits |= Bit(Value); }
  constexpr void Exclude(E Value) noexcept { FBits &= static_cast<U>(~Bit(Value)); }
  // Whether every member of Other is in this set.
  constexpr bool ContainsAll(TSet Other) const noexcept { return (FBits & Other.FBits) == Other.FBits; }
  constexpr bool Intersects(TSet Other) const noexcept { return (FBits & Other.FBits) != 0; }
  friend constexpr TSet operator+(TSet A, TSet B) noexcept { return FromBits(static_cast<U>(A.FBits | B.FBits)); }
  friend constexpr TSet operator-(TSet A, TSet B) noexcept { return FromBits(static_cast<U>(A.FBits & ~B.FBits)); }
  friend constexpr TSet operator*(TSet A, TSet B) noexcept { return FromBits(static_cast<U>(A.FBits & B.FBits)); }
  friend constexpr bool operator==(TSet A, TSet B) noexcept { return A.FBits == B.FBits; }
  constexpr TSet& operator+=(TSet B) noexcept {
    FBits |= B.FBits;
    return *this;
  }
  constexpr TSet& operator-=(TSet B) noexcept {
    FBits &= static_cast<U>(~B.FBits);
    return *this;
  }

private:
  static constexpr U Bit(E Value) noexcept { return static_cast<U>(U(1) << static_cast<unsigned>(Value)); }
  U FBits;
};
