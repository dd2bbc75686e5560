#include "media/FrameCheck.h"

#include "media/ClipDecoder.h"
#include "media/MediaError.h"

std::vector<ClipFinding> CheckEncodingFrames(CFile& archive, const ClipTable& table, uint32_t index,
                                             Resolution resolution)
{
    const uint32_t number = index + 1;
    const std::string subject = EncodingSubject(number, resolution);
    try {
        ClipInput input(archive, GetClipSpan(table.aRecords[index], resolution), subject);
        ClipDecoder decoder(input);
        while (decoder.NextVideoFrame()) {
        }
        decoder.RequireEveryFrame();
        return {};
    } catch (const CFailure& failure) {
        return {{number, failure.GetErrorMessage()}};
    }
}
