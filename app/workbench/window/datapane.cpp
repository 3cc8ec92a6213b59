// Velmora workbench. Licensed under the MIT licence.
#include "datapane.h"

#include <QFontMetricsF>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr QChar LineBreak = u'\n';
constexpr QChar CarriageReturn = u'\r';
// Below this a pane would be unreadable anyway; a smaller pane then shows fewer lines.
constexpr int SmallestPixelSize = 6;

// The height of one laid-out line: the pane's layout counts the leading in, and a
// rounded-up value keeps a fraction of a pixel per line from adding up.
qreal lineHeight(const QFont &font)
{
    return std::ceil(QFontMetricsF(font).lineSpacing());
}

} // namespace

DataPane::DataPane(QWidget *parent) : QPlainTextEdit(parent), m_naturalFont(font())
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_batchTimer.setSingleShot(true);
    m_batchTimer.setInterval(BatchMilliseconds);
    connect(&m_batchTimer, &QTimer::timeout, this, &DataPane::flushPending);
}

int DataPane::lineCount()
{
    if (!m_countKnown)
        recount();
    if (!m_openLinesKnown) {
        m_openLines = measuredLines(m_openParagraph);
        m_openLinesKnown = true;
    }
    const int lines = m_closedLines + m_openLines;
    return m_dropped ? std::max(lines, int(LinesShown)) : lines;
}

bool DataPane::isEmpty() const
{
    return m_pending.isEmpty() && (m_pendingReplacesDocument || document()->isEmpty());
}

void DataPane::appendText(const QString &text)
{
    appendPending(text);
    flushPending();
}

void DataPane::appendPending(const QString &text)
{
    const QString added = normalised(text);
    m_pending += added;
    // Text the bound drops is never measured: a large arrival after a new line would
    // otherwise lay out every line of it, only to have all but the last ones dropped.
    boundPending();
    if (m_countKnown)
        countQueued(added);
    if (!m_pending.isEmpty() && !m_batchTimer.isActive())
        m_batchTimer.start();
}

// One edit: what the bound drops goes before the queue comes in, so the document is
// laid out once, at its final length.
void DataPane::flushPending()
{
    m_batchTimer.stop();
    if (m_pendingReplacesDocument || !m_pending.isEmpty()) {
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        if (m_pendingReplacesDocument) {
            cursor.select(QTextCursor::Document);
            cursor.removeSelectedText();
            m_pendingReplacesDocument = false;
        }
        boundDocument(cursor);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(m_pending);
        cursor.endEditBlock();
        m_pending.clear();
    }
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

void DataPane::appendLine(const QString &text)
{
    if (lineCount() >= LinesShown)
        clearWithNextBatch();
    if (!isEmpty())
        appendPending(QStringLiteral("\r\n"));
    appendPending(text);
}

void DataPane::appendContinued(const QString &text, bool newLine)
{
    if (newLine) {
        if (lineCount() < LinesShown)
            appendPending(QStringLiteral("\r\n"));
        else
            clearWithNextBatch();
    }
    appendPending(text);
}

void DataPane::clear()
{
    m_batchTimer.stop();
    forgetText();
    m_pendingReplacesDocument = false;
    QPlainTextEdit::clear();
}

// The pane empties in the same edit as the text queued after it: a pane emptied for
// every long send would otherwise clear its document, and lay it out, at each send.
void DataPane::clearWithNextBatch()
{
    forgetText();
    m_pendingReplacesDocument = true;
    if (!m_batchTimer.isActive())
        m_batchTimer.start();
}

void DataPane::forgetText()
{
    m_pending.clear();
    m_dropped = false;
    m_endsWithCr = false;
    // An empty pane's count is known without laying anything out.
    m_closedLines = 0;
    m_openParagraph.clear();
    m_openLines = 1;
    m_openLinesKnown = true;
    m_countKnown = true;
}

void DataPane::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    fitLinesShownToHeight();
    // Lines wrap anew at another width or font.
    m_layoutWidth = viewport()->width();
    m_lastMeasured = {};
    m_countKnown = false;
}

// The largest font, up to the natural one, of which LinesShown lines fill no more than
// the pane's text area.
void DataPane::fitLinesShownToHeight()
{
    const qreal available = viewport()->height() - 2 * document()->documentMargin();
    QFont fitted = m_naturalFont;
    int pixels = QFontInfo(fitted).pixelSize();
    while (LinesShown * lineHeight(fitted) > available && pixels > SmallestPixelSize)
        fitted.setPixelSize(--pixels);
    if (fitted != font())
        setFont(fitted);
}

// One line break per CR LF, lone CR or lone LF, also when a CR LF is split between
// two calls. The text between CRs is copied whole: copied a character at a time, a
// text stream cost far more CPU than the same stream in hex.
QString DataPane::normalised(const QString &text)
{
    if (text.isEmpty())
        return text;
    QStringView rest = text;
    if (m_endsWithCr && rest.startsWith(LineBreak))
        rest = rest.sliced(1);
    m_endsWithCr = text.endsWith(CarriageReturn);
    qsizetype cr = rest.indexOf(CarriageReturn);
    if (cr < 0)
        return rest.size() == text.size() ? text : rest.toString();
    QString out;
    out.reserve(rest.size());
    for (; cr >= 0; cr = rest.indexOf(CarriageReturn)) {
        out.append(rest.first(cr)).append(LineBreak);
        rest = rest.sliced(cr + 1);
        if (rest.startsWith(LineBreak))
            rest = rest.sliced(1);
    }
    out.append(rest);
    return out;
}

// Queued text that alone passes the bound replaces everything shown; only its newest
// part is worth inserting.
void DataPane::boundPending()
{
    if (m_pending.size() <= MaxChars)
        return;
    m_pending.remove(0, m_pending.size() - KeepChars);
    m_pendingReplacesDocument = true;
    m_dropped = true;
    m_countKnown = false;
}

// Shown and queued text together past MaxChars: only the newest KeepChars of both stay.
void DataPane::boundDocument(QTextCursor &cursor)
{
    const qsizetype shown = document()->characterCount() - 1;
    const qsizetype total = shown + m_pending.size();
    if (total <= MaxChars)
        return;
    const qsizetype drop = total - KeepChars;
    cursor.setPosition(0);
    cursor.setPosition(int(std::min(drop, shown)), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (drop > shown)
        m_pending.remove(0, drop - shown);
    m_dropped = true;
    m_countKnown = false;
}

// Counts from the document, with the queue inserted first; the rare case: after a
// clear, a resize or dropped text.
void DataPane::recount()
{
    flushPending();
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(document()->documentLayout());
    m_closedLines = 0;
    const QTextBlock last = document()->lastBlock();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        layout->ensureBlockLayout(block);
        const int lines = std::max(1, block.layout()->lineCount());
        if (block == last)
            m_openLines = lines;
        else
            m_closedLines += lines;
    }
    m_openParagraph = last.text();
    m_openLinesKnown = true;
    m_countKnown = true;
}

// Queued text continues the last paragraph; each line break closes it. Past LinesShown
// lines the count need not be exact, and a closed paragraph then counts as one line
// unmeasured: frames of a fast line close a paragraph at every one.
void DataPane::countQueued(QStringView text)
{
    qsizetype start = 0;
    for (qsizetype breakAt = text.indexOf(LineBreak); breakAt >= 0;
         breakAt = text.indexOf(LineBreak, start)) {
        if (m_closedLines >= LinesShown) {
            ++m_closedLines;
            m_openParagraph.clear();
        } else {
            m_openParagraph += text.mid(start, breakAt - start);
            m_closedLines += measuredLines(m_openParagraph);
            m_openParagraph.clear();
        }
        start = breakAt + 1;
    }
    m_openParagraph += text.mid(start);
    m_openLinesKnown = false;
}

// Lays a paragraph out as the pane's document lays out each of its blocks, as far as
// the count matters: past LinesShown lines the pane is full anyway.
int DataPane::measuredLines(const QString &paragraph)
{
    if (paragraph.isEmpty())
        return 1;
    // The send pane measures the same command at every send.
    if (m_lastMeasured.lines > 0 && paragraph == m_lastMeasured.text)
        return m_lastMeasured.lines;
    QTextLayout layout(paragraph, document()->defaultFont());
    layout.setTextOption(document()->defaultTextOption());
    // A plain text document wraps at the viewport's width less its margins, and not
    // at all before it has a width.
    const qreal width = (m_layoutWidth > 0 ? qreal(m_layoutWidth) : qreal(INT_MAX))
        - 2 * document()->documentMargin();
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid() && lines <= LinesShown;
         line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
        ++lines;
    }
    layout.endLayout();
    m_lastMeasured = {paragraph, std::max(1, lines)};
    return m_lastMeasured.lines;
}
