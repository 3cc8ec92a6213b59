// Velmora workbench. Licensed under the MIT licence.
#include "columnfit.h"

#include <algorithm>
#include <numeric>

namespace ColumnFit {

QList<int> widths(const QList<int> &needed, int room)
{
    const qsizetype count = needed.size();
    if (count == 0 || std::accumulate(needed.begin(), needed.end(), qint64(0)) <= room)
        return needed;
    // The largest cap under which the capped columns fill the room: walk up the needs
    // from the smallest, each column that needs less than the cap keeping its need.
    QList<int> ascending = needed;
    std::sort(ascending.begin(), ascending.end());
    int cap = 0;
    qint64 left = qMax(room, 0);
    for (qsizetype k = 0; k < count; ++k) {
        const qint64 share = left / (count - k);
        if (ascending.at(k) > share) {
            cap = int(share);
            break;
        }
        left -= ascending.at(k);
    }
    QList<int> fitted;
    fitted.reserve(count);
    for (int need : needed)
        fitted.append(qMin(need, cap));
    return fitted;
}

} // namespace ColumnFit
