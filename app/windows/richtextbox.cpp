// Velmora workbench. Licensed under the MIT licence.
#include "richtextbox.h"

#include "filechunks.h"
#include "largefileview.h"
#include "lineindex.h"
#include "systemcodepage.h"

#include <QApplication>

#include <memory>

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // What is shown is the file itself; an edit here could never be saved.
    setReadOnly(true);
    setUndoRedoEnabled(false);
}

void RichTextBox::LoadFile(const QString &path)
{
    QByteArray bytes;
    {
        FileChunks file(path);
        if (file.size() > ShownBytes) {
            auto index = std::make_unique<LineIndex>(path);
            closeLargeFile();
            setPlainText(QString());
            m_large = new LargeFileView(std::move(index), this);
            m_large->setGeometry(rect());
            m_large->show();
            setFocusProxy(m_large);
            return;
        }
        bytes = file.read(0, file.size()).toByteArray();
    }
    closeLargeFile();
    setPlainText(SystemCodePage::toUnicode(bytes));
}

void RichTextBox::closeLargeFile()
{
    if (!m_large)
        return;
    const bool focused = m_large->isAncestorOf(QApplication::focusWidget());
    setFocusProxy(nullptr);
    delete m_large;
    m_large = nullptr;
    if (focused)
        setFocus();
}

void RichTextBox::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    if (m_large)
        m_large->setGeometry(rect());
}
