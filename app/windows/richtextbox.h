// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QPlainTextEdit>

class LargeFileView;

// A read-only text area that shows one file at a time, plain text as it is, and keeps
// its content when a file cannot be read. A file too large to hold as one text (a
// day's capture can reach gigabytes) is shown whole by a large file view over the
// area, which reads only the rows in sight and keeps the program responsive while it
// indexes the file; it also finds texts and times in it.
class RichTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    // The largest file shown as one text.
    static constexpr qint64 ShownBytes = 256 * 1024;

    explicit RichTextBox(QWidget *parent = nullptr);

    // Replaces the whole content with the file's text. Throws Component::RuntimeError
    // when the file cannot be read.
    void LoadFile(const QString &path);

    // The view of a file larger than ShownBytes; none while a smaller one is shown.
    LargeFileView *largeFileView() const { return m_large; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void closeLargeFile();

    LargeFileView *m_large = nullptr;
};
