#include "bink/PlaneWriter.h"

#include "bink/CoefficientCoder.h"
#include "bink/VideoTables.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <stdexcept>

namespace bink {

namespace {

// The bits of a group's count, as the decoder sizes them from the most
// values a row can take, plus 511.
unsigned CountBits(uint32_t most)
{
    unsigned log2 = 0;
    for (uint32_t v = most + 511; v > 1; v >>= 1)
        ++log2;
    return log2 + 1;
}

unsigned BitLength(uint32_t value)
{
    unsigned bits = 0;
    for (; value; value >>= 1)
        ++bits;
    return bits;
}

using Counts = std::array<uint32_t, 16>;

// A code book and the symbol each of its leaves stands for. The file gives
// the first few symbols by leaf (the most frequent, on the shortest codes);
// the others follow in ascending order.
struct Tree {
    unsigned book = 0;
    unsigned given = 0;
    uint8_t symbolAt[16];
    uint8_t leafOf[16];

    Tree()
    {
        std::iota(symbolAt, symbolAt + 16, 0);
        std::iota(leafOf, leafOf + 16, 0);
    }
    void Put(BitWriter& out, unsigned symbol) const
    {
        const unsigned leaf = leafOf[symbol];
        out.Put(TREE_CODES[book][leaf], TREE_LENGTHS[book][leaf]);
    }
    void PutHeader(BitWriter& out) const
    {
        out.Put(book, 4);
        if (book == 0)
            return;
        out.PutBit(true);
        out.Put(given - 1, 3);
        for (unsigned leaf = 0; leaf < given; ++leaf)
            out.Put(symbolAt[leaf], 4);
    }
};

Tree ChooseTree(const Counts& counts)
{
    Tree best;
    uint64_t bestBits = 4 + 4ull * std::accumulate(counts.begin(), counts.end(), uint64_t(0));
    uint8_t order[16];
    std::iota(order, order + 16, 0);
    std::stable_sort(order, order + 16, [&](uint8_t a, uint8_t b) { return counts[a] > counts[b]; });
    for (unsigned book = 1; book < 16; ++book) {
        for (unsigned given = 1; given <= 8; ++given) {
            Tree tree;
            tree.book = book;
            tree.given = given;
            bool taken[16] = {};
            for (unsigned leaf = 0; leaf < given; ++leaf) {
                tree.symbolAt[leaf] = order[leaf];
                taken[order[leaf]] = true;
            }
            for (unsigned symbol = 0, leaf = given; symbol < 16; ++symbol)
                if (!taken[symbol])
                    tree.symbolAt[leaf++] = static_cast<uint8_t>(symbol);
            uint64_t bits = 8 + 4 * given;
            for (unsigned leaf = 0; leaf < 16; ++leaf) {
                tree.leafOf[tree.symbolAt[leaf]] = static_cast<uint8_t>(leaf);
                bits += uint64_t(counts[tree.symbolAt[leaf]]) * TREE_LENGTHS[book][leaf];
            }
            if (bits < bestBits) {
                bestBits = bits;
                best = tree;
            }
        }
    }
    return best;
}

// The values a bundle gives from one row on, read at that row's start: the
// next row's that has any, with the empty rows before it, and the rows after
// it while all are one value. The decoder reads the next group at the start
// of the first row after the values run out, so a group never ends in an
// empty row.
struct Group {
    uint32_t lastRow;
    std::vector<int> values;
    bool Uniform() const
    {
        return std::all_of(values.begin(), values.end(), [&](int v) { return v == values[0]; });
    }
};

std::vector<Group> GroupsOf(const std::vector<std::vector<int>>& rows, unsigned countBits)
{
    const size_t most = (size_t(1) << countBits) - 1;
    std::vector<Group> groups;
    for (uint32_t row = 0; row < rows.size();) {
        Group group{row, {}};
        while (group.lastRow < rows.size() && rows[group.lastRow].empty())
            ++group.lastRow;
        if (group.lastRow == rows.size())
            break;   // nothing more: the bundle ends
        group.values = rows[group.lastRow];
        if (group.values.size() > most)
            throw std::length_error("a row's values do not fit a bundle's count");
        for (uint32_t next = group.lastRow + 1; next < rows.size() && group.Uniform(); ++next) {
            const std::vector<int>& more = rows[next];
            if (group.values.size() + more.size() > most ||
                !std::all_of(more.begin(), more.end(), [&](int v) { return v == group.values[0]; }))
                break;
            if (!more.empty()) {
                group.values.insert(group.values.end(), more.begin(), more.end());
                group.lastRow = next;
            }
        }
        row = group.lastRow + 1;
        groups.push_back(std::move(group));
    }
    return groups;
}

// Block types in a list: a value, or one of 12 to 15 for a run of 4, 8, 12
// or 32 of the last value given.
std::vector<unsigned> TypeSymbols(const std::vector<int>& values)
{
    static const unsigned RUNS[] = {32, 12, 8, 4};
    std::vector<unsigned> symbols;
    for (size_t at = 0; at < values.size();) {
        const int type = values[at];
        size_t end = at;
        while (end < values.size() && values[end] == type)
            ++end;
        symbols.push_back(static_cast<unsigned>(type));
        size_t left = end - at - 1;
        for (unsigned k = 0; k < 4; ++k) {
            for (; left >= RUNS[k]; left -= RUNS[k])
                symbols.push_back(15 - k);
        }
        symbols.insert(symbols.end(), left, static_cast<unsigned>(type));
        at = end;
    }
    return symbols;
}

} // namespace

PlaneWriter::PlaneWriter(uint32_t planeWidth, uint32_t across, uint32_t down)
    : m_across(across), m_down(down), m_rowBits(down)
{
    const uint32_t width = (std::max(planeWidth, 8u) + 7) & ~7u;
    m_countBits.fill(CountBits(width / 8));
    m_countBits[SUB_TYPES] = CountBits(width / 16);
    m_countBits[COLOURS] = CountBits(across * 64);
    m_countBits[PATTERNS] = CountBits(across * 8);
    m_countBits[RUNS] = CountBits(across * 48);
    for (auto& rows : m_values)
        rows.resize(down);
}

void PlaneWriter::Begin(uint8_t type)
{
    if (m_blocks >= m_across * m_down)
        throw std::logic_error("more blocks than the plane holds");
    Row(TYPES).push_back(type);
}

void PlaneWriter::Skip()
{
    Begin(SKIP_BLOCK);
    ++m_blocks;
}

void PlaneWriter::Fill(uint8_t colour)
{
    Begin(FILL_BLOCK);
    Row(COLOURS).push_back(colour);
    ++m_blocks;
}

void PlaneWriter::Pattern(uint8_t first, uint8_t second, const uint8_t rows[8])
{
    Begin(PATTERN_BLOCK);
    Row(COLOURS).push_back(first);
    Row(COLOURS).push_back(second);
    Row(PATTERNS).insert(Row(PATTERNS).end(), rows, rows + 8);
    ++m_blocks;
}

void PlaneWriter::Motion(int x, int y)
{
    Begin(MOTION_BLOCK);
    Row(X_OFFSETS).push_back(x);
    Row(Y_OFFSETS).push_back(y);
    ++m_blocks;
}

void PlaneWriter::Intra(const int32_t levels[64], unsigned quantIndex)
{
    Begin(INTRA_BLOCK);
    Row(INTRA_DC).push_back(levels[0]);
    PutCoefficients(m_rowBits[m_blocks / m_across], levels, quantIndex);
    ++m_blocks;
}

void PlaneWriter::Inter(int x, int y, const int32_t levels[64], unsigned quantIndex)
{
    Begin(INTER_BLOCK);
    Row(X_OFFSETS).push_back(x);
    Row(Y_OFFSETS).push_back(y);
    Row(INTER_DC).push_back(levels[0]);
    PutCoefficients(m_rowBits[m_blocks / m_across], levels, quantIndex);
    ++m_blocks;
}

void PlaneWriter::Unknown(uint8_t type)
{
    Begin(type);
    ++m_blocks;
}

void PlaneWriter::Write(BitWriter& out) const
{
    if (m_blocks != m_across * m_down)
        throw std::logic_error("a plane written before all its blocks");
    std::array<std::vector<Group>, BUNDLES> groups;
    for (int b = 0; b < BUNDLES; ++b)
        groups[b] = GroupsOf(m_values[b], m_countBits[b]);

    // What each code book codes, counted as the groups will be written.
    Counts typeCounts{}, colourCounts{}, patternCounts{}, xCounts{}, yCounts{};
    std::array<Counts, 16> highCounts{};
    for (const Group& group : groups[TYPES])
        if (!group.Uniform())
            for (unsigned symbol : TypeSymbols(group.values))
                ++typeCounts[symbol];
    unsigned lastHigh = 0;
    for (const Group& group : groups[COLOURS]) {
        for (size_t i = 0; i < (group.Uniform() ? 1 : group.values.size()); ++i) {
            const unsigned colour = static_cast<unsigned>(group.values[i]);
            ++highCounts[lastHigh][colour >> 4];
            lastHigh = colour >> 4;
            ++colourCounts[colour & 15];
        }
    }
    for (const Group& group : groups[PATTERNS])
        for (int v : group.values)
            ++patternCounts[v & 15], ++patternCounts[v >> 4];
    for (auto [bundle, counts] : {std::pair{X_OFFSETS, &xCounts}, std::pair{Y_OFFSETS, &yCounts}})
        for (const Group& group : groups[bundle])
            if (!group.Uniform())
                for (int v : group.values)
                    ++(*counts)[std::abs(v)];

    std::array<Tree, BUNDLES> trees;
    trees[TYPES] = ChooseTree(typeCounts);
    trees[COLOURS] = ChooseTree(colourCounts);
    trees[PATTERNS] = ChooseTree(patternCounts);
    trees[X_OFFSETS] = ChooseTree(xCounts);
    trees[Y_OFFSETS] = ChooseTree(yCounts);
    std::array<Tree, 16> highTrees;
    for (unsigned h = 0; h < 16; ++h)
        highTrees[h] = ChooseTree(highCounts[h]);

    for (int b = 0; b < BUNDLES; ++b) {
        if (b == COLOURS)
            for (const Tree& tree : highTrees)
                tree.PutHeader(out);
        if (b != INTRA_DC && b != INTER_DC)
            trees[b].PutHeader(out);
    }

    lastHigh = 0;
    const auto putColour = [&](unsigned colour) {
        highTrees[lastHigh].Put(out, colour >> 4);
        lastHigh = colour >> 4;
        trees[COLOURS].Put(out, colour & 15);
    };
    std::array<size_t, BUNDLES> next{};
    std::array<int64_t, BUNDLES> lastRow;
    lastRow.fill(-1);
    std::array<bool, BUNDLES> ended{};
    for (uint32_t row = 0; row < m_down; ++row) {
        for (int b = 0; b < BUNDLES; ++b) {
            if (ended[b] || lastRow[b] >= int64_t(row))
                continue;
            if (next[b] == groups[b].size()) {
                out.Put(0, m_countBits[b]);
                ended[b] = true;
                continue;
            }
            const Group& group = groups[b][next[b]++];
            lastRow[b] = group.lastRow;
            const std::vector<int>& values = group.values;
            const bool uniform = group.Uniform();
            out.Put(static_cast<uint32_t>(values.size()), m_countBits[b]);
            switch (b) {
            case TYPES:
                out.PutBit(uniform);
                if (uniform)
                    out.Put(static_cast<uint32_t>(values[0]), 4);
                else
                    for (unsigned symbol : TypeSymbols(values))
                        trees[b].Put(out, symbol);
                break;
            case COLOURS:
                out.PutBit(uniform);
                for (size_t i = 0; i < (uniform ? 1 : values.size()); ++i)
                    putColour(static_cast<unsigned>(values[i]));
                break;
            case PATTERNS:   // always listed, low half first
                for (int v : values) {
                    trees[b].Put(out, static_cast<unsigned>(v & 15));
                    trees[b].Put(out, static_cast<unsigned>(v >> 4));
                }
                break;
            case X_OFFSETS:
            case Y_OFFSETS:
                out.PutBit(uniform);
                for (size_t i = 0; i < (uniform ? 1 : values.size()); ++i) {
                    const int v = values[i];
                    if (uniform)
                        out.Put(static_cast<uint32_t>(std::abs(v)), 4);
                    else
                        trees[b].Put(out, static_cast<unsigned>(std::abs(v)));
                    if (v)
                        out.PutBit(v < 0);
                }
                break;
            case INTRA_DC:
            case INTER_DC: {
                const int first = values[0];
                if (b == INTRA_DC) {
                    out.Put(static_cast<uint32_t>(first), 11);
                } else {
                    out.Put(static_cast<uint32_t>(std::abs(first)), 10);
                    if (first)
                        out.PutBit(first < 0);
                }
                for (size_t i = 1; i < values.size(); i += 8) {
                    const size_t end = std::min(values.size(), i + 8);
                    uint32_t most = 0;
                    for (size_t j = i; j < end; ++j)
                        most = std::max(most, static_cast<uint32_t>(std::abs(values[j] - values[j - 1])));
                    const unsigned size = BitLength(most);
                    out.Put(size, 4);
                    if (size == 0)
                        continue;
                    for (size_t j = i; j < end; ++j) {
                        const int delta = values[j] - values[j - 1];
                        out.Put(static_cast<uint32_t>(std::abs(delta)), size);
                        if (delta)
                            out.PutBit(delta < 0);
                    }
                }
                break;
            }
            default:
                throw std::logic_error("values in a bundle the writer does not fill");
            }
        }
        out.Append(m_rowBits[row]);
    }
    out.Align32();
}

} // namespace bink
