// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "skinnedwindow.h"

class FileList;
class RichTextBox;

// The capture viewer: lists the text files of the data folder and shows the selected
// one whole, as it is at the moment of selection. Opens on the introduction file.
class FormViewInfo : public SkinnedWindow
{
    Q_OBJECT

public:
    explicit FormViewInfo(QWidget *parent = nullptr);

    // Creates and shows the window, or brings the open one forward.
    static FormViewInfo *Show();

    RichTextBox *textViewInfo() const { return m_text; }
    FileList *fileList() const { return m_files; }

private:
    void loadDataFolder();
    void fileListClick();

    RichTextBox *m_text;
    FileList *m_files;
};
