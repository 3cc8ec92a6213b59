// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QPlainTextEdit>

// A read-only text area that shows one file at a time, plain text as it is, and keeps
// its content when a file cannot be read. A file too large to show at once (a day's
// capture can reach gigabytes) is shown by its last part, under a line that says how
// much is left out and where the whole file is: reading and showing stay short
// enough not to hold up the program, reception included.
class RichTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    // The most of a file that is shown.
    static constexpr qint64 ShownBytes = 256 * 1024;

    explicit RichTextBox(QWidget *parent = nullptr);

    // Replaces the whole content with the file's text, or with the end of a file of
    // more than ShownBytes. Throws Component::RuntimeError when the file cannot be read.
    void LoadFile(const QString &path);
};
