// Velmora benchmark. Licensed under the MIT licence.
#pragma once

#include <QString>

// A large capture opened in the capture viewer while a far end streams into the main
// window in mode 2, capture on.
namespace ViewerCase {

struct Result
{
    double loadSeconds = -1;     // from the selection until the first rows are drawn
    double indexSeconds = -1;    // from the selection until every row is indexed
    bool lastLineShown = false;  // the end key scrolls to the file's last line
    double searchSeconds = -1;   // a text that is not there, sought from the first line on
    double searchMBps = 0;
    double longestStallMs = 0;   // of the event loop, from opening the viewer on
    double longestHoldUpMs = 0;  // the longest any received byte took to reach the pane
    double peakMemoryMiB = 0;
    // The most the far end could not write when due because the terminal was full: a
    // real line would have lost it.
    double farEndHeldBackKiB = 0;
    // The far end's own lateness, which the hold-up includes.
    double farEndLateMs = 0;
};

// The baselines of the viewer's scans: a plain read() loop over the file counting line
// feeds with memchr, and one seeking a text with memmem, in MB/s.
struct PlainScan
{
    double countMBps = 0;
    double searchMBps = 0;
};

// Writes a capture of about `mib` MiB of received lines ending in a line of its own.
bool writeLargeCapture(const QString &path, int mib);
enum class Work {
    ViewAndSearch,  // select the large capture, scroll to its end and search it whole
    Idle,           // leave the viewer on its introduction as long: the baseline
};

// Opens the viewer while the far end writes `bytesPerSecond` of numbered lines into the
// main window. With ViewAndSearch it selects `largeCapture` the way a user does, waits
// until it is indexed, scrolls to its end, searches it whole for a text that is not
// there, and runs a second more.
Result run(const QString &largeCapture, int bytesPerSecond, Work work);
PlainScan plainScan(const QString &largeCapture);

} // namespace ViewerCase
