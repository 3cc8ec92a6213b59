// Velmora workbench. Licensed under the MIT licence.
#include "formviewinfo.h"

#include "filelist.h"
#include "filelocations.h"
#include "interfacelanguage.h"
#include "modulefun.h"
#include "richtextbox.h"
#include "singlewindow.h"
#include "windowtexts.h"

#include <control.h>
#include <controlsite.h>
#include <runtimeerror.h>
#include <uitext.h>

#include <QLabel>

namespace {

const UiText Caption("FormViewInfo", QT_TRANSLATE_NOOP("FormViewInfo", "查看通讯数据"));
const QString IntroductionFile = QStringLiteral("操作说明.txt");
const QString CapturePattern = QStringLiteral("*.txt");
const UiText Hint("FormViewInfo", QT_TRANSLATE_NOOP("FormViewInfo", "请检查文件是否存在！"));

void reportFailure(const Component::RuntimeError &error)
{
    ModuleFun::ShowError(error.number(), error.description(), Hint);
}

} // namespace

FormViewInfo::FormViewInfo(QWidget *parent)
    : SkinnedWindow(QStringLiteral("FormViewInfo"), Caption, QSize(433, 536), parent)
{
    addTitleStrip(Caption);
    addCloseButton();

    m_files = new FileList(this);
    m_files->setObjectName(QStringLiteral("FileList"));
    m_files->setGeometry(120, 496, 129, 26);
    m_files->setPattern(CapturePattern);

    Component::ControlSite *ok =
        placeButton(WindowTexts::OkName, QRect(QPoint(328, 496), WindowTexts::OkButtonSize), tr("退出查询"),
                    WindowTexts::OkToolTip, [this] { close(); });

    m_text = new RichTextBox(this);
    m_text->setObjectName(QStringLiteral("TextViewInfo"));
    m_text->setGeometry(8, 40, 417, 441);

    auto *label = new QLabel(tr("通讯数据文件列表："), this);
    label->setObjectName(QStringLiteral("LabelFile"));
    label->move(8, 496);
    label->adjustSize();

    QWidget::setTabOrder(m_files, ok->control());
    QWidget::setTabOrder(ok->control(), m_text);
    m_files->setFocus();

    loadDataFolder();
    connect(m_files, &FileList::Click, this, &FormViewInfo::fileListClick);
}

FormViewInfo *FormViewInfo::Show()
{
    return showSingleWindow<FormViewInfo>();
}

void FormViewInfo::loadDataFolder()
{
    const FileLocations &locations = FileLocations::of(ModuleFun::ProgramFolder());
    try {
        m_text->LoadFile(InterfaceLanguage::deliveredFile(locations.deliveredDataFolder(), IntroductionFile));
        m_files->setPath(locations.captureFolder());
    } catch (const Component::RuntimeError &error) {
        reportFailure(error);
    }
}

void FormViewInfo::fileListClick()
{
    // A file deleted or locked since the list was filled keeps the previous text.
    try {
        m_text->LoadFile(FileList::joinPath(m_files->path(), m_files->fileName()));
    } catch (const Component::RuntimeError &error) {
        reportFailure(error);
    }
}
