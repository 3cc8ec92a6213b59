// Velmora benchmark. Licensed under the MIT licence.
#include "session.h"

#include "measurements.h"

#include <capturelog.h>
#include <commport.h>
#include <formmain.h>
#include <modulefun.h>

#include <componentloader.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>

namespace {

const char *const CaptionProperty = "Caption";
const QString StopCaption = QStringLiteral("停止通讯");

} // namespace

WindowSession::WindowSession(const QString &slavePath, const QByteArray &options,
                             const QByteArray &commandList)
{
    writeBeside(QStringLiteral("velmora.ini"), options);
    writeBeside(QStringLiteral("velmora-protocol.json"), commandList);
    QFile ports(m_folder.filePath(QStringLiteral("ports.ini")));
    ports.open(QIODevice::WriteOnly);
    ports.write("COM15=" + slavePath.toLocal8Bit() + "\n");
    ports.close();
    QDir(m_folder.path()).mkdir(QStringLiteral("data"));
    ModuleFun::SetProgramFolder(m_folder.path());
    ModuleFun::SetMessageObserver([this](const QString &text, qint16) { observe(text); });
    Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
    m_window = new FormMain;
    m_window->show();
    QCoreApplication::processEvents();
}

void WindowSession::writeBeside(const QString &fileName, const QByteArray &contents)
{
    if (contents.isEmpty())
        return;
    QFile file(m_folder.filePath(fileName));
    file.open(QIODevice::WriteOnly);
    file.write(contents);
}

WindowSession::~WindowSession()
{
    m_window->close();
    delete m_window;
    ModuleFun::SetMessageObserver({});
}

void WindowSession::observe(const QString &text)
{
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    if (m_messages++ > 0)
        return;
    const QRegularExpressionMatch number = QRegularExpression(QStringLiteral("错误代号：(\\d+)")).match(text);
    m_firstMessageAt = Measurements::nowMicroseconds();
    m_firstErrorNumber = number.hasMatch() ? number.captured(1).toInt() : 0;
}

void WindowSession::pick(const char *listName, const QString &itemText)
{
    auto *list = m_window->findChild<QComboBox *>(QString::fromLatin1(listName));
    pickIndex(listName, list->findText(itemText));
}

void WindowSession::pickIndex(const char *listName, int index)
{
    auto *list = m_window->findChild<QComboBox *>(QString::fromLatin1(listName));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void WindowSession::check(const char *boxName, bool checked)
{
    auto *box = m_window->findChild<QCheckBox *>(QString::fromLatin1(boxName));
    if (box->isChecked() != checked)
        box->click();
}

void WindowSession::type(const char *boxName, const QString &text)
{
    m_window->findChild<QLineEdit *>(QString::fromLatin1(boxName))->setText(text);
}

void WindowSession::clickButtonCom()
{
    QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("ButtonCom")), Qt::LeftButton);
    QCoreApplication::processEvents();
}

bool WindowSession::communicating() const
{
    const QWidget *button = m_window->findChild<QWidget *>(QStringLiteral("ButtonCom"));
    return button->property(CaptionProperty).toString() == StopCaption;
}

bool WindowSession::inPortOpen() const
{
    const auto *port = m_window->findChild<CommPort *>(QStringLiteral("MSCommInPut"));
    return port && port->PortOpen();
}

void WindowSession::prepare(int mode, int format, const QString &baud)
{
    pick("ComboComOutput", QStringLiteral("Com 15"));
    pick("ComboComInput", QStringLiteral("Com 15"));
    pickIndex("ComboComIOState", mode);
    pickIndex("ComboComFormat", format);
    pick("ComboComOutSetB", baud);
    pick("ComboComInSetB", baud);
    pick("ComboComOutSetD", QStringLiteral("8"));
    pick("ComboComInSetD", QStringLiteral("8"));
}

QPlainTextEdit *WindowSession::pane(const char *paneName) const
{
    return m_window->findChild<QPlainTextEdit *>(QString::fromLatin1(paneName));
}

QString WindowSession::dataFolder() const
{
    return m_folder.filePath(QStringLiteral("data"));
}

QString WindowSession::captureFile() const
{
    return dataFolder() + QLatin1Char('/') + CaptureLog::fileNameFor(QDate::currentDate());
}
