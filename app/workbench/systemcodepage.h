// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

// Text in the system code page: the ANSI code page on Windows, the locale's encoding
// (normally UTF-8) elsewhere. Every file the program reads or writes as text, and the
// serial text mode, go through here.
namespace SystemCodePage {

QByteArray fromUnicode(const QString &text);
QString toUnicode(const QByteArray &bytes);

} // namespace SystemCodePage
