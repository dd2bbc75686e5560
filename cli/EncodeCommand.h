#pragma once
// zodovu-cli encode [OPTION]... INPUT... -o OUTPUT [--lo | --size WxH]
// [--rate KBPS | --quality Q] [-j N] [--force] [-q | -v]
//
// Videos of any kind FFmpeg reads, encoded as Bink files by our own encoder
// (media/BinkEncoding.h). An encoding's frames wait in a spool file, not in
// memory, until its head is known: the file is then the head and the frames.
#include "cli/Requests.h"

#include <string>
#include <vector>

struct BinkInput;

// 1 when any file failed; the others are still written.
int RunEncode(const EncodeRequest& request, RunState& run);

// replace --from: video encoded with settings into each of encodings, at
// its resolution's picture size, jobs at once (0: one a core), each into a
// file of no name in folder, which it is then read from. The first failure
// is thrown once every encoding has stopped.
void EncodeBinkInputs(const std::string& video, const EncodeSettings& settings,
                      const std::vector<BinkInput*>& encodings, unsigned jobs, const std::string& folder,
                      RunState& run);
