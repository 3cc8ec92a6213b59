// Velmora workbench. Licensed under the MIT licence.
#include "modulefun.h"

#include "filelocations.h"
#include "formlogo.h"
#include "formmessage.h"
#include "interfacelanguage.h"
#include "instancelock.h"
#include "messagequeue.h"
#include "skinparts.h"
#include "terminationwatcher.h"
#include "windowdragger.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QWindow>

#include <cstdio>
#include <memory>

namespace ModuleFun {

namespace {

constexpr char ResourceFolder[] = ":/app";
const char *const ResourceSuffixes[] = {".bmp", ".png", ".jpg"};
constexpr char IconPattern[] = "ICON-*.png";
// Callers waiting for their message nest event loops; beyond this depth a caller
// returns at once, its text still queued to be shown.
constexpr int MaxWaitingCallers = 8;

struct ShellState
{
    MainWindowFactory factory;
    QPointer<QWidget> mainWindow;
    MessageObserver observer;
    QString programFolder;
    MessageQueue messages;
    int waitingCallers = 0;
    bool ending = false;
    std::unique_ptr<InstanceLock> instanceLock;
    QPointer<TerminationWatcher> terminationWatcher;
};

ShellState &shell()
{
    static ShellState state;
    return state;
}

QString alreadyRunningText()
{
    return QCoreApplication::translate("ModuleFun", "《Velmora》\r\n\r\n已经运行！");
}

// Where nobody may be at the screen, a message is written where the system keeps it.
void printToStandardError(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void watchTermination()
{
    ShellState &state = shell();
    if (state.terminationWatcher)
        return;
    state.terminationWatcher = new TerminationWatcher(QCoreApplication::instance());
    QObject::connect(state.terminationWatcher, &TerminationWatcher::terminationRequested, &EndProgram);
}

// One message window at a time: when it goes, the next waiting text comes up.
void showNextMessage()
{
    ShellState &state = shell();
    if (state.ending || state.messages.hasCurrent() || !state.messages.hasPending())
        return;
    const MessageQueue::Message next = state.messages.startNext();
    auto *window = new FormMessage(next.text, next.align);
    QObject::connect(window, &QObject::destroyed, &state.messages, [] {
        shell().messages.finishCurrent();
        showNextMessage();
    });
    window->open();
}

void waitUntilSeen(quint64 ticket)
{
    ShellState &state = shell();
    if (state.messages.isSeen(ticket) || state.waitingCallers >= MaxWaitingCallers)
        return;
    ++state.waitingCallers;
    QEventLoop loop;
    QObject::connect(&state.messages, &MessageQueue::seen, &loop, [&loop, ticket] {
        if (shell().messages.isSeen(ticket))
            loop.quit();
    });
    loop.exec();
    --state.waitingCallers;
}

template<typename Part>
void withPart(QWidget *window, const char *name, const std::function<void(Part *)> &step)
{
    if (Part *part = window->findChild<Part *>(QString::fromLatin1(name)))
        step(part);
}

} // namespace

void SetMainWindowFactory(MainWindowFactory factory)
{
    shell().factory = std::move(factory);
}

QWidget *CreateMainWindow()
{
    ShellState &state = shell();
    if (!state.mainWindow && state.factory)
        state.mainWindow = state.factory();
    return state.mainWindow;
}

namespace {

// The translator goes in before any window is made, so that every text is in the language chosen.
void installLanguage()
{
    QString problem;
    InterfaceLanguage::install(ProgramFolder(), &problem);
    if (!problem.isEmpty())
        printToStandardError(problem);
}

} // namespace

bool Main()
{
    watchTermination();
    installLanguage();
    ShellState &state = shell();
    const QString settingsFolder = FileLocations::of(ProgramFolder()).settingsFolder();
    state.instanceLock = std::make_unique<InstanceLock>(InstanceLock::pathFor(settingsFolder));
    const InstanceLock::Result lock = state.instanceLock->tryAcquire();
    if (lock == InstanceLock::Result::Unavailable)
        printToStandardError(QStringLiteral("No lock can be made in %1; a second copy started on it would not be refused.").arg(settingsFolder));
    if (lock == InstanceLock::Result::HeldElsewhere) {
        // Seen on a console too, where a start from a script would otherwise just wait.
        printToStandardError(alreadyRunningText());
        ShowMessage(alreadyRunningText(), AlignCentre);
        return false;
    }
    auto *splash = new FormLogo;
    splash->centerOnScreen();
    splash->show();
    return true;
}

void ApplyWindowSkin(QWidget *window)
{
    if (!window)
        return;
    const int w = window->width();
    const int h = window->height();
    const auto placeButton = [window, w](const char *name, int place) {
        withPart<QWidget>(window, name, [w, place](QWidget *button) { button->move(SkinPart::titleButtonAt(w, place)); });
    };
    withPart<QLabel>(window, SkinPart::Title, [](QLabel *title) {
        QPalette colours = title->palette();
        colours.setColor(QPalette::WindowText, SkinPart::TitleText);
        title->setPalette(colours);
        title->move(SkinPart::TitleTextAt);
    });
    withPart<QLabel>(window, SkinPart::TitleMain, [w](QLabel *strip) {
        const QPixmap caption = ResourceBitmap(QString::fromLatin1(SkinPart::CaptionBitmap));
        if (!caption.isNull())
            strip->setPixmap(caption);
        strip->setGeometry(0, 0, w, strip->height());
    });
    withPart<QWidget>(window, SkinPart::TitleIcon, [](QWidget *icon) { icon->move(SkinPart::TitleIconAt); });
    placeButton(SkinPart::CloseButton, SkinPart::CloseButtonPlace);
    placeButton(SkinPart::MinButton, SkinPart::MinButtonPlace);
    placeButton(SkinPart::HelpButton, SkinPart::HelpButtonPlace);
    withPart<QWidget>(window, SkinPart::Frame, [w, h](QWidget *frame) { frame->setGeometry(1, 1, w - 1, h - 1); });
}

void DragWindow(QWidget *window)
{
    if (!window)
        return;
    QWindow *handle = window->window()->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    WindowDragger::follow(window->window());
}

void SetWindowTopmost(QWidget *window, qint16 blnOnTop)
{
    const bool onTop = blnOnTop != 0;
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const Qt::WindowFlags flags = window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (QWindow *handle = window->windowHandle()) {
        // Changed on the live window: setWindowFlags would hide it and place it anew.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

void ShowMessage(const QString &strMessage, qint16 intAlign)
{
    ShellState &state = shell();
    if (state.observer) {
        state.observer(strMessage, intAlign);
        return;
    }
    if (state.ending) {
        printToStandardError(strMessage);
        return;
    }
    const quint64 ticket = state.messages.post(strMessage, intAlign);
    showNextMessage();
    waitUntilSeen(ticket);
}

void SetMessageObserver(MessageObserver observer)
{
    shell().observer = std::move(observer);
}

QString ErrorReport(int number, const QString &description, const QString &hint)
{
    return QCoreApplication::translate("ModuleFun", "错误代号：%1\r\n\r\n错误信息：%2\r\n\r\n%3").arg(QString::number(number), description, hint);
}

void ShowError(int number, const QString &description, const QString &hint)
{
    ShowMessage(ErrorReport(number, description, hint), AlignLeft);
}

QString ProgramFolder()
{
    const QString &folder = shell().programFolder;
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void SetProgramFolder(const QString &folder)
{
    shell().programFolder = folder;
}

QPixmap ResourceBitmap(const QString &name)
{
    for (const char *suffix : ResourceSuffixes) {
        const QString path = QLatin1String(ResourceFolder) + QLatin1Char('/') + name + QLatin1String(suffix);
        if (QFile::exists(path))
            return QPixmap(path);
    }
    return QPixmap();
}

QIcon ProgramIcon()
{
    QIcon icon;
    const QDir folder(QString::fromLatin1(ResourceFolder));
    for (const QString &file : folder.entryList({QString::fromLatin1(IconPattern)}, QDir::Files))
        icon.addFile(folder.filePath(file));
    return icon;
}

void EndProgram()
{
    ShellState &state = shell();
    // The system asks, not a user: what the close sequence has to say must not wait.
    state.ending = true;
    for (const MessageQueue::Message &unseen : state.messages.abandon())
        printToStandardError(unseen.text);
    if (state.mainWindow)
        state.mainWindow->close();
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

} // namespace ModuleFun
