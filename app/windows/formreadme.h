// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "textfilewindow.h"

// The usage notes: the text of readme.txt, wrapped, on white.
class FormReadme : public TextFileWindow
{
    Q_OBJECT

public:
    explicit FormReadme(QWidget *parent = nullptr);

    // Creates and shows the window, or brings the open one forward.
    static FormReadme *Show();
};
