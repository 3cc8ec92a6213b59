// Velmora bitmap generator. Licensed under the MIT licence.
#include "bitmapsets.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr QSize PushSize(18, 21);
constexpr QSize TitleSize(21, 21);
constexpr QSize ToolboxSize(16, 15);
constexpr QSize ToolboxFaceRoom(14, 13);

const QColor DialogTone(220, 214, 192);
const QColor TitleStripTone(0, 84, 227);
const QColor PushOutline(0, 60, 113);
const QColor Glyph(255, 255, 255);

QColor mix(const QColor &from, const QColor &to, qreal t)
{
    const auto channel = [t](int a, int b) { return qRound(a + (b - a) * t); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

bool save(const QImage &image, const QString &folder, const QString &name)
{
    return image.convertToFormat(QImage::Format_RGB888).save(folder + QLatin1Char('/') + name + QStringLiteral(".bmp"), "BMP");
}

// A 1-pixel outline with rounded corners: the corner pixels take the tone behind the
// button and the pixels just inside them blend outline and face.
void drawRoundedOutline(QImage &image, const QColor &outline, const QColor &behind)
{
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    for (int x = 0; x <= right; ++x) {
        image.setPixelColor(x, 0, outline);
        image.setPixelColor(x, bottom, outline);
    }
    for (int y = 0; y <= bottom; ++y) {
        image.setPixelColor(0, y, outline);
        image.setPixelColor(right, y, outline);
    }
    const QPoint corners[] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
    for (const QPoint &corner : corners) {
        image.setPixelColor(corner, behind);
        const QPoint inner(corner.x() == 0 ? 1 : right - 1, corner.y() == 0 ? 1 : bottom - 1);
        image.setPixelColor(inner, mix(image.pixelColor(inner), outline, 0.5));
    }
}

// Push button faces, 18 x 21, read by the library as nine slices with a 3-pixel border.

QImage verticalGradient(const QSize &size, const QColor &top, const QColor &bottom)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        const QColor row = mix(top, bottom, qreal(y) / (size.height() - 1));
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, row);
    }
    return image;
}

// The warm two-pixel ring of the hovered button, inside the outline.
void drawHoverRing(QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    const QColor sides(255, 202, 108);
    for (int y = 1; y < h - 1; ++y) {
        for (int x : {1, 2, w - 3, w - 2})
            image.setPixelColor(x, y, sides);
    }
    const QColor rows[] = {{255, 240, 207}, {253, 216, 137}, {255, 178, 47}, {230, 150, 3}};
    const int ys[] = {1, 2, h - 3, h - 2};
    for (int i = 0; i < 4; ++i) {
        for (int x = 2; x < w - 2; ++x)
            image.setPixelColor(x, ys[i], rows[i]);
    }
}

QImage pushFace(const QColor &top, const QColor &bottom, bool hovered)
{
    QImage image = verticalGradient(PushSize, top, bottom);
    if (hovered)
        drawHoverRing(image);
    drawRoundedOutline(image, PushOutline, DialogTone);
    return image;
}

bool writePushFaces(const QString &folder)
{
    const QColor white(255, 255, 255);
    return save(pushFace(white, QColor(197, 199, 214), false), folder, QStringLiteral("BUTTON-NORMAL"))
           && save(pushFace(white, QColor(236, 235, 230), true), folder, QStringLiteral("BUTTON-MOUSEOVER"))
           && save(pushFace(QColor(172, 169, 188), white, false), folder, QStringLiteral("BUTTON-MOUSEDOWN"));
}

// Title-bar faces, 21 x 21: a diagonal shading with a white glyph.

struct TitleLook
{
    const char *state;
    QColor from; // top left
    QColor to;   // bottom right
    QColor outline;
    QColor glyph;
};

QImage diagonalGradient(const QSize &size, const QColor &from, const QColor &to)
{
    QImage image(size, QImage::Format_RGB32);
    const qreal span = size.width() + size.height() - 2;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, mix(from, to, (x + y) / span));
    }
    return image;
}

QPen glyphPen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

void drawCross(QPainter &p, const QColor &c)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(glyphPen(c, 2.0));
    p.drawLine(QPointF(6.5, 6.5), QPointF(14.5, 14.5));
    p.drawLine(QPointF(14.5, 6.5), QPointF(6.5, 14.5));
}

// A window outline with its thick title bar, top-left corner at (x, y).
void drawWindowOutline(QPainter &p, const QColor &c, int x, int y, int side)
{
    p.setPen(glyphPen(c, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(x, y, side - 1, side - 1);
    p.fillRect(x, y, side, 3, c);
}

void drawMaximise(QPainter &p, const QColor &c)
{
    drawWindowOutline(p, c, 5, 5, 11);
}

void drawMinimise(QPainter &p, const QColor &c)
{
    p.fillRect(6, 13, 6, 3, c);
}

void drawRestore(QPainter &p, const QColor &c)
{
    drawWindowOutline(p, c, 8, 4, 9);
    drawWindowOutline(p, c, 4, 8, 9);
}

void drawQuestionMark(QPainter &p, const QColor &c)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(glyphPen(c, 2.0));
    QPainterPath hook;
    hook.moveTo(7, 8);
    hook.cubicTo(7, 4, 14, 4, 14, 8);
    hook.cubicTo(14, 10.5, 10.5, 10.5, 10.5, 13);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(9.5, 15, 2, 2));
}

// A serial line's pulse: low, a raised bit, low again.
void drawPulse(QPainter &p, const QColor &c)
{
    p.setPen(glyphPen(c, 2.0));
    p.setBrush(Qt::NoBrush);
    const QPointF wave[] = {{4, 14}, {8, 14}, {8, 7}, {13, 7}, {13, 14}, {17, 14}};
    p.drawPolyline(wave, 6);
}

// A serial connector's face: the trapezoid shell with its two rows of pins.
void drawConnector(QPainter &p, const QColor &c)
{
    p.setPen(glyphPen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    const QPointF shell[] = {{3.5, 6.5}, {17.5, 6.5}, {15.5, 14.5}, {5.5, 14.5}};
    p.drawPolygon(shell, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (qreal x : {6.5, 9.5, 12.5})
        p.drawRect(QRectF(x, 8.5, 2, 2));
    for (qreal x : {8.0, 11.0})
        p.drawRect(QRectF(x, 11.5, 2, 2));
}

// A stream of bits with a tick over it: the link test.
void drawBitMeter(QPainter &p, const QColor &c)
{
    p.setPen(glyphPen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    const QPointF bits[] = {{3, 16}, {6, 16}, {6, 12}, {9, 12}, {9, 16}, {12, 16}, {12, 12}, {18, 12}};
    p.drawPolyline(bits, 8);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(glyphPen(c, 2.0));
    const QPointF tick[] = {{7, 6.5}, {10, 9}, {15, 3.5}};
    p.drawPolyline(tick, 3);
}

// A list: three rows, each a bullet and its line.
void drawList(QPainter &p, const QColor &c)
{
    p.setPen(glyphPen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    for (qreal y : {6.5, 10.5, 14.5}) {
        p.drawLine(QPointF(4.5, y), QPointF(5.5, y));
        p.drawLine(QPointF(8.5, y), QPointF(16.5, y));
    }
}

// Two arrows, one each way: both directions of a link.
void drawTwoWay(QPainter &p, const QColor &c)
{
    p.setPen(glyphPen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(4.5, 7.5), QPointF(16.5, 7.5));
    p.drawLine(QPointF(4.5, 13.5), QPointF(16.5, 13.5));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const QPointF right[] = {{17.5, 7.5}, {13.5, 4.5}, {13.5, 10.5}};
    p.drawPolygon(right, 3);
    const QPointF left[] = {{3.5, 13.5}, {7.5, 10.5}, {7.5, 16.5}};
    p.drawPolygon(left, 3);
}

using GlyphPainter = void (*)(QPainter &, const QColor &);

QImage titleFace(const TitleLook &look, GlyphPainter glyph)
{
    QImage image = diagonalGradient(TitleSize, look.from, look.to);
    {
        QPainter painter(&image);
        glyph(painter, look.glyph);
    }
    drawRoundedOutline(image, look.outline, TitleStripTone);
    return image;
}

const QColor PaleBlue(128, 175, 240);

const TitleLook CloseLooks[] = {
    {"NORMAL", {239, 176, 160}, {207, 79, 16}, Glyph, Glyph},
    {"MOUSEOVER", {250, 205, 190}, {240, 112, 48}, Glyph, Glyph},
    {"MOUSEDOWN", {191, 127, 80}, {160, 55, 10}, Glyph, Glyph},
    {"DISABLED", {232, 212, 208}, {205, 165, 155}, Glyph, {244, 232, 229}},
};

const TitleLook BlueLooks[] = {
    {"NORMAL", {159, 191, 255}, {0, 95, 240}, Glyph, Glyph},
    {"MOUSEOVER", {190, 215, 255}, {16, 128, 255}, Glyph, Glyph},
    {"MOUSEDOWN", {0, 63, 128}, {20, 85, 200}, Glyph, Glyph},
    {"DISABLED", {200, 218, 250}, {140, 175, 235}, PaleBlue, {225, 235, 252}},
};

const TitleLook HelpLooks[] = {
    {"NORMAL", {205, 222, 255}, {0, 95, 240}, Glyph, Glyph},
    {"MOUSEOVER", {225, 236, 255}, {16, 128, 255}, Glyph, Glyph},
    {"MOUSEDOWN", {0, 63, 128}, {20, 85, 200}, Glyph, Glyph},
};

struct TitleSet
{
    const char *prefix;
    GlyphPainter glyph;
    const TitleLook *looks;
    int lookCount;
};

const TitleSet TitleSets[] = {
    {"CLOSE", drawCross, CloseLooks, 4},
    {"MAX", drawMaximise, BlueLooks, 4},
    {"MIN", drawMinimise, BlueLooks, 4},
    {"RESTORE", drawRestore, BlueLooks, 4},
    {"HELP", drawQuestionMark, HelpLooks, 3},
    {"LINE", drawPulse, HelpLooks, 3},   // the program's line window, beside the help button
    {"PORTMAP", drawConnector, HelpLooks, 3},   // the port map window, beside the line window's
    {"LINKTEST", drawBitMeter, HelpLooks, 3},   // the link test window, beside the port map's
    {"COMMANDS", drawList, HelpLooks, 3},   // the command list, beside the link test's
    {"MONITOR", drawTwoWay, HelpLooks, 3},   // the two-port monitor, beside the command list's
};

QString titleName(const TitleSet &set, const TitleLook &look)
{
    return QString::fromLatin1(set.prefix) + QLatin1Char('-') + QString::fromLatin1(look.state);
}

bool writeTitleFaces(const QString &folder)
{
    for (const TitleSet &set : TitleSets) {
        for (int i = 0; i < set.lookCount; ++i) {
            if (!save(titleFace(set.looks[i], set.glyph), folder, titleName(set, set.looks[i])))
                return false;
        }
    }
    return true;
}

// Toolbox pictures, one per class in the library's class order (Button, TopButton, HelpButton).

QImage toolboxPicture(const QImage &face)
{
    QImage image(ToolboxSize, QImage::Format_RGB32);
    image.fill(DialogTone);
    QPainter painter(&image);
    const QImage small = face.scaled(ToolboxFaceRoom, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawImage((ToolboxSize.width() - small.width()) / 2, (ToolboxSize.height() - small.height()) / 2,
                      small);
    return image;
}

bool writeToolboxPictures(const QString &folder)
{
    QImage button = verticalGradient(QSize(21, 13), QColor(255, 255, 255), QColor(197, 199, 214));
    {
        QPainter painter(&button);
        painter.fillRect(6, 6, 9, 2, PushOutline); // a caption's stroke
    }
    drawRoundedOutline(button, PushOutline, DialogTone);
    const TitleSet &close = TitleSets[0];
    const TitleSet &help = TitleSets[4];
    return save(toolboxPicture(button), folder, QStringLiteral("30000"))
           && save(toolboxPicture(titleFace(close.looks[0], close.glyph)), folder, QStringLiteral("30001"))
           && save(toolboxPicture(titleFace(help.looks[0], help.glyph)), folder, QStringLiteral("30002"));
}

} // namespace

bool writeButtonBitmaps(const QString &folder)
{
    return writePushFaces(folder) && writeTitleFaces(folder) && writeToolboxPictures(folder);
}
