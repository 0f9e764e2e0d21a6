#include "midi_file.h"

#include <algorithm>
#include <cstring>

namespace vb {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000;  // microseconds per quarter note (120 bpm)

struct TTickEvent {
  std::uint64_t Tick;
  std::uint32_t Tempo;  // a tempo change when non-zero
  TMidiEvent Event;
  size_t Order;  // in the file, for a stable sort
};

class TBytes {
 public:
  TBytes(const std::vector<std::uint8_t>& B, size_t At, size_t End) : FB(B), FAt(At), FEnd(End) {}
  bool Byte(std::uint8_t& V) {
    if (FAt >= FEnd) return false;
    V = FB[FAt++];
    return true;
  }
  bool Be(int Bytes, std::uint32_t& V) {
    V = 0;
    for (std::uint8_t b = 0; Bytes-- > 0;) {
      if (!Byte(b)) return false;
      V = (V << 8) | b;
    }
    return true;
  }
  // A variable-length quantity: at most four bytes of seven bits.
  bool Vlq(std::uint32_t& V) {
    V = 0;
    for (int k = 0; k < 4; ++k) {
      std::uint8_t b = 0;
      if (!Byte(b)) return false;
      V = (V << 7) | (b & 0x7F);
      if (!(b & 0x80)) return true;
    }
    return false;
  }
  bool Skip(std::uint32_t N) {
    if (FEnd - FAt < N) return false;
    FAt += N;
    return true;
  }
  bool AtEnd() const { return FAt >= FEnd; }
  size_t At() const { return FAt; }

 private:
  const std::vector<std::uint8_t>& FB;
  size_t FAt, FEnd;
};

// Data bytes that follow a channel status.
int DataBytes(std::uint8_t Status) {
  const std::uint8_t kind = Status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool ReadTrack(TBytes& R, std::vector<TTickEvent>& Out, std::uint64_t& LastTick) {
  std::uint64_t tick = 0;
  std::uint8_t running = 0;
  while (!R.AtEnd()) {
    std::uint32_t delta = 0;
    std::uint8_t status = 0;
    if (!R.Vlq(delta) || !R.Byte(status)) return false;
    tick += delta;
    LastTick = std::max(LastTick, tick);
    if (status == 0xFF) {  // meta event
      std::uint8_t type = 0;
      std::uint32_t length = 0, tempo = 0;
      if (!R.Byte(type) || !R.Vlq(length)) return false;
      if (type == 0x2F) return true;  // end of track
      if (type == 0x51 && length == 3) {
        if (!R.Be(3, tempo) || tempo == 0) return false;
        Out.push_back({tick, tempo, {}, Out.size()});
      } else if (!R.Skip(length)) {
        return false;
      }
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {  // system exclusive: not sent
      std::uint32_t length = 0;
      if (!R.Vlq(length) || !R.Skip(length)) return false;
      continue;
    }
    TTickEvent e{tick, 0, {}, Out.size()};
    std::uint8_t first = 0;
    if (status < 0x80) {  // running status: this byte is the first data byte
      if (!running) return false;
      first = status;
      status = running;
    } else if (!R.Byte(first)) {
      return false;
    }
    running = status;
    e.Event.Bytes[0] = status;
    e.Event.Bytes[1] = first;
    if (DataBytes(status) == 2 && !R.Byte(e.Event.Bytes[2])) return false;
    Out.push_back(e);
  }
  return true;  // a track without its end-of-track event ends with its chunk
}

}  // namespace

bool ParseMidiFile(const std::vector<std::uint8_t>& Bytes, const std::string& Path, TMidiSong& Song,
                   std::string& Error) {
  const std::string bad = "'" + Path + "' is no standard MIDI file or is damaged";
  TBytes head(Bytes, 0, Bytes.size());
  std::uint32_t magic = 0, length = 0, format = 0, tracks = 0, division = 0;
  if (!head.Be(4, magic) || magic != 0x4D546864 || !head.Be(4, length) || length < 6 || !head.Be(2, format) ||
      !head.Be(2, tracks) || !head.Be(2, division) || !head.Skip(length - 6) || format > 1) {
    Error = bad;
    return false;
  }
  if (division == 0 || (division & 0x8000)) {
    Error = "'" + Path + "' counts time in SMPTE frames; vst-render reads files timed in ticks per quarter note";
    return false;
  }
  std::vector<TTickEvent> events;
  std::uint64_t lastTick = 0;
  size_t at = head.At();
  for (std::uint32_t t = 0; t < tracks; ++t) {
    TBytes chunk(Bytes, at, Bytes.size());
    std::uint32_t id = 0, size = 0;
    if (!chunk.Be(4, id) || !chunk.Be(4, size) || Bytes.size() - chunk.At() < size) {
      Error = bad + " (track " + std::to_string(t + 1) + ")";
      return false;
    }
    TBytes track(Bytes, chunk.At(), chunk.At() + size);
    if (id == 0x4D54726B && !ReadTrack(track, events, lastTick)) {
      Error = bad + " (track " + std::to_string(t + 1) + ")";
      return false;
    }
    at = chunk.At() + size;
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const TTickEvent& A, const TTickEvent& B) { return A.Tick < B.Tick; });
  // Ticks to seconds through the tempo map.
  double seconds = 0.0;
  std::uint64_t tick = 0;
  std::uint32_t tempo = kDefaultTempo;
  const auto advance = [&](std::uint64_t To) {
    seconds += static_cast<double>(To - tick) * tempo / 1e6 / division;
    tick = To;
  };
  Song.Events.clear();
  for (const TTickEvent& e : events) {
    advance(e.Tick);
    if (e.Tempo) {
      tempo = e.Tempo;
      continue;
    }
    TMidiEvent m = e.Event;
    m.Seconds = seconds;
    Song.Events.push_back(m);
  }
  advance(std::max(lastTick, tick));
  Song.LengthSeconds = seconds;
  return true;
}

}  // namespace vb
