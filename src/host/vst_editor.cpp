#include "host/vst_editor.h"

namespace vb {

TVSTEditor::~TVSTEditor() = default;
void TVSTEditor::KeyDown(std::int32_t, bool) {}
void TVSTEditor::KeyChar(std::int32_t) {}
void TVSTEditor::KeyUp(std::int32_t, bool) {}

}  // namespace vb
