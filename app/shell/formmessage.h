// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "skinnedwindow.h"

class MessageLabel;

// The program's message window: one text, an OK button and the close button. It comes
// up application-modal; whoever shows it waits for its destruction.
class FormMessage : public SkinnedWindow
{
    Q_OBJECT

public:
    FormMessage(const QString &strMessage, qint16 intAlign);

    // Closes the splash first, so that the topmost splash never covers the message.
    void open();

protected:
    void onActivate() override;

private:
    void addOkButton();

    MessageLabel *m_label;
};
