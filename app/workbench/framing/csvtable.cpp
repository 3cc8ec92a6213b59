// Velmora workbench. Licensed under the MIT licence.
#include "csvtable.h"

namespace {

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

QString field(const QString &text)
{
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

QByteArray CsvTable::write(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        for (qsizetype k = 0; k < row.size(); ++k) {
            if (k > 0)
                text += QLatin1Char(',');
            text += field(row.at(k));
        }
        text += QLatin1String("\r\n");
    }
    return ByteOrderMark + text.toUtf8();
}

QList<QStringList> CsvTable::read(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes.startsWith(ByteOrderMark)
                                               ? bytes.mid(ByteOrderMark.size()) : bytes);
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool cellBegun = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) {
                cell += c;
            } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            cellBegun = true;
        } else if (c == QLatin1Char(',')) {
            row.append(cell);
            cell.clear();
            cellBegun = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            row.append(cell);
            rows.append(row);
            row.clear();
            cell.clear();
            cellBegun = false;
        } else {
            cell += c;
            cellBegun = true;
        }
    }
    if (cellBegun || !row.isEmpty()) {
        row.append(cell);
        rows.append(row);
    }
    return rows;
}
