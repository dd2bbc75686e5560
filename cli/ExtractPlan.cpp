#include "cli/ExtractPlan.h"

#include "catalogue/ClipTexts.h"
#include "file/PathNames.h"
#include "output/ClipNames.h"

ExtractPlan PlanExtract(const ExtractRequest& request, uint32_t clipCount, DiscId disc,
                        const std::string& archiveTitle, bool outputIsFolder, const std::string& extension)
{
    std::vector<int> indices;
    int unknown = 0;
    if (!SelectClips(request.all ? std::vector<ClipRange>() : request.selection, clipCount, indices, unknown))
        ThrowNoSuchClip(request.archive, unknown, clipCount);
    std::vector<Resolution> resolutions{request.low ? Resolution::Low : Resolution::High};
    if (request.both)
        resolutions.push_back(Resolution::Low);

    ExtractPlan plan;
    const std::string& output = request.output;
    const bool toStandardOutput = output == TO_STANDARD_OUTPUT;   // one file: the command line made sure
    plan.madeNames = indices.size() * resolutions.size() > 1 ||
                     (!output.empty() && !toStandardOutput && (IsPathSeparator(output.back()) || outputIsFolder));
    std::string folder;
    if (plan.madeNames && !output.empty()) {
        plan.folder = output;
        folder = IsPathSeparator(output.back()) ? output : output + "/";
    }
    const std::string stem = ArchiveStem(archiveTitle);
    for (const int index : indices) {
        for (const Resolution resolution : resolutions) {
            const std::string title = FormatClipLabel(disc, static_cast<uint32_t>(index));
            std::string path = output.empty() ? ProposedClipName(index, resolution, extension) : output;
            if (plan.madeNames)
                path = folder + BatchClipName(stem, index, resolution, title, extension);
            plan.files.push_back({index, resolution, path});
        }
    }
    return plan;
}
