#pragma once
// How the drive's fixed filters are voiced: design frequency (Hz) and
// bandwidth (octaves) of the high-pass biquad in front of the clipper and of
// the four tone-stack filters, as they are built. Gains start at 0 dB; the
// knobs then move the high-pass frequency ("Freq"), every gain, the mid
// bandwidth and the high and presence frequencies (drive_parameter_mapping.h).

namespace vb {

struct TFilterVoicing {
  double Frequency;  // Hz
  double BandWidth;  // octaves
};

struct TDriveVoicing {
  TFilterVoicing HighPass, Low, Mid, High, Pres;
};

inline constexpr TDriveVoicing kDriveVoicing = {
    .HighPass = {275, 2.0},
    .Low = {777, 3.2},
    .Mid = {1700, 3.6},
    .High = {4340, 2.55},
    .Pres = {7280, 1.0},
};

}  // namespace vb
