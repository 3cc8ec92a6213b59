// Velmora workbench. Licensed under the MIT licence.
#include "messagelabel.h"

#include "modulefun.h"

#include <QPainter>
#include <QTextOption>

namespace {

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

} // namespace

MessageLabel::MessageLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

void MessageLabel::setMessage(const QString &text, qint16 intAlign)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(lines);
    setAlignment(alignmentOf(intAlign) | Qt::AlignTop);
}

void MessageLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    QTextOption layout(alignment());
    layout.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(QRectF(contentsRect()), text(), layout);
}
