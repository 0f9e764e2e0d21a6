// A piece of work run in a process of its own, so that whatever it does
// (crash, hang, change the process) cannot take its caller down: how
// vst-render loads plug-ins it only scans. One side per system
// (child_process_posix.cpp, child_process_win32.cpp).
//
// Threads: the caller's main thread (POSIX forks it).
#pragma once

#include <string>

namespace vb {

// How the child ended and what it wrote to its standard output.
struct TChildRun {
  bool Started = false;
  bool TimedOut = false;  // killed at the limit
  std::string Crash;      // how it ended abnormally ("exception 0xC0000005", a signal's name); empty otherwise
  std::string Output;     // its standard output, line ends as "\n"
};

// The work a child does with its argument; it writes its answer to
// standard output and ends the process itself.
using TChildWork = void (*)(const std::string& Argument);

// Runs `work(argument)` in a child whose standard input and error are
// the null device, killed after `timeoutSeconds`. POSIX forks, and the
// child calls `work`. Windows has no fork(): the child is this program
// started again with the arguments `option` and `argument`, and main()
// must call `work(argument)` on seeing them.
TChildRun RunInChild(TChildWork Work, const char* Option, const std::string& Argument, int TimeoutSeconds);

}  // namespace vb
