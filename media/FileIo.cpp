#include "media/FileIo.h"

#include "media/MediaError.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/mem.h>
}

#include <algorithm>

namespace {

constexpr int IO_BUFFER_BYTES = 64 * 1024;

} // namespace

FileIo::FileIo(CFile& file, Access access, uint64_t offset, uint64_t size, FfmpegLog& log)
    : m_file(file), m_access(access), m_offset(offset), m_size(size), m_log(log)
{
    auto* buffer = static_cast<unsigned char*>(av_malloc(IO_BUFFER_BYTES));
    const bool writes = access != Access::Read;
    m_context.reset(buffer ? avio_alloc_context(buffer, IO_BUFFER_BYTES, writes, this, writes ? nullptr : Read,
                                                writes ? Write : nullptr,
                                                access == Access::WriteOnce ? nullptr : Seek)
                           : nullptr);
    if (!m_context)
        av_free(buffer);
}

FileIo* FileIo::Of(AVIOContext* context)
{
    return static_cast<FileIo*>(context->opaque);
}

int64_t FileIo::Size() const
{
    if (m_size != TO_THE_END)
        return static_cast<int64_t>(m_size);
    const uint64_t length = m_file.GetLength64();
    return static_cast<int64_t>(length - std::min(length, m_offset));
}

int FileIo::Read(void* opaque, uint8_t* buffer, int size)
{
    auto* io = static_cast<FileIo*>(opaque);
    const uint64_t left = io->m_size == TO_THE_END ? UINT64_MAX : io->m_size - std::min(io->m_position, io->m_size);
    const auto wanted = static_cast<uint32_t>(std::min<uint64_t>(left, static_cast<uint64_t>(size)));
    if (wanted == 0)
        return AVERROR_EOF;
    try {
        const uint32_t got = io->m_file.ReadAt(io->m_offset + io->m_position, buffer, wanted);
        io->m_position += got;
        return got == 0 ? AVERROR_EOF : static_cast<int>(got);
    } catch (...) {
        io->m_log.KeepFileError(std::current_exception());
        return AVERROR(EIO);
    }
}

int FileIo::Write(void* opaque, uint8_t* buffer, int size)
{
    auto* io = static_cast<FileIo*>(opaque);
    if (io->m_broken)
        return AVERROR(EIO);
    try {
        io->m_file.Write(buffer, static_cast<uint32_t>(size));
        io->m_position += static_cast<uint64_t>(size);
        return size;
    } catch (...) {
        io->m_broken = true;
        io->m_log.KeepFileError(std::current_exception());
        return AVERROR(EIO);
    }
}

// The one answer to FFmpeg's seeks, for reading and for writing: the new
// position within the window, the window's size for AVSEEK_SIZE, or an error.
int64_t FileIo::Seek(void* opaque, int64_t offset, int whence)
{
    auto* io = static_cast<FileIo*>(opaque);
    try {
        const int how = whence & ~AVSEEK_FORCE;
        if (how == AVSEEK_SIZE)
            return io->Size();
        const int64_t base = how == SEEK_SET   ? 0
                             : how == SEEK_CUR ? static_cast<int64_t>(io->m_position)
                             : how == SEEK_END ? io->Size()
                                               : -1;
        if (base < 0 || offset < -base || offset > INT64_MAX - base)
            return AVERROR(EINVAL);
        const int64_t target = base + offset;
        if (io->m_access == Access::Write) {
            if (static_cast<uint64_t>(target) > INT64_MAX - io->m_offset)
                return AVERROR(EINVAL);
            io->m_file.Seek64(static_cast<int64_t>(io->m_offset + static_cast<uint64_t>(target)), CFile::begin);
        }
        io->m_position = static_cast<uint64_t>(target);
        return target;
    } catch (...) {
        io->m_log.KeepFileError(std::current_exception());
        return AVERROR(EIO);
    }
}
