#pragma once
// Rebuilds a list's rows from a clip table. Any list that offers the three
// operations fits: the main window's list control, or ClipRows.
//   DeleteAllItems()
//   InsertItem(int row, const char* label)        -- item text, image 0, no data
//   SetItemText(int row, int column, const char* text)
#include "catalogue/ClipTable.h"
#include "catalogue/ClipTexts.h"

template <class List>
void FillClipList(List& list, const ClipTable& table, DiscId disc)
{
    list.DeleteAllItems();
    for (uint32_t i = 0; i < table.nCount; ++i) {
        const ClipRecord& clip = table.aRecords[i];
        const int row = static_cast<int>(i);
        list.InsertItem(row, FormatClipLabel(disc, i).c_str());
        list.SetItemText(row, 1, FormatClipLength(clip.dwFrames).c_str());
        list.SetItemText(row, 2, FormatClipSize(clip.dwHiSize).c_str());
        list.SetItemText(row, 3, FormatClipSize(clip.dwLoSize).c_str());
    }
}
