#include "media/FrameCheck.h"

#include "media/ClipDecoder.h"
#include "media/MediaError.h"

FramesFinding CheckEncodingFrames(CFile& archive, const ClipTable& table, uint32_t index, Resolution resolution)
{
    const uint32_t number = index + 1;
    const std::string subject = EncodingSubject(number, resolution);
    FramesFinding found;
    found.frames = table.aRecords[index].dwFrames;   // the header's count, as the checks passed it
    try {
        ClipInput input(archive, GetClipSpan(table.aRecords[index], resolution), subject);
        DecodingRules rules;
        rules.conceal = true;   // to count what decodes after the first damage
        rules.everyTrack = true;
        ClipDecoder decoder(input, rules);
        while (decoder.NextVideoFrame()) {
        }
        found.decoded = decoder.FrameCount() - decoder.FramesConcealed();
        found.firstDamaged = decoder.FirstConcealed();
        if (decoder.FramesConcealed() > 0)
            found.findings.push_back({number, decoder.FirstFault()});
    } catch (const CFailure& failure) {
        found.findings = {{number, failure.GetErrorMessage()}};
    }
    return found;
}
