#pragma once

// The heap this process holds, counted at every allocation and release, and
// its peak. Freed memory that stays in the process is reused without the
// resident size growing, so the resident size's peak misses what a window
// allocates there; this count does not.
namespace heappeak {

// Bytes in use now.
long long inUse();
// Starts a new peak from what is in use now, and returns that.
long long resetPeak();
// The highest use since the last reset.
long long peak();

} // namespace heappeak
