// Velmora workbench. Licensed under the MIT licence.
#include "messagelabel.h"

#include "modulefun.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace {

constexpr qreal PointStep = 0.5;

Qt::Alignment alignmentOf(qint16 intAlign)
{
    switch (intAlign) {
    case ModuleFun::AlignRight:
        return Qt::AlignRight;
    case ModuleFun::AlignCentre:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

QFont withPointSize(QFont font, qreal points)
{
    font.setPointSizeF(points);
    return font;
}

} // namespace

MessageLabel::MessageLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    m_fitted = font();
}

void MessageLabel::setMessage(const QString &text, qint16 intAlign)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(lines);
    setAlignment(alignmentOf(intAlign) | Qt::AlignTop);
    fit();
}

bool MessageLabel::textFits() const
{
    return layOut(m_fitted, nullptr) <= contentsRect().height();
}

// The label's own font where the text fits in it, else the largest smaller one that
// fits, else the smallest.
void MessageLabel::fit()
{
    const QFont own = font();
    m_fitted = own;
    const qreal ownPoints = own.pointSizeF();
    if (ownPoints <= 0 || layOut(own, nullptr) <= contentsRect().height())
        return;
    for (qreal points = ownPoints - PointStep; points >= SmallestPointSize; points -= PointStep) {
        m_fitted = withPointSize(own, points);
        if (layOut(m_fitted, nullptr) <= contentsRect().height())
            return;
    }
    m_fitted = withPointSize(own, qMin(ownPoints, SmallestPointSize));
    update();
}

// Lays the text out in the box and returns its height; draws it when a painter is given.
qreal MessageLabel::layOut(const QFont &font, QPainter *painter) const
{
    const QRectF box(contentsRect());
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const qreal lineHeight = QFontMetricsF(font, painter ? painter->device() : nullptr).lineSpacing();
    qreal y = 0;
    for (const QString &paragraph : text().split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            y += lineHeight / 2;
            continue;
        }
        QTextLayout layout(paragraph, font, painter ? painter->device() : nullptr);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(box.width());
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
        if (painter)
            layout.draw(painter, box.topLeft());
    }
    return y;
}

void MessageLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setClipRect(contentsRect());
    layOut(m_fitted, &painter);
}

void MessageLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fit();
}

void MessageLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fit();
}
