// Many inputs in one run: which files they are and where each one's output
// goes. Inputs are files, folders (their audio files, by name) or patterns
// the shell left alone ('*.wav'); outputs go into a folder ("-o out/") or
// follow a pattern in which {name} stands for the input's name without its
// extension ("-o 'out/{name}.flac'").
#pragma once

#include <string>
#include <vector>

namespace vb {

struct TBatchItem {
  std::string Input;
  std::string Output;  // empty: rendered and measured, not written
};

// True when the command line asks for a batch: several inputs, a folder
// or a pattern among them, or an output that is a folder or a pattern.
bool IsBatch(const std::vector<std::string>& Inputs, const std::string& Output);

// The files and their outputs, in the order given (a folder's files sorted
// by name). False with a one-line message when an input matches nothing,
// two inputs would write one output, or an output would be its own input.
bool PlanBatch(const std::vector<std::string>& Inputs, const std::string& Output, std::vector<TBatchItem>& Items,
               std::string& Error);

}  // namespace vb
