// Velmora workbench. Licensed under the MIT licence.
#include "timelinepane.h"

#include <QScrollBar>
#include <QTextCursor>

namespace {

// CR LF, lone CR and lone LF each break a line.
QString withLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

TimelinePane::TimelinePane(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setMaximumBlockCount(MaxLines);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_batchTimer.setSingleShot(true);
    m_batchTimer.setInterval(BatchMilliseconds);
    connect(&m_batchTimer, &QTimer::timeout, this, &TimelinePane::flushPending);
}

void TimelinePane::appendEntry(const QString &text, bool newLine)
{
    QString shown = withLineBreaks(text);
    const bool breakFollows = shown.endsWith(QLatin1Char('\n'));
    if (breakFollows)
        shown.chop(1);
    if (!m_empty && (newLine || m_breakHeld))
        m_pending += QLatin1Char('\n');
    m_pending += shown;
    m_breakHeld = breakFollows;
    m_empty = false;
    if (!m_batchTimer.isActive())
        m_batchTimer.start();
}

void TimelinePane::flushPending()
{
    m_batchTimer.stop();
    if (m_pending.isEmpty())
        return;
    QScrollBar *bar = verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(m_pending);
    m_pending.clear();
    if (following)
        bar->setValue(bar->maximum());
}

void TimelinePane::clear()
{
    m_batchTimer.stop();
    m_pending.clear();
    m_breakHeld = false;
    m_empty = true;
    QPlainTextEdit::clear();
}
