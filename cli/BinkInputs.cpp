#include "cli/BinkInputs.h"

#include "catalogue/ArchiveScanner.h"
#include "catalogue/ClipChecks.h"
#include "cli/Decoding.h"
#include "cli/ParallelWork.h"
#include "cli/Reporting.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace {

std::string Decimal(uint64_t value)
{
    return std::to_string(value);
}

// The file as the one clip of a table, in the place of its encoding.
std::unique_ptr<ClipTable> TableOf(const BinkInput& input)
{
    std::unique_ptr<ClipTable> table(new ClipTable());
    table->aRecords[0] = input.resolution == Resolution::High
                             ? ClipRecord{0, input.size, input.size, 0, input.header.frames}
                             : ClipRecord{0, 0, 0, input.size, input.header.frames};
    table->nCount = 1;
    return table;
}

} // namespace

std::string WithoutClipSubject(const std::string& text)
{
    const size_t colon = text.find(": ");
    return text.rfind("clip ", 0) == 0 && colon != std::string::npos ? text.substr(colon + 2) : text;
}

// The frame index, which a player reads before any frame: every frame after the
// one before and inside the file. Checked in every build, whether it decodes
// or not.
static void CheckFrameIndex(BinkInput& input)
{
    const BinkHeader& header = input.header;
    const uint64_t at = FrameIndexOffset(header);
    const uint64_t entries = uint64_t{header.frames} + 1;
    if (header.frames == 0 || at + 4 * entries > input.size)
        return;   // the encoding checks say what is wrong with such a file
    // In pieces: a file may claim many frames.
    std::vector<uint8_t> piece;
    uint64_t pieceStart = 0;
    const auto entry = [&](uint64_t i) {
        if (piece.empty() || i < pieceStart || i >= pieceStart + piece.size() / 4) {
            pieceStart = i;
            piece.resize(static_cast<size_t>(4 * std::min<uint64_t>(16384, entries - i)));
            if (input.file.ReadAt(at + 4 * i, piece.data(), static_cast<uint32_t>(piece.size())) != piece.size())
                throw CFailure(input.path, "its frame index cannot be read whole");
        }
        const uint8_t* bytes = &piece[static_cast<size_t>(4 * (i - pieceStart))];
        return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t{bytes[3]} << 24;
    };
    for (uint64_t i = 0; i < header.frames; ++i) {
        const uint32_t start = entry(i) & ~1u, end = entry(i + 1) & ~1u;
        if (start < at + 4 * entries || end <= start || end > input.size)
            throw CFailure(input.path, "its frame index puts frame " + Decimal(i + 1) + " at bytes " + Decimal(start) +
                                           " to " + Decimal(end) + ", not after the frame before and inside the file");
    }
}

std::unique_ptr<BinkInput> OpenBinkInput(const std::string& path, Resolution resolution)
{
    std::unique_ptr<BinkInput> input(new BinkInput());
    input->path = path;
    input->resolution = resolution;
    CFileException failure;
    if (!input->file.OpenRegularFile(path.c_str(), &failure))
        throw failure;
    CheckBinkInput(*input);
    return input;
}

void CheckBinkInput(BinkInput& input)
{
    const std::string& path = input.path;
    const Resolution resolution = input.resolution;
    const uint64_t length = input.file.GetLength64();
    char tag[3] = {};
    if (input.file.ReadAt(0, tag, sizeof tag) != sizeof tag || std::memcmp(tag, "BIK", sizeof tag) != 0)
        throw CFailure(path, "is no Bink file: it does not begin with BIK");
    if (length > MOST_ARCHIVE_BYTES)
        throw CFailure(path, "is " + Decimal(length) + " bytes, past 2 GiB, the most an archive holds");
    const uint32_t size = static_cast<uint32_t>(length);
    if (size < BINK_HEADER_BYTES || !ReadBinkHeader(input.file, size, 0, input.header)) {
        throw CFailure(path, "is " + Decimal(size) + " bytes, too short for a Bink file's " +
                                 Decimal(BINK_HEADER_BYTES) + "-byte header");
    }
    // The scan steps from file to file by this field: one that is wrong would
    // misplace every clip after it.
    const uint64_t claimed = uint64_t{input.header.sizeField} + 8;
    if (claimed != size)
        throw CFailure(path, "its header says the file is " + Decimal(claimed) + " bytes; it is " + Decimal(size));
    input.size = size;
    CheckFrameIndex(input);
    const std::unique_ptr<ClipTable> table = TableOf(input);
    const std::vector<ClipFinding> findings = CheckEncoding(input.file, size, *table, 0, resolution);
    if (!findings.empty()) {
        std::string faults;
        for (const ClipFinding& finding : findings)
            faults += (faults.empty() ? "" : "; ") + WithoutClipSubject(finding.text);
        throw CFailure(path, faults);
    }
}

void ProtectInputs(const std::vector<BinkInput*>& inputs, RunState& run)
{
    for (const BinkInput* input : inputs)
        run.report.Protect(input->file.GetIdentity(), "a Bink file being put in");
}

void CheckInputFrames(const std::vector<BinkInput*>& inputs, unsigned jobs, RunState& run)
{
    if (!run.decoding) {
        run.report.Note("frames not checked: this build of zodovu-cli does not decode clips");
        return;
    }
    std::vector<std::vector<ClipFinding>> found(inputs.size());
    ProgressLine& progress = run.report.Progress();
    progress.Start("Checking frames", inputs.size(), false);
    progress.SetName(inputs.size() == 1 ? inputs.front()->path : "Bink files");
    ParallelSteps steps;
    steps.work = [&](size_t i) {
        const std::unique_ptr<ClipTable> table = TableOf(*inputs[i]);
        found[i] = run.decoding->checkEncodingFrames(inputs[i]->file, *table, 0, inputs[i]->resolution).findings;
    };
    steps.progress = [&progress](size_t done) { progress.Report(done); };
    RunInParallel(inputs.size(), jobs ? jobs : std::max(1u, std::thread::hardware_concurrency()), steps);
    progress.Clear();
    size_t damaged = 0;
    for (size_t i = 0; i < inputs.size(); ++i) {
        for (const ClipFinding& finding : found[i])
            run.report.Error(inputs[i]->path, WithoutClipSubject(finding.text));
        damaged += found[i].empty() ? 0 : 1;
    }
    if (damaged > 0) {
        throw CFailure("", Counted(damaged, "Bink file", "Bink files") + (damaged == 1 ? " does" : " do") +
                               " not decode whole; nothing is written");
    }
}

NewClip ClipOf(BinkInput& hi, BinkInput& lo, RunState& run)
{
    const uint32_t frames = hi.header.frames;
    if (lo.header.frames != frames) {
        run.report.Error(lo.path, "has " + Decimal(lo.header.frames) + " frames, its high-resolution file " +
                                      Decimal(frames) + "; the clip has " + Decimal(frames) +
                                      ", as the scan counts them (verify names the difference)");
    }
    NewClip clip;
    clip.hi = &hi.file;
    clip.hiSize = hi.size;
    clip.hiFrames = frames;
    clip.lo = &lo.file;
    clip.loSize = lo.size;
    clip.loFrames = lo.header.frames;
    clip.hiName = hi.path;
    return clip;
}
