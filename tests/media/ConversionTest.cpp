// Conversions in process of clips the sample builder writes, read back with
// FFmpeg's own demuxer and decoders. The command line's tests see the rest:
// every picture, its size, rate and colours, and the sound's format.
#include "CatchFileException.h"
#include "file/MemFile.h"
#include "media/ClipConverter.h"
#include "media/OutputFormats.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace testsupport;

namespace {

constexpr uint32_t FRAMES = 10;

// One encoding of a clip of shape converted in format: the file's bytes.
std::vector<uint8_t> Convert(const BinkShape& shape, const OutputFormat& format)
{
    const std::vector<uint8_t> bink = BuildBinkFile(shape);
    CMemFile archive(bink.data(), static_cast<uint32_t>(bink.size()));
    CMemFile output;
    ConversionOptions options;
    options.format = &format;
    ConvertEncoding(archive, {0, static_cast<uint32_t>(bink.size())}, "clip 1 (high-res.)", output, false, options);
    return output.Data();
}

// How long the sound of a file plays, as its container says (MP4: its edit
// list, to the millisecond), else as many samples as its decoder gives (WebM:
// Opus's own start and end trimmed); -1 without sound.
double SoundSeconds(const std::string& path)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(format, nullptr) < 0) {
        avformat_close_input(&format);
        ADD_FAILURE() << path << " does not open";
        return 0;
    }
    double seconds = -1;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    const AVStream* stream = index >= 0 ? format->streams[index] : nullptr;
    if (stream && stream->duration != AV_NOPTS_VALUE) {
        seconds = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    } else if (stream) {
        AVCodecContext* decoder = avcodec_alloc_context3(avcodec_find_decoder(stream->codecpar->codec_id));
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        avcodec_parameters_to_context(decoder, stream->codecpar);
        avcodec_open2(decoder, decoder->codec, nullptr);
        int64_t samples = 0;
        for (bool more = true; more;) {
            more = av_read_frame(format, packet) >= 0;
            if (!more || packet->stream_index == index)
                avcodec_send_packet(decoder, more ? packet : nullptr);
            av_packet_unref(packet);
            while (avcodec_receive_frame(decoder, frame) >= 0)
                samples += frame->nb_samples;
        }
        seconds = static_cast<double>(samples) / decoder->sample_rate;
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
    }
    avformat_close_input(&format);
    return seconds;
}

// In either format the sound is as long as the pictures, FRAMES / 15 seconds,
// whether the source's runs short or long, in one channel or two; a clip
// without sound is converted without.
TEST(Conversion, TheSoundIsAsLongAsThePictures)
{
    const struct {
        uint32_t tracks;
        bool stereo;
        uint32_t soundFrames;   // how long the source's sound lasts; 0: as the pictures
    } cases[] = {
        {0, false, 0}, {1, false, 0}, {1, true, 0}, {1, false, 4}, {1, true, 4}, {1, false, 25}, {1, true, 25},
    };
    ScratchFolder folder;
    for (const OutputFormat& format : OutputFormats()) {
        for (const auto& c : cases) {
            BinkShape shape = LoResShape(FRAMES);
            shape.audioTracks = c.tracks;
            shape.audio.stereo = c.stereo;
            shape.audio.frames = c.soundFrames;
            const std::string file = folder.Write(std::string("clip") + format.extension, Convert(shape, format));
            EXPECT_NEAR(SoundSeconds(file), c.tracks ? FRAMES / 15.0 : -1, 0.001)
                << format.name << ", " << (c.stereo ? "stereo" : "mono") << " sound of " << c.soundFrames << " frames";
        }
    }
}

// A setting that the encoder or the muxer does not take fails the conversion,
// naming it, rather than giving a file other than the one asked for.
TEST(Conversion, ASettingNotTakenIsNamed)
{
    const struct {
        const char* format;
        NamedSetting video;   // name null: none added
        NamedSetting file;
        std::string error;
    } cases[] = {
        {"mp4", {"foo", "1"}, {nullptr, nullptr}, "clip 1 (high-res.): the libx264 encoder does not take the option 'foo'"},
        {"webm", {"lag", "1"}, {nullptr, nullptr}, "clip 1 (high-res.): the libvpx-vp9 encoder does not take the option 'lag'"},
        {"mp4", {nullptr, nullptr}, {"fastest", "1"}, "clip 1 (high-res.): the mp4 muxer does not take the option 'fastest'"},
    };
    for (const auto& c : cases) {
        OutputFormat format = *FindOutputFormat(c.format);
        if (c.video.name)
            format.videoSettings.push_back(c.video);
        if (c.file.name)
            format.fileSettings.push_back(c.file);
        const CFailure failure = CatchException<CFailure>([&] { Convert(HiResShape(2), format); }, CFailure("", ""));
        EXPECT_EQ(failure.GetErrorMessage(), c.error);
    }
}

} // namespace
