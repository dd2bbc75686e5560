// A page of posters, a section an archive and a card a clip, that a browser
// shows from the folder itself; with --convert each clip is converted beside it
// and played in its card. The posters are made several at once and written by this thread alone
// (the output file and the progress line are not thread-safe); the page is
// written last, when every file it shows is on the disk. Without --force a run
// goes on from what an earlier one left: its posters and clips are used, and
// its page rewritten.
#include "cli/IndexCommand.h"

#include "catalogue/ClipChecks.h"
#include "catalogue/ClipTexts.h"
#include "cli/Archive.h"
#include "cli/AsciiLower.h"
#include "cli/ConvertCommand.h"
#include "cli/ExitStatus.h"
#include "cli/IndexPage.h"
#include "cli/ParallelWork.h"
#include "cli/Reporting.h"
#include "cli/UsageError.h"
#include "cli/Version.h"
#include "file/Console.h"
#include "file/InterruptCleanup.h"
#include "file/OutputFile.h"
#include "file/PathNames.h"
#include "media/Poster.h"
#include "output/ClipNames.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <thread>

namespace {

const char PAGE_NAME[] = "index.html";
const char POSTER_EXTENSION[] = ".jpg";
const char PROGRAM[] = "zodovu-cli";   // as the page's generator mark names it, whatever the version
// The generator mark is in the page's head, well within this.
constexpr uint32_t PAGE_HEAD_BYTES = 4096;

// An archive of the run; its section of the page has the same place in the run.
struct IndexedArchive {
    LoadedArchive loaded;
    bool accepted = false;
};

// One clip's poster, made on a worker and written here.
struct PosterJob {
    size_t archive;        // in the run
    uint32_t index;        // of the clip, and of its card in the archive's section
    std::string failure;   // set by the plain checks or the decoder: the encoding is at fault
    bool reused = false;   // the poster is in the folder already
    Poster poster;
};

// "640×448", "320×224".
std::string PictureSize(Resolution resolution)
{
    return resolution == Resolution::High ? "640\xC3\x97" "448" : "320\xC3\x97" "224";
}

// A converted clip as a card links it: "MP4, 640×448".
IndexVideo Video(const std::string& file, const OutputFormat& format, Resolution resolution)
{
    return {file, format.mimeType, std::string(format.label) + ", " + PictureSize(resolution)};
}

// An archive whose disc the file name does not tell is named by its file name,
// as the label would name every such one alike.
bool KnownDisc(const DiscIdentity& disc)
{
    return disc.disc != DISC_NONE || std::strcmp(disc.label, IdentifyDisc("").label) != 0;
}

// Whether path holds a page that index wrote (any version): one that a run
// may rewrite without --force.
bool IsOurPage(const std::string& path)
{
    CFile file;
    if (!file.OpenRegularFile(path.c_str()))
        return false;
    std::string head(PAGE_HEAD_BYTES, '\0');
    head.resize(file.Read(&head[0], PAGE_HEAD_BYTES));
    return IsPageOf(head, PROGRAM);
}

class Indexer {
public:
    Indexer(const IndexRequest& request, RunState& run)
        : m_request(request), m_report(run.report), m_run(run),
          m_folder(IsPathSeparator(request.output.back()) ? request.output : request.output + "/")
    {
    }

    int Run()
    {
        if (m_request.quiet)
            m_report.Quiet();
        Load();
        CheckNamesApart();
        const std::vector<std::string> made = MakeFolders(m_request.output);
        try {
            // Opened first, so that a page that may not be replaced stops the
            // run before any work; committed last.
            const std::string pagePath = m_folder + PAGE_NAME;
            COutputFile page(pagePath, PageRules(pagePath));
            MakePosters();
            WritePosters();
            if (m_request.convert)
                Convert();
            const std::string html = ComposeIndexPage(m_sections, VERSION_TEXT);
            page.File().Write(html.data(), static_cast<uint32_t>(html.size()));
            page.Finish();
            page.Commit();
            if (m_request.verbose)
                m_report.PrintName(pagePath);
        } catch (...) {
            RemoveEmptyFolders(made);
            throw;
        }
        const bool failed = m_failedClips > 0 || m_failedArchives > 0 || m_failedFiles > 0 ||
                            m_salvagedArchives > 0 || m_concealed > 0;
        if (failed || !m_request.quiet)
            Summarize();
        return failed ? EXIT_FAILED : EXIT_OK;
    }

private:
    void Load()
    {
        m_sections.resize(m_request.archives.size());
        for (size_t i = 0; i < m_request.archives.size(); ++i) {
            const std::string& path = m_request.archives[i];
            m_archives.push_back(std::make_unique<IndexedArchive>());
            IndexedArchive& archive = *m_archives.back();
            IndexSection& section = m_sections[i];
            section.archive = NameOf(path);
            try {
                archive.accepted = LoadArchive(path, m_run, archive.loaded);
            } catch (const CFileException& error) {
                if (archive.loaded.file.IsOpen())   // its identity is known
                    m_identities.push_back(archive.loaded.identity);
                m_report.Fail(error);
                section.refusal = error.GetPlainReason();
                ++m_failedArchives;
                continue;
            }
            m_identities.push_back(archive.loaded.identity);
            section.archive = archive.loaded.title;
            if (archive.accepted && KnownDisc(archive.loaded.disc))
                section.label = archive.loaded.disc.label;
            if (!archive.accepted) {
                section.refusal = RefusalText(archive.loaded.rejection);
                if (!archive.loaded.unsaved.empty())   // --salvage: clips before the fault, none usable
                    section.refusal += "; " + SalvageText(archive.loaded);
            } else if (archive.loaded.clips->nCount == 0) {
                section.refusal = "the archive holds no clips";
            } else {
                if (archive.loaded.salvaged)
                    Salvaged(path, archive.loaded, section);
                continue;
            }
            m_report.Error(path, section.refusal);
            archive.accepted = false;
            ++m_failedArchives;
        }
        for (size_t a = 0; a < m_archives.size(); ++a) {
            const IndexedArchive& archive = *m_archives[a];
            if (!archive.accepted)
                continue;
            const ClipTable& clips = *archive.loaded.clips;
            for (uint32_t index = 0; index < clips.nCount; ++index) {
                IndexCard card;
                const ClipRecord& record = clips.aRecords[index];
                card.number = index + 1;
                card.title = FormatClipLabel(archive.loaded.disc.disc, index);
                card.frames = record.dwFrames;
                card.hiSize = record.dwHiSize;
                card.loSize = record.dwLoSize;
                if (!m_request.convert)
                    card.videos = ConvertedFiles(archive, index);
                m_sections[a].cards.push_back(card);
                m_jobs.push_back({a, index, std::string(), false, Poster()});
            }
        }
    }

    // Two archives would write (or link) files of the same names, in any case
    // of ASCII letters as some file systems take them: the names compared are
    // those the files get, after every cut and substitution.
    void CheckNamesApart() const
    {
        std::map<std::string, size_t> owners;   // a name, lower-cased, and the archive that gives it
        for (size_t a = 0; a < m_archives.size(); ++a) {
            const IndexedArchive& archive = *m_archives[a];
            if (!archive.accepted)
                continue;
            for (uint32_t index = 0; index < archive.loaded.clips->nCount; ++index) {
                for (const std::string& name : NamesOf(archive, index)) {
                    const auto [owner, added] = owners.emplace(AsciiLower(name), a);
                    if (!added && owner->second != a)
                        throw UsageError("'" + m_request.archives[owner->second] + "' and '" + m_request.archives[a] +
                                         "' would give their clips the same file names (index them into folders of "
                                         "their own, or rename one)");
                }
            }
        }
    }

    // Every file a clip has or may have in the folder: its poster and each encoding in each format.
    std::vector<std::string> NamesOf(const IndexedArchive& archive, uint32_t index) const
    {
        std::vector<std::string> names{FileName(archive, index, Resolution::High, POSTER_EXTENSION)};
        for (const Resolution resolution : {Resolution::High, Resolution::Low})
            for (const OutputFormat& format : OutputFormats())
                names.push_back(FileName(archive, index, resolution, format.extension));
        return names;
    }

    // The fault and the salvage are said as the other commands say them, and
    // shown above the archive's clips.
    void Salvaged(const std::string& path, const LoadedArchive& archive, IndexSection& section)
    {
        SaySalvage(m_report, path, archive);
        section.salvage = "Damaged copy: " + SalvageText(archive) + ". " + RefusalText(archive.rejection);
        ++m_salvagedArchives;
    }

    std::string FileName(const IndexedArchive& archive, uint32_t index, Resolution resolution,
                         const std::string& extension) const
    {
        return BatchClipName(ArchiveStem(archive.loaded.title), static_cast<int>(index), resolution,
                             FormatClipLabel(archive.loaded.disc.disc, index), extension);
    }

    // What convert has already written into the folder for the clip.
    std::vector<IndexVideo> ConvertedFiles(const IndexedArchive& archive, uint32_t index) const
    {
        std::vector<IndexVideo> videos;
        for (const Resolution resolution : {Resolution::High, Resolution::Low}) {
            for (const OutputFormat& format : OutputFormats()) {
                const std::string name = FileName(archive, index, resolution, format.extension);
                FileIdentity identity;
                if (!IdentityOfPath(m_folder + name, identity) || IsFolder(m_folder + name))
                    continue;
                videos.push_back(Video(name, format, resolution));
            }
        }
        return videos;
    }

    // Nothing is written onto an archive of the run, whatever path reaches it.
    OutputRules Rules() const
    {
        OutputRules rules;
        rules.replace = m_request.force;
        rules.madeName = true;
        rules.protectedRole = "the archive";
        rules.protectedFiles = m_identities;
        return rules;
    }

    // A page of ours is rewritten: the run shows what is in the folder now.
    // Anyone else's is kept unless --force.
    OutputRules PageRules(const std::string& path) const
    {
        OutputRules rules = Rules();
        if (rules.replace || !HoldsRegularFile(path))
            return rules;
        if (!IsOurPage(path))
            throw COutputRefused(path, "already exists and is not a page of zodovu-cli's (--force overwrites it)");
        rules.replace = true;
        return rules;
    }

    // A poster already in the folder under the clip's name (not an archive
    // of the run) is one an earlier run finished: used as it is.
    bool PosterThere(const PosterJob& job) const
    {
        if (m_request.force)
            return false;
        const std::string path = m_folder + FileName(*m_archives[job.archive], job.index, Resolution::High,
                                                     POSTER_EXTENSION);
        FileIdentity reached;
        if (IdentityOfPath(path, reached) &&
            std::find(m_identities.begin(), m_identities.end(), reached) != m_identities.end())
            return false;
        try {
            return HoldsRegularFile(path);
        } catch (const CFileException&) {
            return false;   // the write says why
        }
    }

    // An encoding the plain checks refuse never reaches a decoder.
    void MakePosters()
    {
        std::vector<size_t> decode;   // the jobs the checks pass
        for (size_t j = 0; j < m_jobs.size(); ++j) {
            PosterJob& job = m_jobs[j];
            LoadedArchive& archive = m_archives[job.archive]->loaded;
            const std::vector<ClipFinding> findings =
                CheckEncoding(archive.file, archive.length, *archive.clips, job.index, Resolution::High);
            job.failure = FindingsText(findings);
            job.reused = findings.empty() && PosterThere(job);
            if (findings.empty() && !job.reused)
                decode.push_back(j);
        }
        // Every clip counts; those the checks refused, and those there already, are done.
        const size_t refused = m_jobs.size() - decode.size();
        ProgressLine& progress = m_report.Progress();
        progress.Start("Making posters", m_jobs.size(), false);
        progress.SetUnits("posters", "", false);
        progress.SetName(m_request.output);
        const unsigned jobs = m_request.jobs ? m_request.jobs : std::max(1u, std::thread::hardware_concurrency());
        ParallelSteps steps;
        steps.work = [&](size_t i) {
            PosterJob& job = m_jobs[decode[i]];
            LoadedArchive& archive = m_archives[job.archive]->loaded;
            try {
                job.poster = MakePoster(archive.file, *archive.clips, job.index, Resolution::High,
                                        m_request.conversion.conceal);
            } catch (const std::exception& error) {
                job.failure = FailureTextByName(error);
            }
        };
        steps.progress = [&progress, refused](size_t done) { progress.Report(refused + done); };
        RunInParallel(decode.size(), jobs, steps);
        progress.Clear();
    }

    void WritePosters()
    {
        std::string lastWritten;
        for (PosterJob& job : m_jobs) {
            if (!job.failure.empty()) {
                Fail(job, job.failure);
                continue;
            }
            const std::string name = FileName(*m_archives[job.archive], job.index, Resolution::High, POSTER_EXTENSION);
            const std::string path = m_folder + name;
            if (job.reused) {
                Card(job).poster = name;
                ++m_reusedPosters;
                continue;
            }
            try {
                COutputFile output(path, Rules());
                output.File().Write(job.poster.jpeg.data(), static_cast<uint32_t>(job.poster.jpeg.size()));
                output.Finish();
                output.Commit(false);
                Card(job).poster = name;
                lastWritten = path;
                SayConcealed(job);
                if (m_request.verbose)
                    m_report.PrintName(path);
            } catch (const COutputExists&) {
                Card(job).poster = name;   // finished meanwhile by another run
                ++m_reusedPosters;
            } catch (const std::exception& error) {
                m_report.Fail(error, path);
                Card(job).failure = "poster not written: " + FailureTextByName(error);
                ++m_failedClips;
            }
            job.poster.jpeg = std::vector<uint8_t>();
        }
        if (!lastWritten.empty())
            SyncFolderOf(lastWritten);   // the posters are there before the page that shows them
    }

    // Each clip converted into the folder as convert names it, and played in
    // its card. A high-resolution encoding that made no poster for its own
    // sake (refused or undecodable, already said) is not tried again.
    void Convert()
    {
        ConvertRequest settings = m_request.conversion;
        settings.all = true;
        settings.output = m_folder;
        settings.jobs = m_request.jobs;
        settings.force = m_request.force;
        settings.noClobber = !m_request.force;   // a clip converted before is used as it is
        settings.verbose = m_request.verbose;
        for (size_t a = 0; a < m_archives.size(); ++a) {
            if (!m_archives[a]->accepted)
                continue;
            LoadedArchive& loaded = m_archives[a]->loaded;
            settings.archive = loaded.path;
            const ExtractPlan plan =
                PlanExtract(settings, loaded.clips->nCount, loaded.disc.disc, loaded.title, true, settings.format->extension);
            std::vector<PlannedFile> files;
            for (const PlannedFile& file : plan.files) {
                const PosterJob& poster = *std::find_if(m_jobs.begin(), m_jobs.end(), [&](const PosterJob& job) {
                    return job.archive == a && job.index == static_cast<uint32_t>(file.index);
                });
                if (file.resolution == Resolution::High && !poster.failure.empty())
                    ++m_failedFiles;
                else
                    files.push_back(file);
            }
            m_convertedFiles += plan.files.size();
            ConvertExtras extras;
            extras.protectedFiles = m_identities;   // each conversion protects every archive of the run
            const ConvertCounts counts = ConvertFiles(loaded, files, true, settings, m_run, &extras);
            m_failedFiles += counts.failed;
            m_keptFiles += counts.skipped;
            m_concealed += counts.concealed;
            for (size_t i = 0; i < files.size(); ++i) {
                IndexCard& card = m_sections[a].cards[static_cast<size_t>(files[i].index)];
                if (!extras.outcomes[i].concealed.empty())
                    card.problems.push_back(extras.outcomes[i].concealed);   // it plays, with what stands in for its damage
                if (!extras.outcomes[i].failure.empty()) {
                    card.problems.push_back(extras.outcomes[i].failure);
                    continue;
                }
                card.videos.push_back(Video(NameOf(files[i].path), *settings.format, files[i].resolution));
                card.playsInPage = true;
            }
        }
    }

    IndexCard& Card(const PosterJob& job) { return m_sections[job.archive].cards[job.index]; }

    // A poster made past concealed frames is said, unless the conversion of
    // the same encoding decodes the whole clip and says it: one kept from an
    // earlier run decodes nothing.
    void SayConcealed(const PosterJob& job)
    {
        if (job.poster.concealed.empty() || WillConvertHigh(job))
            return;
        m_report.Error(m_archives[job.archive]->loaded.path, job.poster.concealed);
        Card(job).problems.push_back(job.poster.concealed);
        ++m_concealed;
    }

    bool WillConvertHigh(const PosterJob& job) const
    {
        const ConvertRequest& conversion = m_request.conversion;
        if (!m_request.convert || (conversion.low && !conversion.both))
            return false;
        const std::string video =
            m_folder + FileName(*m_archives[job.archive], job.index, Resolution::High, conversion.format->extension);
        try {
            return m_request.force || !HoldsRegularFile(video);
        } catch (const CFileException&) {
            return true;   // the conversion says why
        }
    }

    void Fail(PosterJob& job, const std::string& reason)
    {
        m_report.Error(m_archives[job.archive]->loaded.path, reason);
        Card(job).failure = reason;
        ++m_failedClips;
    }

    // "4 of 6 posters made, 2 failed", "6 files converted, 3 reused": those
    // reused count among the done, as extract's skipped files do.
    static std::string Done(size_t all, size_t failed, size_t reused, const char* one, const char* many,
                            const char* verb)
    {
        const size_t made = all - failed - reused;
        std::string text = failed == 0 ? Counted(made, one, many) + " " + verb
                                       : std::to_string(made) + " of " + Counted(all, one, many) + " " + verb + ", " +
                                             std::to_string(failed) + " failed";
        return reused > 0 ? text + ", " + std::to_string(reused) + " reused" : text;
    }

    void Summarize()
    {
        std::string text = Done(m_jobs.size(), m_failedClips, m_reusedPosters, "poster", "posters", "made");
        if (m_request.convert)
            text += ", " + Done(m_convertedFiles, m_failedFiles, m_keptFiles, "file", "files", "converted");
        if (m_failedArchives > 0)
            text += ", " + std::to_string(m_failedArchives) + " of " +
                    Counted(m_archives.size(), "archive", "archives") + " not read";
        if (m_salvagedArchives > 0)
            text += ", " + std::to_string(m_salvagedArchives) + " of " +
                    Counted(m_archives.size(), "archive", "archives") + " salvaged";
        m_report.Note(text + "; " + m_report.Shown(m_folder + PAGE_NAME, STANDARD_ERROR) + " written");
    }

    const IndexRequest& m_request;
    Reporter& m_report;
    RunState& m_run;
    const std::string m_folder;   // with its final separator
    std::vector<std::unique_ptr<IndexedArchive>> m_archives;
    std::vector<FileIdentity> m_identities;   // of the archives opened: never written
    std::vector<IndexSection> m_sections;
    std::vector<PosterJob> m_jobs;
    size_t m_failedClips = 0;
    size_t m_reusedPosters = 0;
    size_t m_convertedFiles = 0;   // asked for
    size_t m_failedFiles = 0;
    size_t m_keptFiles = 0;        // there already
    size_t m_failedArchives = 0;
    size_t m_salvagedArchives = 0;   // damaged, their whole clips indexed (--salvage)
    size_t m_concealed = 0;          // clips said with frames concealed
};

} // namespace

int RunIndex(const IndexRequest& request, RunState& run)
{
    InstallInterruptCleanup();
    return Indexer(request, run).Run();
}
