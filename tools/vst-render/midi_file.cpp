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
  TBytes(const std::vector<std::uint8_t>& b, size_t at, size_t end) : FB(b), FAt(at), FEnd(end) {}
  bool Byte(std::uint8_t& v) {
    if (FAt >= FEnd) return false;
    v = FB[FAt++];
    return true;
  }
  bool Be(int bytes, std::uint32_t& v) {
    v = 0;
    for (std::uint8_t b = 0; bytes-- > 0;) {
      if (!Byte(b)) return false;
      v = (v << 8) | b;
    }
    return true;
  }
  // A variable-length quantity: at most four bytes of seven bits.
  bool Vlq(std::uint32_t& v) {
    v = 0;
    for (int k = 0; k < 4; ++k) {
      std::uint8_t b = 0;
      if (!Byte(b)) return false;
      v = (v << 7) | (b & 0x7F);
      if (!(b & 0x80)) return true;
    }
    return false;
  }
  bool Skip(std::uint32_t n) {
    if (FEnd - FAt < n) return false;
    FAt += n;
    return true;
  }
  bool AtEnd() const { return FAt >= FEnd; }
  size_t At() const { return FAt; }

 private:
  const std::vector<std::uint8_t>& FB;
  size_t FAt, FEnd;
};

// Data bytes that follow a channel status.
int DataBytes(std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool ReadTrack(TBytes& r, std::vector<TTickEvent>& out, std::uint64_t& lastTick) {
  std::uint64_t tick = 0;
  std::uint8_t running = 0;
  while (!r.AtEnd()) {
    std::uint32_t delta = 0;
    std::uint8_t status = 0;
    if (!r.Vlq(delta) || !r.Byte(status)) return false;
    tick += delta;
    lastTick = std::max(lastTick, tick);
    if (status == 0xFF) {  // meta event
      std::uint8_t type = 0;
      std::uint32_t length = 0, tempo = 0;
      if (!r.Byte(type) || !r.Vlq(length)) return false;
      if (type == 0x2F) return true;  // end of track
      if (type == 0x51 && length == 3) {
        if (!r.Be(3, tempo) || tempo == 0) return false;
        out.push_back({tick, tempo, {}, out.size()});
      } else if (!r.Skip(length)) {
        return false;
      }
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {  // system exclusive: not sent
      std::uint32_t length = 0;
      if (!r.Vlq(length) || !r.Skip(length)) return false;
      continue;
    }
    TTickEvent e{tick, 0, {}, out.size()};
    std::uint8_t first = 0;
    if (status < 0x80) {  // running status: this byte is the first data byte
      if (!running) return false;
      first = status;
      status = running;
    } else if (!r.Byte(first)) {
      return false;
    }
    running = status;
    e.Event.Bytes[0] = status;
    e.Event.Bytes[1] = first;
    if (DataBytes(status) == 2 && !r.Byte(e.Event.Bytes[2])) return false;
    out.push_back(e);
  }
  return true;  // a track without its end-of-track event ends with its chunk
}

}  // namespace

bool ParseMidiFile(const std::vector<std::uint8_t>& bytes, const std::string& path, TMidiSong& song,
                   std::string& error) {
  const std::string bad = "'" + path + "' is no standard MIDI file or is damaged";
  TBytes head(bytes, 0, bytes.size());
  std::uint32_t magic = 0, length = 0, format = 0, tracks = 0, division = 0;
  if (!head.Be(4, magic) || magic != 0x4D546864 || !head.Be(4, length) || length < 6 || !head.Be(2, format) ||
      !head.Be(2, tracks) || !head.Be(2, division) || !head.Skip(length - 6) || format > 1) {
    error = bad;
    return false;
  }
  if (division == 0 || (division & 0x8000)) {
    error = "'" + path + "' counts time in SMPTE frames; vst-render reads files timed in ticks per quarter note";
    return false;
  }
  std::vector<TTickEvent> events;
  std::uint64_t lastTick = 0;
  size_t at = head.At();
  for (std::uint32_t t = 0; t < tracks; ++t) {
    TBytes chunk(bytes, at, bytes.size());
    std::uint32_t id = 0, size = 0;
    if (!chunk.Be(4, id) || !chunk.Be(4, size) || bytes.size() - chunk.At() < size) {
      error = bad + " (track " + std::to_string(t + 1) + ")";
      return false;
    }
    TBytes track(bytes, chunk.At(), chunk.At() + size);
    if (id == 0x4D54726B && !ReadTrack(track, events, lastTick)) {
      error = bad + " (track " + std::to_string(t + 1) + ")";
      return false;
    }
    at = chunk.At() + size;
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const TTickEvent& a, const TTickEvent& b) { return a.Tick < b.Tick; });
  // Ticks to seconds through the tempo map.
  double seconds = 0.0;
  std::uint64_t tick = 0;
  std::uint32_t tempo = kDefaultTempo;
  const auto advance = [&](std::uint64_t to) {
    seconds += static_cast<double>(to - tick) * tempo / 1e6 / division;
    tick = to;
  };
  song.Events.clear();
  for (const TTickEvent& e : events) {
    advance(e.Tick);
    if (e.Tempo) {
      tempo = e.Tempo;
      continue;
    }
    TMidiEvent m = e.Event;
    m.Seconds = seconds;
    song.Events.push_back(m);
  }
  advance(std::max(lastTick, tick));
  song.LengthSeconds = seconds;
  return true;
}

}  // namespace vb
