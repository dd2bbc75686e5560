#include "ListCommand.h"

#include "ClipList.h"
#include "DiscOption.h"
#include "ClipRows.h"
#include "BinkHeader.h"
#include "ExitStatus.h"
#include "JsonOutput.h"
#include "LoadedArchive.h"
#include "Reporting.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// The clips play at 15 frames per second, whatever their headers say.
constexpr double CLIP_FRAME_RATE = 15.0;

void PrintTable(const LoadedArchive& archive, const ClipRows& rows)
{
    size_t widths[ClipRows::COLUMNS];
    for (int c = 0; c < ClipRows::COLUMNS; ++c) {
        widths[c] = std::char_traits<char>::length(CLIP_COLUMN_HEADINGS[c]);
        for (const ClipRows::Row& row : rows.Rows())
            widths[c] = std::max(widths[c], row[c].size());
    }
    const int numberWidth = 3;

    std::printf("%s\n", archive.identity.label);
    std::printf("%*s  %-*s  %*s  %*s  %*s\n", numberWidth, "#",
                static_cast<int>(widths[0]), CLIP_COLUMN_HEADINGS[0], static_cast<int>(widths[1]), CLIP_COLUMN_HEADINGS[1],
                static_cast<int>(widths[2]), CLIP_COLUMN_HEADINGS[2], static_cast<int>(widths[3]), CLIP_COLUMN_HEADINGS[3]);
    int number = 0;
    for (const ClipRows::Row& row : rows.Rows()) {
        std::printf("%*d  %-*s  %*s  %*s  %*s\n", numberWidth, ++number, static_cast<int>(widths[0]),
                    row[0].c_str(), static_cast<int>(widths[1]), row[1].c_str(),
                    static_cast<int>(widths[2]), row[2].c_str(), static_cast<int>(widths[3]),
                    row[3].c_str());
    }
}

// The picture size an encoding's header gives; nulls when the header is cut off.
void AddPictureSize(nlohmann::ordered_json& clip, const char* prefix, LoadedArchive& archive, uint32_t offset)
{
    BinkHeader header;
    const bool read = ReadBinkHeader(archive.file, archive.length, offset, header);
    clip[std::string(prefix) + "_width"] = read ? nlohmann::ordered_json(header.width) : nullptr;
    clip[std::string(prefix) + "_height"] = read ? nlohmann::ordered_json(header.height) : nullptr;
}

void PrintJson(LoadedArchive& archive, const ClipRows& rows)
{
    nlohmann::ordered_json clips = nlohmann::ordered_json::array();
    const ClipTable& table = *archive.clips;
    for (uint32_t i = 0; i < table.nCount; ++i) {
        const ClipRecord& record = table.aRecords[i];
        const ClipRows::Row& row = rows.Rows()[i];
        nlohmann::ordered_json clip = {{"number", i + 1},
                                       {"label", row[0]},
                                       {"frames", record.dwFrames},
                                       {"length", row[1]},
                                       {"seconds", record.dwFrames / CLIP_FRAME_RATE},
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
    const nlohmann::ordered_json document = {{"format", JSON_FORMAT},
                                             {"archive", archive.strTitle},
                                             {"disc_id", archive.identity.disc},
                                             {"disc_label", archive.identity.label},
                                             {"clips", clips}};
    PrintJsonDocument(document);
}

} // namespace

CLI::App* AddListCommand(CLI::App& app, ListRequest& request)
{
    CLI::App* list = app.add_subcommand("list", "List the clips of ARCHIVE.");
    list->add_flag("--json", request.json, "One JSON object (\"format\": 1) instead of a table.");
    list->add_option("ARCHIVE", request.archive, "The disc archive (.pak).")->required();
    AddDiscOption(*list);
    list->footer("Exit status: 0 success; 1 a rejected or unreadable archive, or a listing that could\n"
                 "not be written; 2 a usage error.");
    return list;
}

int RunList(const ListRequest& request)
{
    LoadedArchive archive;
    if (!LoadArchive(request.archive, archive))
        return ReportRejectedArchive(archive);

    ClipRows rows;
    FillClipList(rows, *archive.clips, archive.identity.disc);
    if (request.json)
        PrintJson(archive, rows);
    else
        PrintTable(archive, rows);
    return EXIT_OK;   // main flushes standard output and reports a failed write
}
