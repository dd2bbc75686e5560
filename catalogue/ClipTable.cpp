#include "ClipTable.h"

ClipSpan GetClipSpan(const ClipRecord& record, int nResolution)
{
    if (nResolution == 0)
        return {record.dwHiOffset, record.dwHiSize};
    return {record.dwLoOffset, record.dwLoSize};
}
