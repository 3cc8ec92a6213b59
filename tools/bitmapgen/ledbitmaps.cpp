// Velmora bitmap generator. Licensed under the MIT licence.
#include "bitmapsets.h"

#include <ledbitmapnames.h>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QVector>

namespace {

constexpr int CellWidth = 16;
constexpr int CellHeight = 21;
constexpr int ToolboxWidth = 16;
constexpr int ToolboxHeight = 15;
const char ToolboxFile[] = "30000.bmp";

struct LedColours
{
    QColor segment;
    QColor highlight;
};

// In the order of the colour words.
const LedColours Palette[] = {
    {QColor(82, 198, 255), Qt::white},
    {QColor(255, 0, 0), QColor(255, 127, 127)},
    {QColor(0, 255, 0), Qt::white},
    {QColor(255, 255, 0), Qt::white},
};

// The seven segments, a to g: top, upper right, lower right, bottom, lower left,
// upper left, middle.
enum Segment { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };

// Segment centre lines inside the 16 x 21 cell.
constexpr int LeftX = 3, RightX = 12, InnerLeft = 4, InnerRight = 11;
constexpr int TopY = 2, MiddleY = 10, BottomY = 18;
constexpr int UpperTop = 3, UpperBottom = 9, LowerTop = 11, LowerBottom = 17;

int segmentsOf(QChar c)
{
    switch (c.toLatin1()) {
    case '0': return A | B | C | D | E | F;
    case '1': return B | C;
    case '2': return A | B | D | E | G;
    case '3': return A | B | C | D | G;
    case '4': return B | C | F | G;
    case '5': return A | C | D | F | G;
    case '6': return A | C | D | E | F | G;
    case '7': return A | B | C;
    case '8': return A | B | C | D | E | F | G;
    case '9': return A | B | C | D | F | G;
    case '-': return G;
    default: return 0;
    }
}

// A three-pixel bar with bevelled ends and its highlight along the centre line.
void horizontalBar(QImage &image, int x1, int x2, int y, const LedColours &colours)
{
    for (int x = x1; x <= x2; ++x)
        image.setPixelColor(x, y, (x == x1 || x == x2) ? colours.segment : colours.highlight);
    for (int x = x1 + 1; x < x2; ++x) {
        image.setPixelColor(x, y - 1, colours.segment);
        image.setPixelColor(x, y + 1, colours.segment);
    }
}

void verticalBar(QImage &image, int x, int y1, int y2, const LedColours &colours)
{
    for (int y = y1; y <= y2; ++y)
        image.setPixelColor(x, y, (y == y1 || y == y2) ? colours.segment : colours.highlight);
    for (int y = y1 + 1; y < y2; ++y) {
        image.setPixelColor(x - 1, y, colours.segment);
        image.setPixelColor(x + 1, y, colours.segment);
    }
}

void drawSegments(QImage &image, int segments, const LedColours &colours)
{
    if (segments & A) horizontalBar(image, InnerLeft, InnerRight, TopY, colours);
    if (segments & G) horizontalBar(image, InnerLeft, InnerRight, MiddleY, colours);
    if (segments & D) horizontalBar(image, InnerLeft, InnerRight, BottomY, colours);
    if (segments & F) verticalBar(image, LeftX, UpperTop, UpperBottom, colours);
    if (segments & B) verticalBar(image, RightX, UpperTop, UpperBottom, colours);
    if (segments & E) verticalBar(image, LeftX, LowerTop, LowerBottom, colours);
    if (segments & C) verticalBar(image, RightX, LowerTop, LowerBottom, colours);
}

void drawPoint(QImage &image, const LedColours &colours)
{
    for (int y = BottomY - 1; y <= BottomY + 1; ++y)
        for (int x = LeftX - 1; x <= LeftX + 1; ++x)
            image.setPixelColor(x, y, colours.segment);
    image.setPixelColor(LeftX, BottomY, colours.highlight);
}

void drawColon(QImage &image, const LedColours &colours)
{
    constexpr int CentreX = 7;
    verticalBar(image, CentreX, 5, 8, colours);
    verticalBar(image, CentreX, 12, 15, colours);
}

QImage blackImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::black);
    return image;
}

QImage characterBitmap(QChar c, const LedColours &colours)
{
    QImage image = blackImage(CellWidth, CellHeight);
    if (c == QLatin1Char('.'))
        drawPoint(image, colours);
    else if (c == QLatin1Char(':'))
        drawColon(image, colours);
    else
        drawSegments(image, segmentsOf(c), colours);
    return image;
}

// The blank cell is an 8-bit palette bitmap. The writer stores small palettes in four
// bits a pixel, so the palette is a full grey ramp, of which only black is used.
QImage blankBitmap()
{
    constexpr int PaletteSize = 256;
    QImage image(CellWidth, CellHeight, QImage::Format_Indexed8);
    QVector<QRgb> greys;
    for (int level = 0; level < PaletteSize; ++level)
        greys.append(qRgb(level, level, level));
    image.setColorTable(greys);
    image.fill(0);
    return image;
}

// A miniature of the control for a designer's toolbox: framed black panel, two blue cells.
QImage toolboxBitmap()
{
    QImage image = blackImage(ToolboxWidth, ToolboxHeight);
    for (int x = 0; x < ToolboxWidth; ++x) {
        image.setPixelColor(x, 0, Qt::white);
        image.setPixelColor(x, ToolboxHeight - 1, Qt::white);
    }
    for (int y = 0; y < ToolboxHeight; ++y) {
        image.setPixelColor(0, y, Qt::white);
        image.setPixelColor(ToolboxWidth - 1, y, Qt::white);
    }
    const QImage eight = characterBitmap(QLatin1Char('8'), Palette[0])
                             .scaled(7, 11, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    for (int cell = 0; cell < 2; ++cell)
        for (int y = 0; y < eight.height(); ++y)
            for (int x = 0; x < eight.width(); ++x)
                image.setPixelColor(1 + cell * 7 + x, 2 + y, eight.pixelColor(x, y));
    return image;
}

bool save(const QImage &image, const QString &folder, const QString &file)
{
    return image.save(QDir(folder).filePath(file), "BMP");
}

} // namespace

bool writeLedBitmaps(const QString &folder)
{
    const QStringList &words = LedBitmapNames::colourWords();
    const QString characters = LedBitmapNames::characters();
    bool written = true;
    for (int colour = 0; colour < words.size(); ++colour) {
        for (const QChar c : characters) {
            const QString file = LedBitmapNames::fileName(words.at(colour) + c);
            written = save(characterBitmap(c, Palette[colour]), folder, file) && written;
        }
    }
    written = save(blankBitmap(), folder, LedBitmapNames::fileName(LedBitmapNames::blank())) && written;
    return save(toolboxBitmap(), folder, QString::fromLatin1(ToolboxFile)) && written;
}
