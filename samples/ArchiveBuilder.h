#pragma once
// Disc archives for tests, built in memory and written to files. A disc entry
// is a KVP header, filler blocks and the two Bink files of a clip; the
// publisher layout leaves out the KVP header. Besides whole clips, the builder
// appends loose pieces and damages what it built, for archives that break the
// format on purpose.
#include "samples/BinkBuilder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

constexpr uint32_t KVP_HEADER_SIZE = 8;
constexpr uint32_t FILLER_SIZE = 44;

// Where the builder put a clip: what a scan of the archive should record.
struct BuiltClip {
    uint32_t entryOffset;   // the KVP header, or the first filler / Bink file
    uint32_t hiOffset;
    uint32_t hiSize;
    uint32_t loOffset;
    uint32_t loSize;
    uint32_t frames;
};

class ArchiveBuilder {
public:
    enum class Layout { Disc, Publisher };
    explicit ArchiveBuilder(Layout layout = Layout::Disc);

    // A whole clip entry with both encodings of frames frames, showing the clip's number.
    ArchiveBuilder& AddClip(uint32_t frames, unsigned fillers = 0);
    // A whole clip entry from given Bink files. The KVP value defaults to the
    // frame count of hi.
    ArchiveBuilder& AddClip(const std::vector<uint8_t>& hi, const std::vector<uint8_t>& lo,
                            unsigned fillers = 0, std::optional<uint16_t> kvpValue = std::nullopt);

    // Loose pieces, appended as they are.
    ArchiveBuilder& AppendKvpHeader(uint16_t value = 0);
    ArchiveBuilder& AppendFillers(unsigned count);   // 44 bytes each, never starting with "BIK"
    ArchiveBuilder& AppendBytes(const std::vector<uint8_t>& bytes);
    ArchiveBuilder& AppendText(const std::string& text);

    // Damage. Offsets are from the start of the archive.
    ArchiveBuilder& Truncate(uint32_t length);
    ArchiveBuilder& Overwrite(uint32_t offset, const std::string& bytes);   // e.g. a bad tag
    ArchiveBuilder& SetU32(uint32_t offset, uint32_t value);                // e.g. a size field

    Layout GetLayout() const { return m_layout; }
    uint32_t Size() const { return static_cast<uint32_t>(m_bytes.size()); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    const std::vector<BuiltClip>& Clips() const { return m_clips; }

    // Throws std::runtime_error when the file cannot be written.
    void WriteTo(const std::string& path) const;

private:
    Layout m_layout;
    std::vector<uint8_t> m_bytes;
    std::vector<BuiltClip> m_clips;
};

void WriteBytesToFile(const std::vector<uint8_t>& bytes, const std::string& path);

} // namespace testsupport
