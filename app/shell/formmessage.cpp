// Velmora workbench. Licensed under the MIT licence.
#include "formmessage.h"

#include "formlogo.h"
#include "messagelabel.h"
#include "windowtexts.h"

#include <control.h>
#include <controlsite.h>
#include <runtimeerror.h>

#include <QApplication>
#include <QPushButton>

namespace {

constexpr QSize ClientSize(307, 187);
constexpr QRect MessageBox(13, 40, 280, 100);
constexpr QRect OkButtonBox(QPoint(118, 150), WindowTexts::OkButtonSize);

} // namespace

FormMessage::FormMessage(const QString &strMessage, qint16 intAlign)
    : SkinnedWindow(QStringLiteral("FormMessage"), tr("信息提示"), ClientSize)
    , m_label(new MessageLabel(this))
{
    addTitleStrip(tr("操作提示"));
    m_label->setObjectName(QStringLiteral("LabelMessage"));
    m_label->setGeometry(MessageBox);
    m_label->setMessage(strMessage, intAlign);
    addOkButton();
    try {
        addCloseButton();
    } catch (const Component::RuntimeError &) {
        // The OK button still closes the window.
    }
}

void FormMessage::addOkButton()
{
    const QString &name = WindowTexts::OkName;
    const QString &caption = WindowTexts::OkCaption;
    const QString &toolTip = WindowTexts::OkToolTip;
    try {
        placeButton(name, OkButtonBox, caption, toolTip, [this] { close(); })->control()->setFocus();
    } catch (const Component::RuntimeError &) {
        // Without the button library a message must still be readable and closable:
        // often it is the one telling the user what went wrong.
        auto *fallback = new QPushButton(caption, this);
        fallback->setObjectName(name);
        fallback->setToolTip(toolTip);
        fallback->setGeometry(OkButtonBox);
        fallback->setDefault(true);
        connect(fallback, &QPushButton::clicked, this, &QWidget::close);
        fallback->setFocus();
    }
}

void FormMessage::open()
{
    FormLogo::closeIfOpen();
    centerOnScreen();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void FormMessage::onActivate()
{
    SkinnedWindow::onActivate();
    QApplication::beep();
    FormLogo::closeIfOpen();
}
