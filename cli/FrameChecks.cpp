#include "cli/FrameChecks.h"

#include "cli/Archive.h"
#include "cli/ParallelWork.h"
#include "media/FrameCheck.h"

std::vector<FramesFinding> CheckFrames(LoadedArchive& archive, const std::vector<bool>& check, unsigned jobs,
                                       const std::function<void(size_t done)>& done)
{
    std::vector<FramesFinding> findings(check.size());
    // Each worker takes the next encoding; the archive's file is shared, read
    // at positions (ReadAt), never through its one position.
    ParallelSteps steps;
    steps.work = [&](size_t e) {
        if (check[e])
            findings[e] = CheckEncodingFrames(archive.file, *archive.clips, static_cast<uint32_t>(e / 2),
                                              e % 2 == 0 ? Resolution::High : Resolution::Low);
    };
    steps.progress = done;
    RunInParallel(check.size(), jobs, steps);
    return findings;
}
