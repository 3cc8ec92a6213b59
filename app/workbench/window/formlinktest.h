// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "linkrunner.h"

#include <skinnedwindow.h>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class Session;

namespace Component {
class Control;
}

// The link test window: the test's pattern, form, direction, amount and pace, the live
// figures and the verdict. Not modal. It opens the main window's ports as a start of
// communication would, never while communication runs, and closes them at the end.
class FormLinkTest : public SkinnedWindow
{
    Q_OBJECT

public:
    explicit FormLinkTest(Session &session, QWidget *parent = nullptr);
    ~FormLinkTest() override;

    bool testing() const { return m_runner.running(); }

signals:
    void testingChanged(bool testing);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildSetupFrame();
    void buildResultFrame();
    QComboBox *addList(QWidget *parent, const QString &name, const QStringList &items, const QRect &rect);
    QLabel *addLabel(QWidget *parent, const QString &text, const QRect &rect);
    void showSetup(const LinkSetup &setup);
    void showPorts();
    void startClicked();
    bool readSetup(LinkSetup &setup);
    void showProgress();
    void showFigures(const LinkFigures &figures);
    void onFinished();
    void saveClicked();

    Session &m_session;
    LinkRunner m_runner;
    QString m_report;
    QLabel *LabelLinkPorts = nullptr;
    QComboBox *ComboLinkPattern = nullptr;
    QComboBox *ComboLinkForm = nullptr;
    QComboBox *ComboLinkDirection = nullptr;
    QLineEdit *TextLinkAmount = nullptr;
    QComboBox *ComboLinkAmount = nullptr;
    QComboBox *ComboLinkPace = nullptr;
    QComboBox *ComboLinkBlock = nullptr;
    QLineEdit *TextLinkUser = nullptr;
    QLineEdit *TextLinkLimit = nullptr;
    QLabel *LabelLinkVerdict = nullptr;
    QPlainTextEdit *TextLinkFigures = nullptr;
    Component::Control *ButtonLinkStart = nullptr;
    Component::Control *ButtonLinkSave = nullptr;
};
