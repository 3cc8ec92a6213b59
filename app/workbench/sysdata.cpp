// Velmora workbench. Licensed under the MIT licence.
#include "sysdata.h"

#include "systemcodepage.h"

#include <QFile>
#include <QtEndian>

#include <array>

namespace {

// The sixteen integers in front of the texts, in file order.
std::array<qint16 SysData::*, 16> leadingFields()
{
    return { &SysData::OutPort,  &SysData::InPort,  &SysData::IOState, &SysData::OutSetB,
             &SysData::OutSetD,  &SysData::OutSetP, &SysData::OutSetS, &SysData::OutHand,
             &SysData::InSetB,   &SysData::InSetD,  &SysData::InSetP,  &SysData::InSetS,
             &SysData::InHand,   &SysData::ComFormat, &SysData::ComAuto, &SysData::ComTime };
}

constexpr int FieldSize = 2;

// Reads fields in order; everything behind the end of the data reads 0 or empty.
class RecordReader
{
public:
    explicit RecordReader(const QByteArray &bytes) : m_bytes(bytes) {}

    qint16 integer()
    {
        if (m_pos + FieldSize > m_bytes.size()) {
            m_pos = m_bytes.size();
            return 0;
        }
        const qint16 value = qFromLittleEndian<qint16>(m_bytes.constData() + m_pos);
        m_pos += FieldSize;
        return value;
    }

    QString text()
    {
        const int count = quint16(integer());
        const QByteArray bytes = m_bytes.mid(m_pos, count);
        m_pos += bytes.size();
        return SystemCodePage::toUnicode(bytes);
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

void appendInteger(QByteArray &out, qint16 value)
{
    char bytes[FieldSize];
    qToLittleEndian(value, bytes);
    out.append(bytes, FieldSize);
}

// The longest leading part of the text whose encoding fits the limit, so that no
// character is split.
QByteArray encodeClipped(const QString &text, int limit)
{
    const QByteArray whole = SystemCodePage::fromUnicode(text);
    if (whole.size() <= limit)
        return whole;
    qsizetype length = 0;
    qsizetype bytes = 0;
    while (length < text.size()) {
        const qsizetype step = text.at(length).isHighSurrogate() ? 2 : 1;
        bytes += SystemCodePage::fromUnicode(text.mid(length, step)).size();
        if (bytes > limit)
            break;
        length += step;
    }
    return SystemCodePage::fromUnicode(text.left(length));
}

void appendText(QByteArray &out, const QString &text)
{
    const QByteArray bytes = encodeClipped(text, SysData::MaxTextBytes);
    appendInteger(out, qint16(bytes.size()));
    out.append(bytes);
}

} // namespace

SysData SysData::fromBytes(const QByteArray &bytes)
{
    RecordReader reader(bytes);
    SysData record;
    for (qint16 SysData::*field : leadingFields())
        record.*field = reader.integer();
    record.OutCommand = reader.text();
    record.InCommand = reader.text();
    record.SaveInfo = reader.integer();
    return record;
}

QByteArray SysData::toBytes() const
{
    QByteArray out;
    for (qint16 SysData::*field : leadingFields())
        appendInteger(out, this->*field);
    appendText(out, OutCommand);
    appendText(out, InCommand);
    appendInteger(out, SaveInfo);
    return out;
}

SysData SysData::load(const QString &path, bool *ok)
{
    QFile file(path);
    // A write-protected file still gives its settings back.
    const bool opened = file.open(QIODevice::ReadWrite) || file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? fromBytes(file.readAll()) : SysData();
}

bool SysData::save(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray bytes = toBytes();
    return file.write(bytes) == bytes.size() && file.flush();
}

bool SysData::operator==(const SysData &other) const
{
    for (qint16 SysData::*field : leadingFields()) {
        if (this->*field != other.*field)
            return false;
    }
    return OutCommand == other.OutCommand && InCommand == other.InCommand
        && SaveInfo == other.SaveInfo;
}
