#include "ListCommand.h"

#include "ClipList.h"
#include "ClipRows.h"
#include "BinkHeader.h"
#include "ExitStatus.h"
#include "JsonOutput.h"
#include "LoadedArchive.h"
#include "Reporting.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// The clips play at 15 frames per second, whatever their headers say.
constexpr double CLIP_FRAME_RATE = 15.0;

void PrintTable(const LoadedArchive& archive, const CClipRows& rows)
{
    static const char* const HEADERS[CClipRows::COLUMNS] = {"Clip", "Length", "Hi-res", "Lo-res"};
    size_t widths[CClipRows::COLUMNS];
    for (int c = 0; c < CClipRows::COLUMNS; ++c) {
        widths[c] = std::char_traits<char>::length(HEADERS[c]);
        for (const CClipRows::Row& row : rows.Rows())
            widths[c] = std::max(widths[c], row[c].size());
    }
    const int numberWidth = 3;

    std::printf("%s\n", archive.identity.label);
    std::printf("%*s  %-*s  %*s  %*s  %*s\n", numberWidth, "#", static_cast<int>(widths[0]), HEADERS[0],
                static_cast<int>(widths[1]), HEADERS[1], static_cast<int>(widths[2]), HEADERS[2],
                static_cast<int>(widths[3]), HEADERS[3]);
    int number = 0;
    for (const CClipRows::Row& row : rows.Rows()) {
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

void PrintJson(LoadedArchive& archive, const CClipRows& rows)
{
    nlohmann::ordered_json clips = nlohmann::ordered_json::array();
    const ClipTable& table = *archive.clips;
    for (uint32_t i = 0; i < table.nCount; ++i) {
        const ClipRecord& record = table.aRecords[i];
        const CClipRows::Row& row = rows.Rows()[i];
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

int RunList(const std::string& archivePath, bool json)
{
    LoadedArchive archive;
    if (!LoadArchive(archivePath, archive))
        return ReportRejectedArchive(archive);

    CClipRows rows;
    FillClipList(rows, *archive.clips, archive.identity.disc);
    if (json)
        PrintJson(archive, rows);
    else
        PrintTable(archive, rows);
    return EXIT_OK;   // main flushes standard output and reports a failed write
}
