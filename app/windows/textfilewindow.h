// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "skinnedwindow.h"

#include <uitext.h>

class RichTextBox;

// A tool window showing one text file of the program folder, read once when the window
// is created; OK, Enter on OK and the close button unload it.
class TextFileWindow : public SkinnedWindow
{
    Q_OBJECT

public:
    struct Layout
    {
        QString name;
        UiText caption;
        QSize clientSize;
        UiText title;
        QString textName;
        QRect textGeometry;
        QRect okGeometry;
        QString fileName;  // in the program folder
        UiText hint;       // the last line of the error report
    };

    RichTextBox *text() const { return m_text; }

protected:
    explicit TextFileWindow(const Layout &layout, QWidget *parent = nullptr);

private:
    void loadFile(const Layout &layout);

    RichTextBox *m_text;
};
