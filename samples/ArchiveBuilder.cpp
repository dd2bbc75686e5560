#include "samples/ArchiveBuilder.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace testsupport {

ArchiveBuilder::ArchiveBuilder(Layout layout) : m_layout(layout) {}

ArchiveBuilder& ArchiveBuilder::AddClip(uint32_t frames, unsigned fillers)
{
    // Every clip shows its own number, so that no two clips are alike.
    const uint32_t number = static_cast<uint32_t>(m_clips.size()) + 1;
    return AddClip(BuildBinkFile(HiResShape(frames, number)), BuildBinkFile(LoResShape(frames, number)),
                   fillers);
}

ArchiveBuilder& ArchiveBuilder::AddClip(const std::vector<uint8_t>& hi, const std::vector<uint8_t>& lo,
                                        unsigned fillers, std::optional<uint16_t> kvpValue)
{
    BuiltClip clip{};
    clip.entryOffset = Size();
    clip.frames = GetU32(hi, 8);
    if (m_layout == Layout::Disc)
        AppendKvpHeader(kvpValue.value_or(static_cast<uint16_t>(clip.frames)));
    AppendFillers(fillers);
    clip.hiOffset = Size();
    clip.hiSize = static_cast<uint32_t>(hi.size());
    AppendBytes(hi);
    clip.loOffset = Size();
    clip.loSize = static_cast<uint32_t>(lo.size());
    AppendBytes(lo);
    m_clips.push_back(clip);
    return *this;
}

ArchiveBuilder& ArchiveBuilder::AppendKvpHeader(uint16_t value)
{
    const uint8_t header[KVP_HEADER_SIZE] = {
        'K', 'V', 'P', 1, 0, 0, static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    m_bytes.insert(m_bytes.end(), header, header + KVP_HEADER_SIZE);
    return *this;
}

ArchiveBuilder& ArchiveBuilder::AppendFillers(unsigned count)
{
    for (unsigned block = 0; block < count; ++block) {
        uint32_t state = Size() * 2246822519u + 7;
        const size_t start = m_bytes.size();
        for (uint32_t i = 0; i < FILLER_SIZE; ++i) {
            state = state * 1664525u + 1013904223u;
            m_bytes.push_back(static_cast<uint8_t>(state >> 24));
        }
        if (m_bytes[start] == 'B')
            m_bytes[start] = 'b';
    }
    return *this;
}

ArchiveBuilder& ArchiveBuilder::AppendBytes(const std::vector<uint8_t>& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

ArchiveBuilder& ArchiveBuilder::AppendText(const std::string& text)
{
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    return *this;
}

ArchiveBuilder& ArchiveBuilder::Truncate(uint32_t length)
{
    if (length < m_bytes.size())
        m_bytes.resize(length);
    return *this;
}

ArchiveBuilder& ArchiveBuilder::Overwrite(uint32_t offset, const std::string& bytes)
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < bytes.size())
        throw std::out_of_range("Overwrite past the end");
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + offset);
    return *this;
}

ArchiveBuilder& ArchiveBuilder::SetU32(uint32_t offset, uint32_t value)
{
    PutU32(m_bytes, offset, value);
    return *this;
}

void ArchiveBuilder::WriteTo(const std::string& path) const
{
    WriteBytesToFile(m_bytes, path);
}

void WriteBytesToFile(const std::vector<uint8_t>& bytes, const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace testsupport
