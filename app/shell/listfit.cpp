// Velmora workbench. Licensed under the MIT licence.
#include "listfit.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtMath>

namespace ListFit {

namespace {

// The item text's own margin inside the edit field, as the styles draw it.
constexpr int LabelMargin = 1;
constexpr double PointStep = 0.5;

} // namespace

int textRoom(const QComboBox *list)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.frame = list->hasFrame();
    option.editable = list->isEditable();
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, list);
    return field.width() - 2 * LabelMargin;
}

int widestItem(const QComboBox *list, const QFont &font)
{
    int widest = 0;
    for (const QFont::HintingPreference hinting :
         {QFont::PreferDefaultHinting, QFont::PreferNoHinting, QFont::PreferFullHinting}) {
        QFont hinted(font);
        hinted.setHintingPreference(hinting);
        const QFontMetricsF metrics(hinted);
        for (int k = 0; k < list->count(); ++k)
            widest = qMax(widest, qCeil(metrics.horizontalAdvance(list->itemText(k))));
    }
    return widest;
}

void fit(QComboBox *list)
{
    if (list->isEditable() || list->count() == 0)
        return;
    const QFont own = list->parentWidget() ? list->parentWidget()->font() : list->font();
    const int room = textRoom(list);
    QFont font = own;
    for (double points = own.pointSizeF(); points >= SmallestPointSize; points -= PointStep) {
        font.setPointSizeF(points);
        if (widestItem(list, font) <= room)
            break;
    }
    if (font != list->font())
        list->setFont(font);
}

} // namespace ListFit
