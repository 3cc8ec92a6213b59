// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QAbstractScrollArea>

class LineIndex;
class QTextLayout;

// Shows the rows of a line index, drawing only those in sight: the scroll bar counts
// rows, so every row of a file of any size can be scrolled to, and a row wraps at the
// view's width as a text box wraps a line. One stretch of the file (a match) can be
// marked.
class RowView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit RowView(LineIndex *index, QWidget *parent = nullptr);

    // The index found more rows: the scroll bar's range follows.
    void rowsAdded();

    qint64 firstRow() const;
    // The first row drawn whole at the bottom edge or above it, after the last paint.
    qint64 lastShownRow() const { return m_lastShown; }
    // Scrolls so that the row stands in sight with a few rows above it.
    void showRow(qint64 row);

    // The stretch of the file marked as found; a negative offset marks none.
    void setMark(qint64 offset, qint64 bytes);
    qint64 markOffset() const { return m_markOffset; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The row's text laid out at the view's width; returns its height.
    qreal layOut(QTextLayout &layout) const;
    // How many rows at the end of the file fill the view.
    qint64 rowsFillingTheEnd();

    LineIndex *m_index;
    qint64 m_lastShown = -1;
    qint64 m_markOffset = -1;
    qint64 m_markBytes = 0;
};
