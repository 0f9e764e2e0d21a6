#pragma once

#include <stdexcept>
#include <string>

namespace vb {

// An error of use of a DSP object ("Invalid Samplerate!", "Order is fixed!").
class EDspError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A broken internal invariant; the text names the source unit.
class EDspAssertion : public std::logic_error {
 public:
  EDspAssertion(const std::string& Message, const char* Unit);
};

// An operation that the object's class does not provide.
class EDspAbstractError : public std::logic_error {
 public:
  explicit EDspAbstractError(const std::string& Operation);
};

// A class-list index outside 0 .. Count - 1.
class EDspListError : public std::out_of_range {
 public:
  explicit EDspListError(long Index);
};

}  // namespace vb
