// An archive made anew from Bink files named as extract names a batch of both
// encodings ("disc2-012h The Glass Tower.bik"): the number and the letter give
// each file its place, and the clips follow in the order of their numbers.
#include "cli/PackCommand.h"

#include "catalogue/DiscIdentity.h"
#include "cli/BinkInputs.h"
#include "cli/ExitStatus.h"
#include "cli/NewArchive.h"
#include "cli/Reporting.h"
#include "cli/UsageError.h"
#include "file/InterruptCleanup.h"
#include "file/PathNames.h"
#include "output/ClipNames.h"

#include <algorithm>
#include <map>

namespace {

struct ClipFiles {
    std::string hi;
    std::string lo;
};

std::string Numbered(int index)
{
    return "clip " + std::to_string(index + 1);
}

bool EndsInBik(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string end = name.substr(name.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
    return end == ".bik";
}

class Gathering {
public:
    void AddFolder(const std::string& folder)
    {
        std::vector<std::string> names = NamesInFolder(folder);
        std::sort(names.begin(), names.end());
        const std::string prefix = IsPathSeparator(folder.back()) ? folder : folder + "/";
        size_t taken = 0;
        for (const std::string& name : names) {
            // A hidden name is no clip of extract's (its temporary files are
            // such); other files beside the clips are not ours to judge.
            if (name[0] == '.' || !EndsInBik(name) || IsFolder(prefix + name))
                continue;
            AddFile(prefix + name, false);
            ++taken;
        }
        if (taken == 0)
            throw CFailure(folder, "holds no .bik files");
    }

    // A name given on the command line that does not parse is a usage error.
    void AddFile(const std::string& path, bool given)
    {
        int index = 0;
        Resolution resolution = Resolution::High;
        if (!ParseBatchClipName(NameOf(path), index, resolution)) {
            const std::string why = "is not named as extract names a clip ('STEM-NNNh TITLE.bik' or "
                                    "'STEM-NNNl TITLE.bik', NNN from 001 to " + std::to_string(MAX_CLIPS) +
                                    "), so its place is not known";
            if (given)
                throw UsageError(path + ": " + why);
            throw CFailure(path, why);
        }
        ClipFiles& clip = m_clips[index];
        std::string& slot = resolution == Resolution::High ? clip.hi : clip.lo;
        if (!slot.empty()) {
            throw CFailure(path, "is " + Numbered(index) + "'s " + Encoding(resolution) + " file, and so is " + slot +
                                     "; give one of them");
        }
        slot = path;
    }

    // The clips from 1 on, each with both files.
    std::vector<ClipFiles> Clips() const
    {
        std::vector<ClipFiles> clips;
        for (const auto& numbered : m_clips) {
            const int index = numbered.first;
            const ClipFiles& files = numbered.second;
            if (index != static_cast<int>(clips.size())) {
                const std::string& after = files.hi.empty() ? files.lo : files.hi;
                throw CFailure(after, "is " + Numbered(index) + "'s, but there is no " +
                                          Numbered(static_cast<int>(clips.size())) +
                                          ": the clips are numbered from 1 without a gap");
            }
            if (files.hi.empty() || files.lo.empty()) {
                const std::string& there = files.hi.empty() ? files.lo : files.hi;
                const Resolution missing = files.hi.empty() ? Resolution::High : Resolution::Low;
                throw CFailure(there, "is " + Numbered(index) + "'s " +
                                          Encoding(missing == Resolution::High ? Resolution::Low : Resolution::High) +
                                          " file, but the clip has no " + Encoding(missing) + " file ('-" +
                                          ThreeDigits(index) + (missing == Resolution::High ? "h" : "l") + "')");
            }
            clips.push_back(files);
        }
        return clips;
    }

private:
    static const char* Encoding(Resolution resolution)
    {
        return resolution == Resolution::High ? "high-resolution" : "low-resolution";
    }

    static std::string ThreeDigits(int index)
    {
        const std::string number = std::to_string(index + 1);
        return std::string(3 - std::min<size_t>(3, number.size()), '0') + number;
    }

    std::map<int, ClipFiles> m_clips;
};

} // namespace

int RunPack(const PackRequest& request, RunState& run)
{
    InstallInterruptCleanup();
    if (request.quiet)
        run.report.Quiet();
    Gathering gathering;
    for (const std::string& input : request.inputs) {
        if (IsFolder(input))
            gathering.AddFolder(input);
        else
            gathering.AddFile(input, true);
    }
    const std::vector<ClipFiles> named = gathering.Clips();

    std::vector<std::unique_ptr<BinkInput>> files;
    std::vector<BinkInput*> checked;
    NewArchive target;
    for (const ClipFiles& clip : named) {
        files.push_back(OpenBinkInput(clip.hi, Resolution::High));
        files.push_back(OpenBinkInput(clip.lo, Resolution::Low));
    }
    for (const std::unique_ptr<BinkInput>& file : files) {
        checked.push_back(file.get());
        target.binkFiles.push_back(file->file.GetIdentity());
    }
    target.path = request.output;
    target.force = request.force;
    target.verbose = request.verbose;
    target.jobs = request.jobs;
    ProtectInputs(checked, run);
    RefuseTargetEarly(target);
    CheckInputFrames(checked, request.jobs, run);
    std::vector<NewClip> clips;
    for (size_t i = 0; i < named.size(); ++i) {
        clips.push_back(ClipOf(*files[2 * i], *files[2 * i + 1], run));
        target.newClips.push_back({static_cast<uint32_t>(i), clips.back().loFrames});
    }

    // The scan takes the layout from the archive's name, and so does pack.
    target.publisher = IsPublisherArchive(NameOf(request.output).c_str());
    const ArchivePlan plan = PlanPack(clips, target.publisher, request.output);
    WriteNewArchive(plan, target, run);
    SayWritten(run, request.output, plan.clips.size(), plan.size, request.quiet);
    return EXIT_OK;
}
