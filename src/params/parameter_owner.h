#pragma once
// What parameter descriptions, categories and programs need from the module
// that owns them. The module class implements this; tests use a small fake,
// so the description and program types build and run without a module.

#include <cstdint>

namespace vb {

class TCustomVstParameterProperties;
class TCustomVstParameterCategories;

class TVstParameterOwner {
 public:
  virtual ~TVstParameterOwner() = default;

  virtual TCustomVstParameterProperties& ParameterProperties() = 0;
  virtual TCustomVstParameterCategories& ParameterCategories() = 0;

  // A description was added or removed; Count is the new number of
  // descriptions. The module writes it to the effect record and resizes the
  // value storage (setup thread only).
  virtual void ParameterCountChanged(std::int32_t Count) = 0;

  // A program was added to or removed from the program list; Count is the
  // new number of programs. The module writes it to the effect record and
  // makes program 0 current when none is current yet.
  virtual void ProgramCountChanged(std::int32_t Count) = 0;

  // True when the module keeps its programs as opaque chunks.
  virtual bool ProgramChunksEnabled() const = 0;

  // Number of parameters as the effect record states it.
  virtual std::int32_t ParameterCount() const = 0;
};

}  // namespace vb
