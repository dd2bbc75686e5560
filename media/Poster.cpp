#include "media/Poster.h"

#include "media/ClipDecoder.h"

#include <cstdlib>
#include <string>

namespace {

// The mjpeg encoder's fixed quantiser, as ffmpeg's -q:v: 2 is the finest, 31
// the coarsest; 3 keeps the edges of text and shapes clean at a few tens of
// kilobytes a poster.
constexpr int JPEG_QUALITY = 3;

[[noreturn]] void NoMemory(const std::string& subject)
{
    throw CMemoryException("Not enough memory for the poster of " + subject + ".");
}

// The picture in full-range YUV 4:2:0, JPEG's own: the decoder's studio range
// is widened by the scaler.
FramePtr ToJpegRange(const AVFrame& picture, const std::string& subject)
{
    FramePtr converted(av_frame_alloc());
    if (!converted)
        NoMemory(subject);
    converted->format = AV_PIX_FMT_YUVJ420P;
    converted->width = picture.width;
    converted->height = picture.height;
    if (av_frame_get_buffer(converted.get(), 0) < 0)
        NoMemory(subject);
    ScalerPtr scaler(
        sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format), picture.width,
                       picture.height, AV_PIX_FMT_YUVJ420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler)
        throw CFailure(subject, "its pictures cannot be converted for a JPEG");
    if (sws_scale(scaler.get(), picture.data, picture.linesize, 0, picture.height, converted->data,
                  converted->linesize) != picture.height)
        throw CFailure(subject, "its pictures cannot be converted for a JPEG");
    return converted;
}

std::vector<uint8_t> EncodeJpeg(const AVFrame& picture, const std::string& subject)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec)
        throw CFailure(subject, "this FFmpeg has no JPEG encoder (mjpeg)");
    CodecPtr context(avcodec_alloc_context3(codec));
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_clone(&picture));
    if (!context || !packet || !frame)
        NoMemory(subject);
    context->width = picture.width;
    context->height = picture.height;
    context->pix_fmt = AV_PIX_FMT_YUVJ420P;
    context->color_range = AVCOL_RANGE_JPEG;
    context->time_base = AVRational{1, static_cast<int>(CLIP_FRAME_RATE)};
    context->flags |= AV_CODEC_FLAG_QSCALE;
    context->global_quality = FF_QP2LAMBDA * JPEG_QUALITY;
    context->thread_count = 1;
    frame->quality = context->global_quality;
    frame->pts = 0;

    FfmpegLog log(subject);
    log.Watch(context.get(), context->priv_data);
    const char* what = "its poster cannot be encoded as a JPEG";
    log.Call(what, avcodec_open2, context.get(), codec, nullptr);
    log.Call(what, avcodec_send_frame, context.get(), frame.get());
    log.Call(what, avcodec_send_frame, context.get(), nullptr);
    std::vector<uint8_t> jpeg;
    while (log.Poll(what, avcodec_receive_packet, context.get(), packet.get()) >= 0) {
        jpeg.insert(jpeg.end(), packet->data, packet->data + packet->size);
        av_packet_unref(packet.get());
    }
    if (jpeg.empty())
        log.Fail(what, AVERROR_EOF);
    return jpeg;
}

} // namespace

std::vector<uint32_t> PosterCandidates(uint32_t frames)
{
    const uint64_t half = (static_cast<uint64_t>(frames) + 1) / 2;
    std::vector<uint32_t> candidates;
    for (uint64_t i = 0; i < POSTER_CANDIDATES && half > 0; ++i) {
        const auto frame = static_cast<uint32_t>((2 * i + 1) * half / (2 * POSTER_CANDIDATES));
        if (candidates.empty() || candidates.back() != frame)
            candidates.push_back(frame);
    }
    return candidates;
}

double PictureDetail(const uint8_t* luma, int stride, int width, int height)
{
    uint64_t sum = 0, pairs = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = luma + static_cast<ptrdiff_t>(y) * stride;
        const uint8_t* below = y + 1 < height ? row + stride : row;
        for (int x = 0; x < width; ++x) {
            if (x + 1 < width) {
                sum += static_cast<uint64_t>(std::abs(row[x + 1] - row[x]));
                ++pairs;
            }
            if (y + 1 < height) {
                sum += static_cast<uint64_t>(std::abs(below[x] - row[x]));
                ++pairs;
            }
        }
    }
    return pairs == 0 ? 0.0 : static_cast<double>(sum) / static_cast<double>(pairs);
}

Poster MakePoster(CFile& archive, const ClipTable& table, uint32_t index, Resolution resolution, bool conceal)
{
    const std::string subject = EncodingSubject(index + 1, resolution);
    ClipInput input(archive, GetClipSpan(table.aRecords[index], resolution), subject);
    DecodingRules rules;
    rules.conceal = conceal;
    ClipDecoder decoder(input, rules);   // refuses a clip without frames
    const std::vector<uint32_t> candidates = PosterCandidates(decoder.FrameCount());

    Poster poster;
    FramePtr best;
    double bestDetail = -1;
    size_t next = 0;   // the next candidate
    for (uint32_t frame = 0; next < candidates.size(); ++frame) {
        const AVFrame* picture = decoder.NextVideoFrame();
        if (!picture) {
            decoder.RequireEveryFrame();
            throw CFailure(subject, "ends before frame " + std::to_string(candidates[next] + 1));
        }
        if (frame != candidates[next])
            continue;
        ++next;
        const double detail = PictureDetail(picture->data[0], picture->linesize[0], picture->width, picture->height);
        if (detail > bestDetail) {   // the earlier frame wins a tie
            bestDetail = detail;
            best = ToJpegRange(*picture, subject);
        }
    }
    poster.jpeg = EncodeJpeg(*best, subject);
    poster.concealed = decoder.ConcealedText();
    return poster;
}
