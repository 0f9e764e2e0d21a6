// Standard MIDI files (format 0 and 1, ticks per quarter note): every
// channel event of every track, timed in seconds through the file's tempo
// map (tempo changes in any track apply to all, as in format 1 files).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vb {

struct TMidiEvent {
  double Seconds = 0.0;
  std::uint8_t Bytes[3] = {};  // status and up to two data bytes
};

struct TMidiSong {
  std::vector<TMidiEvent> Events;  // by time; at one time in file order
  double LengthSeconds = 0.0;      // the last event, end of track included
};

// False with a one-line message naming `path` for anything that is not a
// well-formed standard MIDI file this reader takes.
bool ParseMidiFile(const std::vector<std::uint8_t>& Bytes, const std::string& Path, TMidiSong& Song,
                   std::string& Error);

}  // namespace vb
