// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "textfilewindow.h"

// The ASCII table: the text of ascii.dat under its column header, above all windows.
class FormAsc : public TextFileWindow
{
    Q_OBJECT

public:
    explicit FormAsc(QWidget *parent = nullptr);

    // Creates and shows the window, or brings the open one forward.
    static FormAsc *Show();

protected:
    void onActivate() override;
};
