// Velmora fuzz targets. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property is a crash to libFuzzer, which keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, \
                         __LINE__);                                                     \
            std::abort();                                                               \
        }                                                                               \
    } while (false)

// Takes the input apart: small numbers from the front, the rest as data.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_bytes(reinterpret_cast<const char *>(data), qsizetype(size))
    {
    }

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    quint8 byte() { return atEnd() ? 0 : quint8(m_bytes.at(m_pos++)); }
    quint16 word() { return quint16(byte() | (byte() << 8)); }
    QByteArray bytes(qsizetype count)
    {
        const QByteArray taken = m_bytes.mid(m_pos, count);
        m_pos += taken.size();
        return taken;
    }
    QByteArray rest() { return bytes(m_bytes.size() - m_pos); }
    // Raw UTF-16 code units: unpaired surrogates and all.
    QString units(qsizetype count)
    {
        const QByteArray raw = bytes(2 * count);
        QString text;
        for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
            text += QChar(char16_t(quint8(raw.at(i)) | (quint8(raw.at(i + 1)) << 8)));
        return text;
    }

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

// What a file holds; empty when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
