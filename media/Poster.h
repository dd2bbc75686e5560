#pragma once
// A poster for a clip: one picture that shows what the clip is, as a JPEG from
// FFmpeg's mjpeg encoder. A clip's first frame is often black or a fade, so the
// poster is the most detailed of a few frames spread over its first half.
//
// Detail is the mean absolute difference between neighbouring luma samples,
// across and down (PictureDetail): a black or flat frame scores 0, a fade
// little, a frame with sharp shapes and text the most.
#include "catalogue/ClipTable.h"

#include <cstdint>
#include <string>
#include <vector>

class CFile;

// How many frames are weighed against each other.
constexpr uint32_t POSTER_CANDIDATES = 5;

// The 0-based frames weighed for a clip of frames frames: the middles of
// POSTER_CANDIDATES equal stretches of its first half, each once, in order.
std::vector<uint32_t> PosterCandidates(uint32_t frames);

// The mean of |Y(x+1,y) - Y(x,y)| and |Y(x,y+1) - Y(x,y)| over a luma plane.
double PictureDetail(const uint8_t* luma, int stride, int width, int height);

struct Poster {
    std::vector<uint8_t> jpeg;
    std::string concealed;   // with conceal, what was: "clip 12 (high-res.): 1 frame concealed: ..."
};

// Decodes one encoding of the clip at index up to its last candidate and
// returns the most detailed candidate as a JPEG (full-range YUV 4:2:0, as JPEG
// has it). A clip that does not decode that far throws CFailure naming the
// encoding and the frame ("clip 12 (high-res.): frame 17 of 45: ..."), as
// CheckEncodingFrames words it; file errors throw CFileException. Hand it only
// an encoding that CheckEncoding passes. It reads with CFile::ReadAt alone, so
// several may run on one archive at once. With conceal, a frame that does not
// decode is concealed (ClipDecoder.h) on the way to the last candidate.
Poster MakePoster(CFile& archive, const ClipTable& table, uint32_t index, Resolution resolution,
                  bool conceal = false);
