// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QAbstractScrollArea>

#include <algorithm>

class LineIndex;
class QTextLayout;

// Shows the rows of a line index, drawing only those in sight: the scroll bar counts
// rows, so every row of a file of any size can be scrolled to, and a row wraps at the
// view's width as a text box wraps a line. One stretch of the file (a match) can be
// marked. Rows are selected with the mouse (a click, a drag, a shift-click) and copied
// with the copy key, up to CopyLimit of them.
class RowView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr qint64 CopyLimit = 100000;

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

    // The rows selected, first to last; none (-1) before a click.
    qint64 selectionStart() const { return std::min(m_anchorRow, m_cursorRow); }
    qint64 selectionEnd() const { return std::max(m_anchorRow, m_cursorRow); }
    // Puts the selected rows' text on the clipboard, one line each.
    void copy();

signals:
    // rows were copied; or none, as more than CopyLimit were selected.
    void copied(qint64 rows, bool tooMany);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // The row's text laid out at the view's width; returns its height.
    qreal layOut(QTextLayout &layout) const;
    // How many rows at the end of the file fill the view.
    qint64 rowsFillingTheEnd();
    // The row drawn at the height y of the viewport, after the last paint.
    qint64 rowAtY(qreal y) const;

    LineIndex *m_index;
    qint64 m_lastShown = -1;
    qint64 m_markOffset = -1;
    qint64 m_markBytes = 0;
    qint64 m_anchorRow = -1;
    qint64 m_cursorRow = -1;
    QList<qreal> m_rowBottoms;  // of the rows drawn, from the first on
};
