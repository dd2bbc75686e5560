#include "media/Concealment.h"

#include "media/MediaError.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/samplefmt.h>
}

namespace {

[[noreturn]] void NoMemory(const std::string& subject)
{
    throw CMemoryException("Not enough memory to decode " + subject + ".");
}

} // namespace

FramePtr BlackPicture(const AVCodecContext& decoder, const std::string& subject)
{
    FramePtr picture(av_frame_alloc());
    if (!picture)
        NoMemory(subject);
    picture->format = decoder.pix_fmt;
    picture->width = decoder.width;
    picture->height = decoder.height;
    picture->color_range = decoder.color_range;
    if (av_frame_get_buffer(picture.get(), 0) < 0)
        NoMemory(subject);
    ptrdiff_t linesizes[4];
    for (int plane = 0; plane < 4; ++plane)
        linesizes[plane] = picture->linesize[plane];
    if (av_image_fill_black(picture->data, linesizes, decoder.pix_fmt, decoder.color_range, decoder.width,
                            decoder.height) < 0)
        throw CFailure(subject, "no black picture for its pixel format");
    return picture;
}

FramePtr Silence(const AVCodecContext& decoder, int samples, const std::string& subject)
{
    FramePtr sound(av_frame_alloc());
    if (!sound)
        NoMemory(subject);
    sound->format = decoder.sample_fmt;
    sound->sample_rate = decoder.sample_rate;
    sound->nb_samples = samples;
    if (av_channel_layout_copy(&sound->ch_layout, &decoder.ch_layout) < 0 ||
        av_frame_get_buffer(sound.get(), 0) < 0)
        NoMemory(subject);
    av_samples_set_silence(sound->extended_data, 0, samples, decoder.ch_layout.nb_channels, decoder.sample_fmt);
    return sound;
}

int64_t ReportedSamples(const AVPacket& packet, int channels)
{
    if (packet.size < 4 || channels < 1)
        return 0;
    // 16-bit samples of every channel, in bytes.
    return AV_RL32(packet.data) / (2 * channels);
}

std::string ConcealedText(uint32_t frames, const std::string& firstFault)
{
    return frames == 1 ? "1 frame concealed: " + firstFault
                       : std::to_string(frames) + " frames concealed, the first " + firstFault;
}
