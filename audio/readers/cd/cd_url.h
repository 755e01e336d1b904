// The URLs of audio CD tracks and the drive each one names.
//
//   cdaudio://TRACK                    track TRACK of the first drive
//   cdaudio://DEVICE/TRACK             track TRACK of drive DEVICE (0: the first drive)
//   either of them followed by ".N"    N is accepted and has no meaning here
//   file://D:\...\Track05.cda          the two digits before ".cda" are the track; the drive
//                                      letter counts drives from D: (D: the first, E: the second)
//   file:///any/path/Track05.cda       a ".cda" name without a drive letter: the first drive
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk2 {

struct CdTrackUrl {
  int32_t track = 0;
  // Index into the drive list; -1 when the URL names no drive (the first one is meant).
  int32_t drive = -1;
};

// Whether `url` is a CD track URL by its form: "cdaudio://" or "file://" ... ".cda", any case.
bool IsCdTrackUrl(const char16_t* url);

// Reads `url`. False when it is no CD track URL or a number in it is missing or malformed.
// Track numbers are not checked against any disc here.
bool ParseCdTrackUrl(const char16_t* url, CdTrackUrl* out);

// The device of the drive that `url` names among `drives`; empty when there is no such drive.
std::string PickCdDrive(const CdTrackUrl& url, const std::vector<std::string>& drives);

}  // namespace vk2
