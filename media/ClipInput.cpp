#include "media/ClipInput.h"

#include "media/MediaError.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>

namespace {

constexpr int IO_BUFFER_BYTES = 64 * 1024;

} // namespace

ClipInput::ClipInput(CFile& archive, const ClipSpan& span, std::string subject)
    : m_archive(archive), m_span(span), m_subject(std::move(subject))
{
    QuietenFfmpeg();
    auto* buffer = static_cast<unsigned char*>(av_malloc(IO_BUFFER_BYTES));
    m_io = buffer ? avio_alloc_context(buffer, IO_BUFFER_BYTES, 0, this, Read, nullptr, Seek) : nullptr;
    m_format = m_io ? avformat_alloc_context() : nullptr;
    if (!m_format) {
        if (!m_io)
            av_free(buffer);
        Close();
        throw CMemoryException("Not enough memory to read " + m_subject + ".");
    }
    m_format->pb = m_io;
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    ForgetFfmpegLog();
    const int opened = avformat_open_input(&m_format, nullptr, av_find_input_format("bink"), nullptr);
    if (opened < 0) {
        m_format = nullptr;   // freed by the failed open
        Close();
        ThrowReadFailure();
        throw CFailure(m_subject, "the Bink header cannot be read: " + FfmpegReason(opened));
    }
}

ClipInput::~ClipInput()
{
    Close();
}

void ClipInput::Close()
{
    if (m_format)
        avformat_close_input(&m_format);
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
}

void ClipInput::ThrowReadFailure() const
{
    if (m_readFailure)
        std::rethrow_exception(m_readFailure);
}

int ClipInput::Read(void* opaque, uint8_t* buffer, int size)
{
    auto* input = static_cast<ClipInput*>(opaque);
    const uint64_t left = input->m_span.size - std::min<uint64_t>(input->m_position, input->m_span.size);
    const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(left, static_cast<uint64_t>(size)));
    if (wanted == 0)
        return AVERROR_EOF;
    try {
        // Exceptions must not cross FFmpeg's C frames: kept, and thrown after the call.
        const uint32_t got = input->m_archive.ReadAt(
            static_cast<uint32_t>(input->m_span.offset + input->m_position), buffer, wanted);
        input->m_position += got;
        return got == 0 ? AVERROR_EOF : static_cast<int>(got);
    } catch (...) {
        input->m_readFailure = std::current_exception();
        return AVERROR(EIO);
    }
}

int64_t SeekTarget(int64_t size, uint64_t position, int64_t offset, int whence)
{
    int64_t target;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return size;
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = static_cast<int64_t>(position) + offset; break;
    case SEEK_END: target = size + offset; break;
    default: return AVERROR(EINVAL);
    }
    return target < 0 ? AVERROR(EINVAL) : target;
}

int64_t ClipInput::Seek(void* opaque, int64_t offset, int whence)
{
    auto* input = static_cast<ClipInput*>(opaque);
    const int64_t target = SeekTarget(input->m_span.size, input->m_position, offset, whence);
    if (target >= 0 && (whence & ~AVSEEK_FORCE) != AVSEEK_SIZE)
        input->m_position = static_cast<uint64_t>(target);
    return target;
}
