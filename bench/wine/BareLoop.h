#pragma once
// The design's loops with nothing of ours around them: a visible window with a
// progress bar, the system's file calls, and after each step the queue drained
// with PeekMessage and the bar moved with PBM_SETPOS. The reference the real
// program is measured against.
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Copies size bytes from offset of source into a new target in 1 MiB
// ReadFile/WriteFile chunks; returns the seconds from the window's creation to
// its end.
double BareCopy(const std::string& source, uint32_t offset, uint32_t size, const std::string& target);

// One report a clip: seeks and reads 4 bytes at a time through the first 12 bytes
// of each of the clip's two Bink headers (as many file calls as the scanner makes,
// give or take), then reports the clip's end; returns the seconds as above.
struct BareClip {
    uint32_t hiOffset;
    uint32_t loOffset;
    uint32_t end;
};
double BareScan(const std::string& archive, const std::vector<BareClip>& clips);

} // namespace bench
