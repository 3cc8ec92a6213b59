// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QList>

// The widths of a list's columns in the room it has: each column as wide as it needs
// where all fit; otherwise the columns that need least keep what they need, and the
// widest share the rest alike, so that a short column (an id, a state) is never cut
// for a long one (a path), which shows its ends with its middle left out.
namespace ColumnFit {

QList<int> widths(const QList<int> &needed, int room);

} // namespace ColumnFit
