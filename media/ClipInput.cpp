#include "media/ClipInput.h"

ClipInput::ClipInput(CFile& archive, const ClipSpan& span, std::string subject)
    : m_subject(std::move(subject)), m_log(m_subject), m_io(archive, FileIo::Access::Read, span.offset, span.size, m_log)
{
    AVFormatContext* format = m_io.Context() ? avformat_alloc_context() : nullptr;
    if (!format)
        throw CMemoryException("Not enough memory to read " + m_subject + ".");
    format->pb = m_io.Context();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    m_log.Watch(format, m_io.Context());
    // A failed open frees the context and nulls the pointer.
    m_log.Call("the Bink header cannot be read", avformat_open_input, &format, nullptr, av_find_input_format("bink"),
               nullptr);
    m_format.reset(format);
    m_log.Watch(format->priv_data);
}
