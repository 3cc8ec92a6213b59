// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QPlainTextEdit>

// A read-only text area that shows one whole file at a time, plain text as it is, and
// keeps its content when a file cannot be read.
class RichTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit RichTextBox(QWidget *parent = nullptr);

    // Replaces the whole content with the file's text. Throws Component::RuntimeError
    // when the file cannot be read.
    void LoadFile(const QString &path);
};
