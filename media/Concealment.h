#pragma once
// What stands in for a frame that a decoder cannot decode: FFmpeg's Bink
// decoders conceal nothing themselves (a damaged picture or sound packet
// gives an error and no frame; error_concealment, err_recognition without
// AV_EF_EXPLODE and AV_CODEC_FLAG2_SHOW_ALL change nothing for them), so the
// decoding client does it, as a player would: the picture before it shown
// again, and silence for lost sound.
#include "media/FfmpegPtr.h"

#include <cstdint>
#include <string>

// A black picture of the decoder's size and pixels, for a damaged first frame.
FramePtr BlackPicture(const AVCodecContext& decoder, const std::string& subject);

// samples samples of silence in the decoder's sample format, rate and channels.
FramePtr Silence(const AVCodecContext& decoder, int samples, const std::string& subject);

// The samples (per channel) that a Bink sound packet says it decodes to, from
// its first four bytes: the demuxer times the packets by it. 0 for a packet
// too short to say.
int64_t ReportedSamples(const AVPacket& packet, int channels);

// "1 frame concealed: frame 4 of 10: Unknown block type 9", "3 frames
// concealed, the first frame 4 of 10: ...", after the encoding's subject.
std::string ConcealedText(uint32_t frames, const std::string& firstFault);
