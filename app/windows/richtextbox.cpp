// Velmora workbench. Licensed under the MIT licence.
#include "richtextbox.h"

#include "textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString megabytes(qint64 bytes)
{
    return QStringLiteral("%1 MB").arg(double(bytes) / (1024 * 1024), 0, 'f', 1);
}

QString leftOutNote(const TextFile::Ending &ending, const QString &path)
{
    return QCoreApplication::translate("RichTextBox", "【文件共 %1，前面的 %2（%3 字节）未显示，以下是文件的最后部分。完整文件：%4】")
        .arg(megabytes(ending.fileBytes), megabytes(ending.leftOutBytes))
        .arg(ending.leftOutBytes)
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // What is shown is the file itself; an edit here could never be saved.
    setReadOnly(true);
    setUndoRedoEnabled(false);
}

void RichTextBox::LoadFile(const QString &path)
{
    const TextFile::Ending ending = TextFile::readEnding(path, ShownBytes);
    if (ending.leftOutBytes == 0)
        setPlainText(ending.text);
    else
        setPlainText(leftOutNote(ending, path) + QLatin1Char('\n') + ending.text);
}
