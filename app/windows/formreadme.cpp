// Velmora workbench. Licensed under the MIT licence.
#include "formreadme.h"

#include "richtextbox.h"
#include "singlewindow.h"
#include "windowtexts.h"

#include <uitext.h>

#include <QPalette>

namespace {

const TextFileWindow::Layout ReadmeLayout = {
    QStringLiteral("FormReadme"),
    UiText("FormReadme", QT_TRANSLATE_NOOP("FormReadme", "使用说明")),
    QSize(467, 539),
    UiText("FormReadme", QT_TRANSLATE_NOOP("FormReadme", "软件使用说明")),
    QStringLiteral("TextReadme"),
    QRect(8, 35, 450, 460),
    QRect(QPoint(198, 505), WindowTexts::OkButtonSize),
    QStringLiteral("readme.txt"),
    UiText("FormReadme", QT_TRANSLATE_NOOP("FormReadme", "请检查“readme”文件是否存在！")),
};

} // namespace

FormReadme::FormReadme(QWidget *parent)
    : TextFileWindow(ReadmeLayout, parent)
{
    QPalette white = text()->palette();
    white.setColor(QPalette::Base, Qt::white);
    text()->setPalette(white);
}

FormReadme *FormReadme::Show()
{
    return showSingleWindow<FormReadme>();
}
