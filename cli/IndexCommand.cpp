// A page of posters, a section an archive and a card a clip, that a browser
// shows from the folder itself; with --convert each clip is converted beside it
// and played in its card. The posters are made several at once and written by this thread alone
// (the output file and the progress line are not thread-safe); the page is
// written last, when every file it shows is on the disk.
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
#include <memory>
#include <thread>

namespace {

const char PAGE_NAME[] = "index.html";
const char POSTER_EXTENSION[] = ".jpg";

// An archive of the run; its section of the page has the same place in the run.
struct IndexedArchive {
    LoadedArchive loaded;
    bool opened = false;   // its identity is known
    bool accepted = false;
};

// One clip's poster, made on a worker and written here.
struct PosterJob {
    size_t archive;        // in the run
    uint32_t index;        // of the clip, and of its card in the archive's section
    std::string failure;   // set by the plain checks or the decoder: the encoding is at fault
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

// Two archives whose stems are alike (in any case of ASCII letters, as some
// file systems take them) would write their posters over each other's.
void CheckNamesApart(const std::vector<std::string>& archives)
{
    for (size_t i = 0; i < archives.size(); ++i) {
        for (size_t k = 0; k < i; ++k) {
            const auto stem = [](const std::string& path) {
                return AsciiLower(ReplaceRefusedCharacters(ArchiveStem(NameOf(path))));
            };
            if (stem(archives[i]) == stem(archives[k]))
                throw UsageError("'" + archives[k] + "' and '" + archives[i] +
                                 "' would give their clips the same file names (index them into folders of their "
                                 "own, or rename one)");
        }
    }
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
        Load();
        const std::vector<std::string> made = MakeFolders(m_request.output);
        try {
            // Opened first, so that a page that may not be replaced stops the
            // run before any work; committed last.
            COutputFile page(m_folder + PAGE_NAME, RulesFor(m_folder + PAGE_NAME));
            MakePosters();
            WritePosters();
            if (m_request.convert)
                Convert();
            const std::string html = ComposeIndexPage(m_sections, VERSION_TEXT);
            page.File().Write(html.data(), static_cast<uint32_t>(html.size()));
            page.Finish();
            page.Commit();
        } catch (...) {
            RemoveEmptyFolders(made);
            throw;
        }
        Summarize();
        return m_failedClips > 0 || m_failedArchives > 0 || m_failedFiles > 0 || m_salvagedArchives > 0 ||
                       m_concealed > 0
                   ? EXIT_FAILED
                   : EXIT_OK;
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
                archive.opened = archive.loaded.file.IsOpen();
                m_report.Fail(error);
                section.refusal = error.GetPlainReason();
                ++m_failedArchives;
                continue;
            }
            archive.opened = true;
            section.archive = archive.loaded.title;
            if (!archive.accepted) {
                section.refusal = RefusalText(archive.loaded.rejection);
                if (!archive.loaded.unsaved.empty())   // --salvage: clips before the fault, none usable
                    section.refusal += "; " + SalvageText(archive.loaded);
            } else if (archive.loaded.clips->nCount == 0) {
                section.label = archive.loaded.disc.label;
                section.refusal = "the archive holds no clips";
            } else {
                section.label = archive.loaded.disc.label;
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
                m_jobs.push_back({a, index, std::string(), Poster()});
            }
        }
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
    OutputRules RulesFor(const std::string& path) const
    {
        OutputRules rules;
        rules.replace = m_request.force;
        rules.madeName = true;
        rules.protectedRole = "the archive";
        FileIdentity reached;
        const bool reaches = IdentityOfPath(path, reached);
        for (const std::unique_ptr<IndexedArchive>& archive : m_archives) {
            if (!archive->opened)
                continue;
            if (!rules.hasProtected || (reaches && archive->loaded.identity == reached)) {
                rules.hasProtected = true;
                rules.protectedFile = archive->loaded.identity;
            }
        }
        return rules;
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
            if (findings.empty())
                decode.push_back(j);
        }
        // Every clip counts; those the checks refused are done already.
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
                job.failure = FailureText(error);
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
            try {
                COutputFile output(path, RulesFor(path));
                output.File().Write(job.poster.jpeg.data(), static_cast<uint32_t>(job.poster.jpeg.size()));
                output.Finish();
                output.Commit(false);
                Card(job).poster = name;
                lastWritten = path;
                SayConcealed(job);
            } catch (const std::exception& error) {
                m_report.Fail(error, path);
                Card(job).failure = "poster not written: " + FailureText(error);
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
            std::vector<std::string> reasons, concealed;
            m_failedFiles += ConvertFiles(loaded, files, true, settings, m_run, &reasons, &concealed);
            for (size_t i = 0; i < files.size(); ++i) {
                IndexCard& card = m_sections[a].cards[static_cast<size_t>(files[i].index)];
                if (!concealed[i].empty()) {
                    card.problems.push_back(concealed[i]);   // it plays, with what stands in for its damage
                    ++m_concealed;
                }
                if (!reasons[i].empty()) {
                    card.problems.push_back(reasons[i]);
                    continue;
                }
                card.videos.push_back(Video(NameOf(files[i].path), *settings.format, files[i].resolution));
                card.playsInPage = true;
            }
        }
    }

    IndexCard& Card(const PosterJob& job) { return m_sections[job.archive].cards[job.index]; }

    // A poster made past concealed frames is said, unless the conversion of
    // the same encoding decodes the whole clip and says it.
    void SayConcealed(const PosterJob& job)
    {
        const ConvertRequest& conversion = m_request.conversion;
        if (job.poster.concealed.empty() || (m_request.convert && (!conversion.low || conversion.both)))
            return;
        m_report.Error(m_archives[job.archive]->loaded.path, job.poster.concealed);
        Card(job).problems.push_back(job.poster.concealed);
        ++m_concealed;
    }

    void Fail(PosterJob& job, const std::string& reason)
    {
        m_report.Error(m_archives[job.archive]->loaded.path, reason);
        Card(job).failure = reason;
        ++m_failedClips;
    }

    void Summarize()
    {
        const size_t clips = m_jobs.size();
        std::string text = m_failedClips == 0 ? Counted(clips, "poster", "posters") + " made"
                                              : std::to_string(clips - m_failedClips) + " of " +
                                                    Counted(clips, "poster", "posters") + " made, " +
                                                    std::to_string(m_failedClips) + " failed";
        if (m_request.convert && m_failedFiles == 0)
            text += ", " + Counted(m_convertedFiles, "file", "files") + " converted";
        else if (m_request.convert)
            text += ", " + std::to_string(m_convertedFiles - m_failedFiles) + " of " +
                    Counted(m_convertedFiles, "file", "files") + " converted, " + std::to_string(m_failedFiles) +
                    " failed";
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
    std::vector<IndexSection> m_sections;
    std::vector<PosterJob> m_jobs;
    size_t m_failedClips = 0;
    size_t m_convertedFiles = 0;   // asked for
    size_t m_failedFiles = 0;
    size_t m_failedArchives = 0;
    size_t m_salvagedArchives = 0;   // damaged, their whole clips indexed (--salvage)
    size_t m_concealed = 0;          // clips said with frames concealed
};

} // namespace

int RunIndex(const IndexRequest& request, RunState& run)
{
    CheckNamesApart(request.archives);
    InstallInterruptCleanup();
    return Indexer(request, run).Run();
}
