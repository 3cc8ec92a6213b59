// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QPlainTextEdit>
#include <QTimer>

// A pane that keeps a long timeline of entries, one per line, and scrolls: the
// monitor's view. Unlike the main window's panes it never empties itself; the
// oldest lines go once it holds MaxLines. It follows the newest line only while
// the user has not scrolled away from the end.
class TimelinePane : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int MaxLines = 5000;
    // Queued text is inserted at least this often.
    static constexpr int BatchMilliseconds = 30;

    explicit TimelinePane(QWidget *parent = nullptr);

    // Queues an entry: on a line of its own when newLine, else continuing the last
    // line. A line break ending an entry (a frame's CR LF) ends its line; it never
    // adds an empty line before the next entry.
    void appendEntry(const QString &text, bool newLine);
    // Inserts what is queued.
    void flushPending();

public slots:
    void clear();

private:
    QString m_pending;
    bool m_breakHeld = false;   // the last entry ended with a line break not yet shown
    bool m_empty = true;
    QTimer m_batchTimer;
};
