#include "ListCommand.h"

#include "ClipList.h"
#include "ClipRows.h"
#include "ExitStatus.h"
#include "LoadedArchive.h"
#include "Reporting.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace {

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

void PrintJson(const LoadedArchive& archive, const ClipRows& rows)
{
    nlohmann::ordered_json clips = nlohmann::ordered_json::array();
    const ClipTable& table = *archive.clips;
    for (uint32_t i = 0; i < table.nCount; ++i) {
        const ClipRecord& clip = table.aRecords[i];
        const ClipRows::Row& row = rows.Rows()[i];
        clips.push_back({{"number", i + 1},
                         {"label", row[0]},
                         {"frames", clip.dwFrames},
                         {"length", row[1]},
                         {"hi_offset", clip.dwHiOffset},
                         {"hi_size", clip.dwHiSize},
                         {"hi_text", row[2]},
                         {"lo_offset", clip.dwLoOffset},
                         {"lo_size", clip.dwLoSize},
                         {"lo_text", row[3]}});
    }
    const nlohmann::ordered_json document = {{"archive", archive.strTitle},
                                     {"disc_id", archive.identity.disc},
                                     {"disc_label", archive.identity.label},
                                     {"clips", clips}};
    std::cout << document.dump(2) << '\n';
}

} // namespace

int RunList(const std::string& archivePath, bool json)
{
    LoadedArchive archive;
    if (!LoadArchive(archivePath, archive))
        return ReportRejectedArchive(archivePath);

    ClipRows rows;
    FillClipList(rows, *archive.clips, archive.identity.disc);
    if (json)
        PrintJson(archive, rows);
    else
        PrintTable(archive, rows);
    return EXIT_OK;   // main flushes standard output and reports a failed write
}
