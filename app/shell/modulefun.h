// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QString>

#include <functional>

class QIcon;
class QPixmap;
class QWidget;

// The shared routines of the program: start-up, the window look, the message window.
namespace ModuleFun {

// The window the splash opens on its second tick; set once by the program's entry point.
using MainWindowFactory = std::function<QWidget *()>;
void SetMainWindowFactory(MainWindowFactory factory);
QWidget *CreateMainWindow();

// The start-up routine. Refuses a second running copy (message, then the process ends)
// or shows the splash window. Returns true when the program goes on running.
bool Main();

// Lays out the title strip and frame line of the window, at its current size.
void ApplyWindowSkin(QWidget *window);
// Moves the window with the mouse through the window system's own move.
void DragWindow(QWidget *window);
// Keeps the window above all others, or no longer: blnOnTop is a flag.
enum TopmostFlag : qint16 {
    NotOnTop = 0,
    OnTop = -1,
};
void SetWindowTopmost(QWidget *window, qint16 blnOnTop);
// How the message window sets its text: ShowMessage's intAlign.
enum MessageAlignment : qint16 {
    AlignLeft = 0,
    AlignRight = 1,
    AlignCentre = 2,
};
// Shows the program's modal message window; returns when the user has closed it.
void ShowMessage(const QString &strMessage, qint16 intAlign);

// Tests watch the messages instead of answering a modal window: while an observer is
// set, ShowMessage hands it the text and alignment and returns at once.
using MessageObserver = std::function<void(const QString &strMessage, qint16 intAlign)>;
void SetMessageObserver(MessageObserver observer);

// "错误代号：" number, CR LF, CR LF, "错误信息：" description, CR LF, CR LF, hint.
QString ErrorReport(int number, const QString &description, const QString &hint);
// Shows that report, left-aligned, as every failure with a number is shown.
void ShowError(int number, const QString &description, const QString &hint);

// The folder of the program file; every file the program reads lies there.
QString ProgramFolder();
// Tests point the program at a folder of their own.
void SetProgramFolder(const QString &folder);

// A bitmap of the program's own resources by name, such as "CAPTION"; null when missing.
// The pictures: "CAPTION", "SPLASH", "CHINA", "LOGO", "AUTHOR", "ICON-16" ... "ICON-256".
QPixmap ResourceBitmap(const QString &name);
// The program's icon in all its sizes.
QIcon ProgramIcon();

// Ends the program as the user would: the main window's close sequence first (it writes
// the settings), then every other window closes and the event loops end. Termination
// signals of the system arrive here, with nobody to answer a message: from then on
// messages go to standard error and no caller waits for one.
void EndProgram();

} // namespace ModuleFun
