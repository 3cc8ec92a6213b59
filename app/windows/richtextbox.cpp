// Velmora workbench. Licensed under the MIT licence.
#include "richtextbox.h"

#include "textfile.h"

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // What is shown is the file itself; an edit here could never be saved.
    setReadOnly(true);
}

void RichTextBox::LoadFile(const QString &path)
{
    setPlainText(TextFile::readAll(path));
}
