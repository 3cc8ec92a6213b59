// Velmora workbench. Licensed under the MIT licence.
#include "formasc.h"

#include "modulefun.h"
#include "richtextbox.h"
#include "singlewindow.h"
#include "windowtexts.h"

#include <uitext.h>

#include <QFontDatabase>
#include <QLabel>

namespace {

const TextFileWindow::Layout AscLayout = {
    QStringLiteral("FormAsc"),
    UiText("FormAsc", QT_TRANSLATE_NOOP("FormAsc", "Ascii对照表")),
    QSize(187, 537),
    UiText("FormAsc", QT_TRANSLATE_NOOP("FormAsc", "Ascii编码对照表")),
    QStringLiteral("TextAscii"),
    QRect(8, 48, 170, 449),
    QRect(QPoint(58, 504), WindowTexts::OkButtonSize),
    QStringLiteral("ascii.dat"),
    UiText("FormAsc", QT_TRANSLATE_NOOP("FormAsc", "请检查“Ascii代码表”文件是否存在！")),
};

} // namespace

FormAsc::FormAsc(QWidget *parent)
    : TextFileWindow(AscLayout, parent)
{
    // The table's columns line up under the header only in a fixed-pitch font.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto *header = new QLabel(QStringLiteral("Dec     Hex     Char"), this);
    header->setObjectName(QStringLiteral("LabelAscii"));
    header->setFont(fixed);
    header->move(10, 32);
    header->adjustSize();
    text()->setFont(fixed);
    text()->document()->setDocumentMargin(1);
}

FormAsc *FormAsc::Show()
{
    return showSingleWindow<FormAsc>();
}

void FormAsc::onActivate()
{
    TextFileWindow::onActivate();
    ModuleFun::SetWindowTopmost(this, ModuleFun::OnTop);
}
