// Velmora workbench. Licensed under the MIT licence.
#include "sysdata.h"

#include "systemcodepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
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
        // A command may begin with U+FEFF; as the start of a file it would be taken
        // for a byte order mark and dropped.
        QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::ConvertInitialBom);
        return decoder(bytes);
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

// Whether a cut before position `at` would split a surrogate pair.
bool splitsPair(const QString &text, qsizetype at)
{
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate()
        && text.at(at).isLowSurrogate();
}

// The encoding of the longest leading part of the text that fits the limit, cut
// between characters. The limit holds for the encoded bytes whatever the text holds:
// an unpaired surrogate or a character the code page lacks may encode to more or
// fewer bytes than its share of a pair would suggest, so the length is only ever
// measured on the encoded prefix itself. That length grows with the prefix, which
// makes a binary search over the cut position exact.
QByteArray encodeClipped(const QString &text, int limit)
{
    QByteArray encoded = SystemCodePage::fromUnicode(text);
    if (encoded.size() <= limit)
        return encoded;
    qsizetype fits = 0;
    qsizetype tooLong = text.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = fits + (tooLong - fits) / 2;
        if (SystemCodePage::fromUnicode(text.left(middle)).size() <= limit)
            fits = middle;
        else
            tooLong = middle;
    }
    if (splitsPair(text, fits))
        --fits;
    return SystemCodePage::fromUnicode(text.left(fits));
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
    // A link is never opened: creating the missing file would create its target.
    // A write-protected file still gives its settings back.
    const bool opened = !QFileInfo(path).isSymLink()
        && (file.open(QIODevice::ReadWrite) || file.open(QIODevice::ReadOnly));
    if (ok)
        *ok = opened;
    return opened ? fromBytes(file.readAll()) : SysData();
}

// The file is replaced as a whole by a copy written beside it, so that a write cut
// short leaves the old settings, and a link put in its place is refused rather than
// followed into whatever file it names.
bool SysData::save(const QString &path) const
{
    if (QFileInfo(path).isSymLink())
        return false;
    QFile old(path);
    QByteArray bytes = old.open(QIODevice::ReadOnly) ? old.readAll() : QByteArray();
    old.close();
    const QByteArray record = toBytes();
    bytes.replace(0, qMin(bytes.size(), record.size()), record);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
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
