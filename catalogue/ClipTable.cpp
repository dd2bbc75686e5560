#include "catalogue/ClipTable.h"

ClipSpan GetClipSpan(const ClipRecord& record, Resolution resolution)
{
    if (resolution == Resolution::High)
        return {record.dwHiOffset, record.dwHiSize};
    return {record.dwLoOffset, record.dwLoSize};
}
