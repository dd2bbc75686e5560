// A copy of an archive with one clip's two encodings replaced: the given Bink
// files are checked before anything is written, and the new archive before it
// takes its name.
#include "cli/ReplaceCommand.h"

#include "catalogue/DiscIdentity.h"
#include "cli/Archive.h"
#include "cli/BinkInputs.h"
#include "cli/Decoding.h"
#include "cli/ExitStatus.h"
#include "cli/NewArchive.h"
#include "cli/Reporting.h"
#include "cli/UsageError.h"
#include "file/InterruptCleanup.h"
#include "file/OutputFile.h"
#include "file/PathNames.h"

namespace {

// Both encodings made from the video, into files of no name beside the new
// archive, and checked as given ones are. What would refuse the new archive
// for certain is said first, not after the encoding.
void EncodeFrom(const ReplaceRequest& request, RunState& run, BinkInput& hi, BinkInput& lo)
{
    FileIdentity video, reached;
    if (IdentityOfPath(request.from, video)) {
        // Nothing the run says may go onto the video it reads.
        run.report.Protect(video, "the video being encoded");
        if (IdentityOfPath(request.output, reached) && reached == video)
            throw COutputRefused(request.output, "is the video being encoded; refusing to write to it");
    }
    if (!request.force && HoldsRegularFile(request.output))
        throw COutputExists(request.output, ALREADY_EXISTS);
    hi.resolution = Resolution::High;
    lo.resolution = Resolution::Low;
    const std::string folder = FolderOf(request.output);
    run.decoding->encodeBinkInputs(request.from, request.encoding, {&hi, &lo}, request.jobs,
                                   folder.empty() ? "." : folder, run);
    CheckBinkInput(hi);
    CheckBinkInput(lo);
}

} // namespace

int RunReplace(const ReplaceRequest& request, RunState& run)
{
    if (!request.from.empty() && !run.decoding)
        throw NotInThisBuild("replace --from is not in this build of zodovu-cli, which does not decode clips");
    InstallInterruptCleanup();
    if (request.quiet)
        run.report.Quiet();
    LoadedArchive archive;
    LoadAcceptedArchive(request.archive, run, archive);
    const ClipTable& table = *archive.clips;
    if (static_cast<uint32_t>(request.number) > table.nCount)
        ThrowNoSuchClip(request.archive, request.number, table.nCount);
    // A copy cut short would be written cut short again, under a new name.
    const ClipRecord& last = table.aRecords[table.nCount - 1];
    if (ClipSpanEnd(GetClipSpan(last, Resolution::Low)) > archive.length) {
        throw CFailure(request.archive, "clip " + std::to_string(table.nCount) +
                                            " runs past the end of the archive (the copy is cut short); a new "
                                            "archive is made only from a whole one");
    }

    // The new encodings: given, or encoded here from a video.
    std::unique_ptr<BinkInput> hi, lo;
    if (request.from.empty()) {
        hi = OpenBinkInput(request.hi, Resolution::High);
        lo = OpenBinkInput(request.lo, Resolution::Low);
    } else {
        hi.reset(new BinkInput());
        lo.reset(new BinkInput());
        EncodeFrom(request, run, *hi, *lo);
    }
    NewArchive target;
    target.path = request.output;
    target.force = request.force;
    target.verbose = request.verbose;
    target.jobs = request.jobs;
    target.archive = archive.identity;
    target.binkFiles = {hi->file.GetIdentity(), lo->file.GetIdentity()};
    FileIdentity video;
    if (!request.from.empty() && IdentityOfPath(request.from, video))
        target.video = video;
    ProtectInputs({hi.get(), lo.get()}, run);
    RefuseTargetEarly(target);
    CheckInputFrames({hi.get(), lo.get()}, request.jobs, run);
    const NewClip clip = ClipOf(*hi, *lo, run);

    const std::string identifying = run.discTitle.empty() ? archive.title : run.discTitle;
    const bool publisher = IsPublisherArchive(identifying.c_str());
    const uint32_t index = static_cast<uint32_t>(request.number - 1);
    const ArchivePlan plan = PlanReplace(archive.file, archive.length, publisher, table, index, clip, request.output);
    target.publisher = publisher;
    target.newClips = {{index, clip.loFrames}};
    WriteNewArchive(plan, target, run);
    // The scan reads the layout from the name: one that reads the new archive
    // otherwise is worth a word.
    if (IsPublisherArchive(NameOf(request.output).c_str()) != publisher) {
        run.report.Error(request.output, publisher ? "has the publisher archive's layout, which is read under the "
                                                     "name publish.pak or with --disc publisher"
                                                   : "has a disc archive's layout, which is read under another "
                                                     "name than publish.pak or with --disc 1 to 4");
    }
    SayWritten(run, request.output, plan.clips.size(), plan.size, request.quiet);
    return EXIT_OK;
}
