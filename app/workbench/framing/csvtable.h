// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// A table as a spreadsheet opens it: UTF-8 with a byte-order mark, fields quoted where
// they hold a comma, a quote or a line break (quotes doubled), rows ended by CR LF.
namespace CsvTable {

QByteArray write(const QList<QStringList> &rows);
// The rows of such a table; a missing byte-order mark or final line end is fine.
QList<QStringList> read(const QByteArray &bytes);

} // namespace CsvTable
