// The clips of an archive, as a table or as JSON.
#include "cli/ListCommand.h"

#include "catalogue/BinkHeader.h"
#include "catalogue/ClipList.h"
#include "catalogue/ClipRows.h"
#include "catalogue/ClipTexts.h"
#include "cli/Archive.h"
#include "cli/ArchiveReports.h"
#include "cli/ExitStatus.h"
#include "cli/JsonText.h"
#include "cli/Reporting.h"
#include "file/Console.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

std::string Table(const LoadedArchive& archive, const ClipRows& rows)
{
    size_t widths[ClipRows::COLUMNS];
    for (int c = 0; c < ClipRows::COLUMNS; ++c) {
        widths[c] = std::char_traits<char>::length(CLIP_COLUMN_HEADINGS[c]);
        for (const ClipRows::Row& row : rows.Rows())
            widths[c] = std::max(widths[c], row[c].size());
    }
    const auto line = [&widths](const std::string& number, const std::string* texts) {
        char text[512];
        std::snprintf(text, sizeof text, "%3s  %-*s  %*s  %*s  %*s\n", number.c_str(), static_cast<int>(widths[0]),
                      texts[0].c_str(), static_cast<int>(widths[1]), texts[1].c_str(), static_cast<int>(widths[2]),
                      texts[2].c_str(), static_cast<int>(widths[3]), texts[3].c_str());
        return std::string(text);
    };
    const std::string headings[] = {CLIP_COLUMN_HEADINGS[0], CLIP_COLUMN_HEADINGS[1], CLIP_COLUMN_HEADINGS[2],
                                    CLIP_COLUMN_HEADINGS[3]};
    // A salvage is said on the label's line, so that the clips' lines stay where they are.
    const std::string salvage = archive.salvaged ? " (damaged copy: " + SalvageText(archive) + ")" : "";
    std::string table = std::string(archive.disc.label) + salvage + "\n" + line("#", headings);
    int number = 0;
    for (const ClipRows::Row& row : rows.Rows())
        table += line(std::to_string(++number), row.data());
    return table;
}

// The picture size an encoding's header gives; nulls when the header is cut off.
void AddPictureSize(Json& clip, const char* prefix, LoadedArchive& archive, uint32_t offset)
{
    BinkHeader header;
    const bool read = ReadBinkHeader(archive.file, archive.length, offset, header);
    clip[std::string(prefix) + "_width"] = read ? Json(header.width) : nullptr;
    clip[std::string(prefix) + "_height"] = read ? Json(header.height) : nullptr;
}

// The archive's object, without the document's "format".
Json JsonListing(LoadedArchive& archive, const ClipRows& rows)
{
    Json clips = Json::array();
    const ClipTable& table = *archive.clips;
    for (uint32_t i = 0; i < table.nCount; ++i) {
        const ClipRecord& record = table.aRecords[i];
        const ClipRows::Row& row = rows.Rows()[i];
        Json clip = {{"number", i + 1},
                     {"label", row[0]},
                     {"frames", record.dwFrames},
                     {"length", row[1]},
                     {"seconds", static_cast<double>(record.dwFrames) / CLIP_FRAME_RATE},
                     {"hi_offset", record.dwHiOffset},
                     {"hi_size", record.dwHiSize},
                     {"hi_text", row[2]}};
        AddPictureSize(clip, "hi", archive, record.dwHiOffset);
        clip["lo_offset"] = record.dwLoOffset;
        clip["lo_size"] = record.dwLoSize;
        clip["lo_text"] = row[3];
        AddPictureSize(clip, "lo", archive, record.dwLoOffset);
        clips.push_back(std::move(clip));
    }
    // disc_id counts from 0 as the catalogue does; disc is the number on the disc.
    return {{"archive", archive.title},
            {"disc_id", archive.disc.disc},
            {"disc", archive.disc.disc == DISC_NONE ? Json(nullptr) : Json(archive.disc.disc + 1)},
            {"disc_label", archive.disc.label},
            {"salvaged", archive.salvaged ? Json(archive.clips->nCount) : nullptr},
            {"rejection", archive.salvaged ? RejectionJson(archive.rejection) : nullptr},
            {"clips", clips}};
}

// The listing of one archive: its JSON object, or its table; a failure throws.
// True when the archive was salvaged (--salvage): it is damaged.
bool ListArchive(const std::string& path, bool json, RunState& run, Json& listing, std::string& table)
{
    LoadedArchive archive;
    LoadAcceptedArchive(path, run, archive);
    NoteDiscByClipCount(archive, run);
    ClipRows rows;
    FillClipList(rows, *archive.clips, archive.disc.disc);
    if (json)
        listing = JsonListing(archive, rows);   // reads each encoding's header
    else
        table = Table(archive, rows);
    return archive.salvaged;
}

} // namespace

int RunList(const ListRequest& request, RunState& run)
{
    Json listing;
    std::string table;
    if (request.archives.size() == 1) {
        // One archive: its own document, or its table alone; a failure is the run's.
        const int status = ListArchive(request.archives[0], request.json, run, listing, table) ? EXIT_FAILED : EXIT_OK;
        if (!request.json) {
            run.report.Print(table);
            return status;
        }
        Json document = {{"format", JSON_FORMAT}};
        document.update(listing);
        run.report.Print(JsonDocument(document));
        return status;
    }
    // Several: each under its path (JSON: in "archives", as verify gives them);
    // one that fails is said and the others listed.
    ArchiveReports reports(request.json);
    bool allListed = true;
    bool anySalvaged = false;   // listed, but damaged
    for (const std::string& path : request.archives) {
        Json entry = {{"path", path}};
        try {
            anySalvaged |= ListArchive(path, request.json, run, listing, table);
            if (request.json)
                entry.update(listing);
            else
                reports.AddText((reports.HasText() ? "\n" : "") + run.report.Shown(path, STANDARD_OUTPUT) + ":\n" +
                                table);
        } catch (const std::exception& error) {
            run.report.Fail(error);
            entry["error"] = FailureText(error);
            allListed = false;
        }
        reports.AddEntry(std::move(entry));
    }
    reports.Print(run.report);
    return allListed && !anySalvaged ? EXIT_OK : EXIT_FAILED;
}
