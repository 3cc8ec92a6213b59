// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

// Text in the system code page: the ANSI code page on Windows, the locale's encoding
// (normally UTF-8) elsewhere. Every file the program reads or writes as text, and the
// serial text mode, go through here.
namespace SystemCodePage {

QByteArray fromUnicode(const QString &text);
// Appends the text in the system code page to bytes, reusing the capacity bytes has.
void appendFromUnicode(QStringView text, QByteArray &bytes);
QString toUnicode(const QByteArray &bytes);

// Decodes a byte stream that arrives in pieces: a multi-byte character split between
// two pieces is held back until its last byte arrives, so it is never garbled, and an
// invalid sequence becomes a replacement character without taking the bytes after
// it. Decoding in pieces gives the text of decoding the whole at once.
class StreamDecoder
{
public:
    StreamDecoder();

    QString decode(const QByteArray &bytes);
    void reset();

private:
    // Qt's own stateful UTF-8 decoder drops the byte after an invalid sequence that
    // ends a piece, so UTF-8 is cut at character boundaries here instead.
    bool m_utf8;
    QByteArray m_held;
    QStringDecoder m_decoder;
};

// How many bytes at the end of UTF-8 data begin a character still missing bytes.
qsizetype incompleteUtf8Tail(QByteArrayView bytes);

} // namespace SystemCodePage
