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
  constexpr TEnumSet(std::initializer_list<E> members) {
    for (E m : members) Include(m);
  }
  static constexpr TEnumSet FromBits(Storage bits) {
    TEnumSet s;
    s.FBits = bits;
    return s;
  }

  constexpr Storage Bits() const { return FBits; }
  constexpr bool Contains(E m) const { return (FBits & Bit(m)) != 0; }
  constexpr bool IsEmpty() const { return FBits == 0; }
  constexpr void Include(E m) { FBits = Storage(FBits | Bit(m)); }
  constexpr void Exclude(E m) { FBits = Storage(FBits & ~Bit(m)); }
  // True when every member of this set is in Other.
  constexpr bool IsSubsetOf(TEnumSet other) const { return Storage(FBits | other.FBits) == other.FBits; }

  friend constexpr TEnumSet operator|(TEnumSet a, TEnumSet b) { return FromBits(Storage(a.FBits | b.FBits)); }
  friend constexpr TEnumSet operator&(TEnumSet a, TEnumSet b) { return FromBits(Storage(a.FBits & b.FBits)); }
  friend constexpr bool operator==(TEnumSet a, TEnumSet b) = default;

 private:
  static constexpr Storage Bit(E m) { return Storage(Storage(1) << static_cast<unsigned>(m)); }
  Storage FBits = 0;
};

}  // namespace vb
