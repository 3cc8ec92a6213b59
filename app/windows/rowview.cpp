// Velmora workbench. Licensed under the MIT licence.
#include "rowview.h"

#include "lineindex.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr int Margin = 4;
constexpr qint64 RowsAboveShown = 3;

} // namespace

RowView::RowView(LineIndex *index, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_index(index)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    rowsAdded();
}

qint64 RowView::firstRow() const
{
    return verticalScrollBar()->value();
}

qreal RowView::layOut(QTextLayout &layout) const
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setFont(font());
    const qreal width = std::max(1, viewport()->width() - 2 * Margin);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return std::max(height, qreal(fontMetrics().lineSpacing()));
}

qint64 RowView::rowsFillingTheEnd()
{
    const qint64 rows = m_index->rowCount();
    const qint64 most = std::min<qint64>(rows, viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 1);
    const QList<LineIndex::Row> last = m_index->rows(rows - most, most);
    qreal height = 0;
    qint64 filling = 0;
    for (auto row = last.crbegin(); row != last.crend(); ++row) {
        QTextLayout layout(m_index->text(*row));
        height += layOut(layout);
        if (height > viewport()->height())
            break;
        ++filling;
    }
    return std::max<qint64>(filling, 1);
}

void RowView::rowsAdded()
{
    // Rows are counted in an int; a file of more rows than that (over 2 G lines) is
    // reached up to there.
    const qint64 last = std::max<qint64>(0, m_index->rowCount() - rowsFillingTheEnd());
    verticalScrollBar()->setRange(0, int(std::min<qint64>(last, std::numeric_limits<int>::max())));
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()) - 1));
    viewport()->update();
}

void RowView::showRow(qint64 row)
{
    verticalScrollBar()->setValue(int(std::max<qint64>(0, row - RowsAboveShown)));
    viewport()->update();
}

void RowView::setMark(qint64 offset, qint64 bytes)
{
    m_markOffset = offset;
    m_markBytes = bytes;
    viewport()->update();
}

void RowView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const int height = viewport()->height();
    const qint64 most = height / std::max(1, fontMetrics().lineSpacing()) + 1;
    const qint64 first = firstRow();
    qreal y = Margin;
    m_lastShown = first - 1;
    m_rowBottoms.clear();
    qint64 rowNumber = first;
    for (const LineIndex::Row &row : m_index->rows(first, most)) {
        if (y >= height)
            break;
        QTextLayout layout(m_index->text(row));
        const qreal rowHeight = layOut(layout);
        const bool selected = rowNumber >= selectionStart() && rowNumber <= selectionEnd();
        if (selected)
            painter.fillRect(QRectF(0, y, viewport()->width(), rowHeight), palette().brush(QPalette::Highlight));
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        QList<QTextLayout::FormatRange> marks;
        const qint64 markFrom = std::max(row.offset, m_markOffset);
        const qint64 markTo = std::min(row.offset + row.bytes, m_markOffset + m_markBytes);
        if (m_markOffset >= 0 && markFrom < markTo) {
            QTextLayout::FormatRange mark;
            mark.start = int(m_index->decoded(row.offset, markFrom - row.offset).size());
            mark.length = int(m_index->decoded(markFrom, markTo - markFrom).size());
            mark.format.setBackground(palette().brush(selected ? QPalette::Base : QPalette::Highlight));
            mark.format.setForeground(palette().brush(selected ? QPalette::Text : QPalette::HighlightedText));
            marks.append(mark);
        }
        layout.draw(&painter, QPointF(Margin, y), marks);
        y += rowHeight;
        m_rowBottoms.append(y);
        if (y <= height)
            ++m_lastShown;
        ++rowNumber;
    }
}

qint64 RowView::rowAtY(qreal y) const
{
    const auto below = std::lower_bound(m_rowBottoms.cbegin(), m_rowBottoms.cend(), y);
    const qint64 drawn = std::min<qint64>(below - m_rowBottoms.cbegin(), m_rowBottoms.size() - 1);
    return std::clamp<qint64>(firstRow() + std::max<qint64>(drawn, 0), 0, std::max<qint64>(0, m_index->rowCount() - 1));
}

void RowView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qint64 row = rowAtY(event->position().y());
    if (!(event->modifiers() & Qt::ShiftModifier) || m_anchorRow < 0)
        m_anchorRow = row;
    m_cursorRow = row;
    viewport()->update();
}

// A drag past the top or bottom edge scrolls on, a row at a time.
void RowView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_anchorRow < 0)
        return;
    const qreal y = event->position().y();
    if (y < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (y > viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    m_cursorRow = y < 0 ? firstRow() : y > viewport()->height() ? std::max(m_lastShown, firstRow()) : rowAtY(y);
    viewport()->update();
}

void RowView::copy()
{
    if (m_anchorRow < 0)
        return;
    const qint64 count = selectionEnd() - selectionStart() + 1;
    if (count > CopyLimit) {
        emit copied(0, true);
        return;
    }
    QStringList lines;
    for (const LineIndex::Row &row : m_index->rows(selectionStart(), count))
        lines << m_index->text(row);
    QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
    emit copied(lines.size(), false);
}

void RowView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    rowsAdded();
}

void RowView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
        verticalScrollBar()->triggerAction(event->key() == Qt::Key_Home ? QAbstractSlider::SliderToMinimum
                                                                        : QAbstractSlider::SliderToMaximum);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}
