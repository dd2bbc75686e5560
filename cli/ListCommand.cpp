// The clips of an archive, as a table or as JSON.
#include "cli/ListCommand.h"

#include "catalogue/BinkHeader.h"
#include "catalogue/ClipList.h"
#include "catalogue/ClipRows.h"
#include "catalogue/ClipTexts.h"
#include "cli/Archive.h"
#include "cli/ExitStatus.h"
#include "cli/JsonText.h"
#include "cli/Reporting.h"

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

std::string JsonListing(LoadedArchive& archive, const ClipRows& rows)
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
    return JsonDocument({{"format", JSON_FORMAT},
                         {"archive", archive.title},
                         {"disc_id", archive.disc.disc},
                         {"disc_label", archive.disc.label},
                         {"salvaged", archive.salvaged ? Json(archive.clips->nCount) : nullptr},
                         {"rejection", archive.salvaged ? RejectionJson(archive.rejection) : nullptr},
                         {"clips", clips}});
}

} // namespace

int RunList(const ListRequest& request, RunState& run)
{
    LoadedArchive archive;
    LoadAcceptedArchive(request.archive, run, archive);
    ClipRows rows;
    FillClipList(rows, *archive.clips, archive.disc.disc);
    run.report.Print(request.json ? JsonListing(archive, rows) : Table(archive, rows));
    return archive.salvaged ? EXIT_FAILED : EXIT_OK;
}
