// Velmora bitmap generator. Licensed under the MIT licence.
#include "bitmapsets.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace {

constexpr QSize CaptionSize(100, 29);
constexpr QSize SplashSize(400, 267);
constexpr int EmblemSide = 32;
constexpr int IconDesignSide = 256;
const QList<int> IconSides = {16, 32, 48, 256};
// The sizes desktops look for in the hicolor icon theme.
const QList<int> DesktopIconSides = {16, 32, 48, 64, 128, 256};

const QColor StripBody(0, 84, 231);
const QColor StripBright(0, 107, 253);
const QColor Connector(200, 206, 214);
const QColor ConnectorShade(120, 130, 145);
const QColor PinColour(250, 210, 90);

QString pathOf(const QString &folder, const QString &file)
{
    return folder + QLatin1Char('/') + file;
}

QColor mix(const QColor &from, const QColor &to, qreal t)
{
    const auto channel = [t](int a, int b) { return qRound(a + (b - a) * t); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

// The title strip's colour of each row, top to bottom: a light edge, the body, a
// brighter lower band and a dark bottom edge. Every row is one colour, so the strip
// keeps its look when stretched sideways.
QColor captionRow(int row)
{
    static const QColor top[] = {{127, 169, 243}, {0, 69, 206}, {57, 150, 255}, {41, 142, 255},
                                 {0, 113, 253},   {0, 98, 242}, {0, 88, 235}};
    constexpr int BodyFirst = 7, BodyLast = 15, BrightFirst = 23, BrightLast = 26;
    if (row < BodyFirst)
        return top[row];
    if (row <= BodyLast)
        return StripBody;
    if (row < BrightFirst)
        return mix(StripBody, StripBright, qreal(row - BodyLast) / (BrightFirst - BodyLast));
    if (row <= BrightLast)
        return StripBright;
    return row == BrightLast + 1 ? QColor(0, 77, 231) : QColor(0, 69, 206);
}

bool writeCaption(const QString &folder)
{
    QImage image(CaptionSize, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        const QColor colour = captionRow(y);
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, colour);
    }
    return image.save(pathOf(folder, QStringLiteral("CAPTION.bmp")), "BMP");
}

// A nine-pin D connector seen from the front, inside the given rectangle.
void drawConnector(QPainter &painter, const QRectF &box)
{
    const qreal slant = box.width() * 0.1;
    const QPolygonF shell({box.topLeft(), box.topRight(),
                           QPointF(box.right() - slant, box.bottom()),
                           QPointF(box.left() + slant, box.bottom())});
    QLinearGradient metal(box.topLeft(), box.bottomLeft());
    metal.setColorAt(0, Connector.lighter(115));
    metal.setColorAt(1, ConnectorShade);
    painter.setPen(QPen(ConnectorShade.darker(150), box.width() * 0.03));
    painter.setBrush(metal);
    QPainterPath outline;
    outline.addPolygon(shell);
    outline.closeSubpath();
    painter.drawPath(outline);

    painter.setPen(Qt::NoPen);
    painter.setBrush(PinColour);
    const qreal pin = box.width() * 0.085;
    const auto pinRow = [&](int count, qreal y, qreal inset) {
        const qreal step = (box.width() - 2 * inset) / (count - 1);
        for (int i = 0; i < count; ++i)
            painter.drawEllipse(QPointF(box.left() + inset + i * step, y), pin, pin);
    };
    pinRow(5, box.top() + box.height() * 0.33, box.width() * 0.18);
    pinRow(4, box.top() + box.height() * 0.68, box.width() * 0.26);
}

QImage programIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(side) / IconDesignSide, qreal(side) / IconDesignSide);
    QLinearGradient face(0, 0, 0, IconDesignSide);
    face.setColorAt(0, QColor(57, 150, 255));
    face.setColorAt(1, QColor(0, 69, 206));
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    drawConnector(painter, QRectF(36, 72, 184, 112));
    return image;
}

bool writeIcons(const QString &folder, const QList<int> &sides)
{
    for (int side : sides) {
        if (!programIcon(side).save(pathOf(folder, QStringLiteral("ICON-%1.png").arg(side)), "PNG"))
            return false;
    }
    return true;
}

// A serial line's bits as a square wave between two levels.
void drawBitTrain(QPainter &painter, const QString &bits, qreal left, qreal high, qreal low, qreal bitWidth)
{
    QPainterPath wave;
    qreal x = left;
    wave.moveTo(x, high);
    for (QChar bit : bits) {
        const qreal level = bit == QLatin1Char('1') ? high : low;
        wave.lineTo(x, level);
        x += bitWidth;
        wave.lineTo(x, level);
    }
    painter.drawPath(wave);
}

void drawSplashBand(QPainter &painter, const QString &subtitleText)
{
    const QRectF band(0, 0, SplashSize.width(), 168);
    QLinearGradient sky(band.topLeft(), band.bottomRight());
    sky.setColorAt(0, QColor(0, 40, 130));
    sky.setColorAt(1, StripBody);
    painter.fillRect(band, sky);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(120, 200, 255, 170), 2));
    drawBitTrain(painter, QStringLiteral("1101001011010001101001110100"), 20, 128, 144, 13);
    painter.setPen(QPen(QColor(250, 210, 90, 150), 2));
    drawBitTrain(painter, QStringLiteral("1011100101101100101101011011"), 32, 150, 162, 13);

    drawConnector(painter, QRectF(286, 34, 92, 56));

    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPixelSize(44);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QPointF(24, 70), QStringLiteral("Velmora"));
    QFont subtitle = painter.font();
    subtitle.setPixelSize(15);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.drawText(QPointF(26, 100), subtitleText);
}

// The splash in one language of the interface: only its subtitle differs.
bool writeSplash(const QString &folder, const QString &subtitle, const QString &fileName)
{
    QImage image(SplashSize, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient paper(0, 0, 0, SplashSize.height());
    paper.setColorAt(0, QColor(252, 251, 246));
    paper.setColorAt(1, QColor(236, 233, 218));
    painter.fillRect(image.rect(), paper);
    drawSplashBand(painter, subtitle);
    painter.setPen(QPen(QColor(0, 69, 206), 1));
    painter.drawLine(QPointF(16, 200.5), QPointF(SplashSize.width() - 16, 200.5));
    QFont maker = painter.font();
    maker.setPixelSize(13);
    maker.setItalic(true);
    painter.setFont(maker);
    painter.setPen(QColor(0, 69, 206));
    painter.drawText(QRectF(0, 176, SplashSize.width() - 18, 20), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Ormel"));
    painter.end();
    return image.save(pathOf(folder, fileName), "JPG", 92);
}

// A 32 x 32 picture: a rounded coloured face on the dialog background.
QImage emblemFace(const QColor &face)
{
    QImage image(EmblemSide, EmblemSide, QImage::Format_RGB32);
    image.fill(QColor(236, 233, 218));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
    return image;
}

void drawLegend(QPainter &painter, const QRectF &box, const QString &legend, int pixelSize, const QColor &ink)
{
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = painter.font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(box, Qt::AlignCenter, legend);
}

QImage legendEmblem(const QColor &face, const QString &legend, int pixelSize)
{
    QImage image = emblemFace(face);
    QPainter painter(&image);
    drawLegend(painter, image.rect(), legend, pixelSize, Qt::white);
    return image;
}

void drawStar(QPainter &painter, const QPointF &centre, qreal radius)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 ? radius * 0.4 : radius;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
    }
    painter.drawPolygon(star);
}

QImage chinaEmblem()
{
    const QColor gold(255, 222, 0);
    QImage image = emblemFace(QColor(222, 41, 16));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gold);
    drawStar(painter, QPointF(16, 11), 7);
    drawLegend(painter, QRectF(0, 19, EmblemSide, 11), QStringLiteral("CHINA"), 8, gold);
    return image;
}

bool writeAboutPictures(const QString &folder)
{
    return chinaEmblem().save(pathOf(folder, QStringLiteral("CHINA.png")), "PNG")
        && legendEmblem(QColor(0, 84, 231), QStringLiteral("Or"), 15)
               .save(pathOf(folder, QStringLiteral("LOGO.png")), "PNG")
        && legendEmblem(QColor(46, 139, 87), QStringLiteral("VDT"), 11)
               .save(pathOf(folder, QStringLiteral("AUTHOR.png")), "PNG");
}

} // namespace

bool writeAppBitmaps(const QString &folder)
{
    return writeCaption(folder) && writeIcons(folder, IconSides)
        && writeSplash(folder, QStringLiteral("RS-232 / RS-485 串口通讯测试工作台"), QStringLiteral("SPLASH.jpg"))
        && writeSplash(folder, QStringLiteral("RS-232 / RS-485 serial link workbench"), QStringLiteral("SPLASH-EN.jpg"))
        && writeAboutPictures(folder);
}

bool writeDesktopIcons(const QString &folder)
{
    return writeIcons(folder, DesktopIconSides);
}
