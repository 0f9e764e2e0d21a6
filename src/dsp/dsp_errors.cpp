#include "dsp/dsp_errors.h"

namespace vb {

EDspAssertion::EDspAssertion(const std::string& Message, const char* Unit)
    : std::logic_error(Message + " (" + Unit + ")") {}

EDspAbstractError::EDspAbstractError(const std::string& Operation) : std::logic_error("Abstract Error: " + Operation) {}

EDspListError::EDspListError(long Index)
    : std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")") {}

}  // namespace vb
