#pragma once
// Bits go in least significant first, as Bink's decoders read them.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bink {

class BitWriter {
public:
    // Bits of value above count are ignored; a count past 32 pads with zero bits.
    void Put(uint32_t value, unsigned count)
    {
        for (; count > 32; count -= 32)
            Put(0, 32);
        if (count == 0)
            return;
        const uint64_t bits = value & (count == 32 ? 0xFFFFFFFFull : (1ull << count) - 1);
        m_cache |= bits << m_cached;
        m_cached += count;
        m_count += count;
        if (m_cached >= 32) {
            const uint32_t word = static_cast<uint32_t>(m_cache);
            for (int i = 0; i < 4; ++i)
                m_bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
            m_cache >>= 32;
            m_cached -= 32;
        }
    }
    void PutBit(bool bit) { Put(bit ? 1 : 0, 1); }
    // Zero bits up to the next 32-bit word, where every plane and audio block starts.
    void Align32()
    {
        if (m_count % 32)
            Put(0, 32 - static_cast<unsigned>(m_count % 32));
    }
    // Another writer's bits after these.
    void Append(const BitWriter& other)
    {
        for (std::size_t i = 0; i < other.m_bytes.size(); i += 4)
            Put(static_cast<uint32_t>(other.m_bytes[i] | other.m_bytes[i + 1] << 8 | other.m_bytes[i + 2] << 16 |
                                      static_cast<uint32_t>(other.m_bytes[i + 3]) << 24),
                32);
        Put(static_cast<uint32_t>(other.m_cache), other.m_cached);
    }
    uint64_t Count() const { return m_count; }
    // The bytes so far; a last partial byte is padded with zero bits.
    std::vector<uint8_t> Take()
    {
        for (unsigned done = 0; done < m_cached; done += 8)
            m_bytes.push_back(static_cast<uint8_t>(m_cache >> done));
        m_cache = 0;
        m_cached = 0;
        m_count = 0;
        return std::move(m_bytes);
    }

private:
    std::vector<uint8_t> m_bytes;
    uint64_t m_cache = 0;
    unsigned m_cached = 0;
    uint64_t m_count = 0;
};

} // namespace bink
