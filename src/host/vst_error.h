// Failure raised by the plug-in interface layer (e.g. "AudioMaster Error").
#pragma once

#include <stdexcept>
#include <string>

namespace vb {

class EVstError : public std::runtime_error {
 public:
  explicit EVstError(const std::string& Message);
};

}  // namespace vb
