// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QPlainTextEdit>
#include <QTimer>

// A read-only, wrapping display pane without scroll bars that stays fast and small
// under a continuous stream: text can be queued and is inserted in batches, and only
// the newest part of an overlong text is kept. Its font is sized to its height, so that
// every line the window keeps stays in sight.
class DataPane : public QPlainTextEdit
{
    Q_OBJECT

public:
    // The window empties a pane that shows this many lines.
    static constexpr int LinesShown = 16;
    // Bounds of the kept text, in characters: beyond MaxChars only the newest
    // KeepChars remain. KeepChars always fills far more than LinesShown lines.
    static constexpr int MaxChars = 4 * 1024;
    static constexpr int KeepChars = 2 * 1024;
    // Queued text is inserted at least this often.
    static constexpr int BatchMilliseconds = 30;

    explicit DataPane(QWidget *parent = nullptr);

    // Lines as the pane shows them at its current width, wrapped lines included,
    // queued text counted without inserting it: exact up to LinesShown, and above it
    // beyond. Once text had to be dropped the count is at least LinesShown, as it
    // would be with all of it present.
    int lineCount();
    bool isEmpty() const;

    // Inserts at the end at once, caret at the end. CR LF, CR and LF each break a line.
    void appendText(const QString &text);
    // Queues text for the next batch; cheap enough to call for every receive event.
    void appendPending(const QString &text);
    // Inserts what is queued.
    void flushPending();

    // The send pane's rule: each send on a line of its own, in a pane emptied first
    // once it shows LinesShown lines.
    void appendLine(const QString &text);
    // The receive pane's rule: data runs on in the line until a new line is due; the
    // pane is emptied only when a new line is due and LinesShown lines are shown.
    void appendContinued(const QString &text, bool newLine);

public slots:
    void clear();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitLinesShownToHeight();
    void clearWithNextBatch();
    void forgetText();
    QString normalised(const QString &text);
    void boundPending();
    void boundDocument(QTextCursor &cursor);
    void recount();
    void countQueued(QStringView text);
    int measuredLines(const QString &paragraph);

    // The line count, kept as text is queued: the lines of the paragraphs before the
    // last one, and the last paragraph as it will stand once the queue is inserted.
    bool m_countKnown = false;
    int m_closedLines = 0;
    QString m_openParagraph;
    int m_openLines = 1;
    bool m_openLinesKnown = false;
    // The width the pane's document lays its paragraphs out to; 0 until it has one.
    int m_layoutWidth = 0;
    struct Measured
    {
        QString text;
        int lines = 0;
    };
    Measured m_lastMeasured;

    QString m_pending;
    bool m_pendingReplacesDocument = false;
    bool m_dropped = false;
    bool m_endsWithCr = false;
    QTimer m_batchTimer;
    // The font the pane would have of its own; sized down, never up, to fit.
    QFont m_naturalFont;
};
