#include "ClipTable.h"

Resolution ResolutionFromIndex(int index)
{
    return index == 0 ? Resolution::High : Resolution::Low;
}

ClipSpan GetClipSpan(const ClipRecord& record, Resolution resolution)
{
    if (resolution == Resolution::High)
        return {record.dwHiOffset, record.dwHiSize};
    return {record.dwLoOffset, record.dwLoSize};
}
