// Velmora workbench. Licensed under the MIT licence.
#include "formlogo.h"

#include "interfacelanguage.h"
#include "makerinfo.h"
#include "modulefun.h"

#include <runtimeerror.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace {

constexpr QSize ClientSize(400, 267);
const QColor NoticeColour(0, 0, 255);

QPointer<FormLogo> &shownSplash()
{
    static QPointer<FormLogo> splash;
    return splash;
}

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QPoint &at)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->move(at);
    label->adjustSize();
    return label;
}

void paintBlue(QLabel *label)
{
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, NoticeColour);
    label->setPalette(colours);
}

} // namespace

FormLogo::FormLogo()
    : SkinnedWindow(QStringLiteral("FormLogo"), tr("登陆界面"), ClientSize)
    , m_timer(new QTimer(this))
{
    addPicture();
    addLabels();
    ModuleFun::SetWindowTopmost(this, ModuleFun::OnTop);
    shownSplash() = this;

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(TickInterval);
    connect(m_timer, &QTimer::timeout, this, &FormLogo::Timer1_Timer);
    m_timer->start();
}

FormLogo::~FormLogo() = default;

void FormLogo::addPicture()
{
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ImageBack"));
    // The splash picture carries a subtitle of its own in each language.
    picture->setPixmap(ModuleFun::ResourceBitmap(InterfaceLanguage::current() == InterfaceLanguage::English
                                                     ? QStringLiteral("SPLASH-EN")
                                                     : QStringLiteral("SPLASH")));
    picture->setGeometry(rect());
    addFrameLine();
    picture->lower();
}

void FormLogo::addLabels()
{
    paintBlue(addLabel(this, "LabelCopyRight", QCoreApplication::translate("MakerInfo", MakerInfo::RightsNotice), {16, 216}));
    paintBlue(addLabel(this, "Label3", tr("信箱：") + QLatin1String(MakerInfo::Mail), {16, 240}));
    addLabel(this, "LabelBuild", QStringLiteral("Build 2004.12.02"), {296, 248});
}

FormLogo *FormLogo::current()
{
    return shownSplash();
}

void FormLogo::closeIfOpen()
{
    if (FormLogo *splash = current())
        splash->close();
}

void FormLogo::Timer1_Timer()
{
    ++m_intTick;
    if (m_intTick == MainWindowTick)
        openMainWindow();   // may unload this window: nothing may follow it here
    else if (m_intTick == UnloadTick)
        close();
}

void FormLogo::openMainWindow()
{
    QWidget *main = nullptr;
    try {
        main = ModuleFun::CreateMainWindow();
    } catch (const Component::RuntimeError &error) {
        ModuleFun::ShowError(error.number(), error.description(),
                             tr("错误提示：程序主窗口无法打开！"));
    }
    if (main) {
        main->show();
        main->activateWindow();
    } else {
        // Nothing would be left to end the program.
        QCoreApplication::quit();
    }
}

void FormLogo::onActivate()
{
    SkinnedWindow::onActivate();
    ModuleFun::SetWindowTopmost(this, ModuleFun::OnTop);
}

void FormLogo::closeEvent(QCloseEvent *event)
{
    if (shownSplash() == this)
        shownSplash() = nullptr;
    m_timer->stop();
    SkinnedWindow::closeEvent(event);
}
