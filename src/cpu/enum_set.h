#pragma once
// A set of enumeration members held in the bits of one unsigned integer
// (member k is bit k).

#include <cstdint>
#include <initializer_list>

namespace vb {

template <class E, class Storage>
class TEnumSet {
 public:
  constexpr TEnumSet() = default;
  constexpr TEnumSet(std::initializer_list<E> Members) {
    for (E m : Members) Include(m);
  }
  static constexpr TEnumSet FromBits(Storage Bits) {
    TEnumSet s;
    s.FBits = Bits;
    return s;
  }

  constexpr Storage Bits() const { return FBits; }
  constexpr bool Contains(E M) const { return (FBits & Bit(M)) != 0; }
  constexpr bool IsEmpty() const { return FBits == 0; }
  constexpr void Include(E M) { FBits = Storage(FBits | Bit(M)); }
  constexpr void Exclude(E M) { FBits = Storage(FBits & ~Bit(M)); }
  // True when every member of this set is in Other.
  constexpr bool IsSubsetOf(TEnumSet Other) const { return Storage(FBits | Other.FBits) == Other.FBits; }

  friend constexpr TEnumSet operator|(TEnumSet A, TEnumSet B) { return FromBits(Storage(A.FBits | B.FBits)); }
  friend constexpr TEnumSet operator&(TEnumSet A, TEnumSet B) { return FromBits(Storage(A.FBits & B.FBits)); }
  friend constexpr bool operator==(TEnumSet A, TEnumSet B) = default;

 private:
  static constexpr Storage Bit(E M) { return Storage(Storage(1) << static_cast<unsigned>(M)); }
  Storage FBits = 0;
};

}  // namespace vb
