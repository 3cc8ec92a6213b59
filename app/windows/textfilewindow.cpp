// Velmora workbench. Licensed under the MIT licence.
#include "textfilewindow.h"

#include "interfacelanguage.h"
#include "modulefun.h"
#include "richtextbox.h"
#include "windowtexts.h"

#include <control.h>
#include <controlsite.h>
#include <runtimeerror.h>

TextFileWindow::TextFileWindow(const Layout &layout, QWidget *parent)
    : SkinnedWindow(layout.name, layout.caption, layout.clientSize, parent)
{
    addTitleStrip(layout.title);
    addCloseButton();
    Component::ControlSite *ok = placeButton(WindowTexts::OkName, layout.okGeometry,
                                             WindowTexts::OkCaption, WindowTexts::OkToolTip,
                                             [this] { close(); });

    m_text = new RichTextBox(this);
    m_text->setObjectName(layout.textName);
    m_text->setGeometry(layout.textGeometry);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    QWidget *okButton = ok->control();
    QWidget::setTabOrder(okButton, m_text);
    okButton->setFocus();

    loadFile(layout);
}

void TextFileWindow::loadFile(const Layout &layout)
{
    const QString path = InterfaceLanguage::deliveredFile(ModuleFun::ProgramFolder(), layout.fileName);
    try {
        m_text->LoadFile(path);
    } catch (const Component::RuntimeError &error) {
        ModuleFun::ShowError(error.number(), error.description(), layout.hint);
    }
}
