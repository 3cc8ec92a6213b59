// Velmora workbench. Licensed under the MIT licence.
#include "externalprogram.h"
#include "filelist.h"
#include "formabout.h"
#include "formasc.h"
#include "formreadme.h"
#include "formviewinfo.h"
#include "modulefun.h"
#include "richtextbox.h"

#include <component/componentloader.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Message
{
    QString text;
    qint16 align;
};

const QString AscHint = QStringLiteral("请检查“Ascii代码表”文件是否存在！");
const QString ReadmeHint = QStringLiteral("请检查“readme”文件是否存在！");
const QString ViewerHint = QStringLiteral("请检查文件是否存在！");
const QString Introduction = QStringLiteral("操作说明.txt");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray deliveredFile(const QString &name)
{
    QFile file(QStringLiteral(TARROCK_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a text box shows for a file's bytes: its lines, however they were ended.
QString shownText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString textOf(QWidget *window, const char *name)
{
    auto *box = window->findChild<RichTextBox *>(QString::fromLatin1(name));
    return box ? box->toPlainText() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

// The tool windows are unloaded through a deferred delete.
bool unloaded(const QPointer<QWidget> &window)
{
    return QTest::qWaitFor([&] { return window.isNull(); }, 2000);
}

} // namespace

class TestToolWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void missingFileGivesReportAndEmptyWindow_data();
    void missingFileGivesReportAndEmptyWindow();
    void textIsTheProgramFolderFile_data();
    void textIsTheProgramFolderFile();
    void showingAgainRaisesTheOpenWindow();
    void okHasTheFocusAndEnterUnloads_data();
    void okHasTheFocusAndEnterUnloads();

    void viewerListsCapturesAndLoadsEachSelection();
    void viewerKeepsTextWhenSelectedFileIsGone();
    void viewerWithoutDataFolder();
    void viewerListsNewFilesOnlyWhenReopened();

    void aboutShowsTheVersion();
    void aboutMailStartsOncePerClick();

    void deliveredAsciiTableLinesUpUnderHeader();

private:
    QString folderPath(const QString &name) const { return m_folder->filePath(name); }
    QString dataPath(const QString &name) const { return m_folder->filePath(QStringLiteral("data/") + name); }
    QWidget *show(const QString &windowName);

    QTemporaryDir *m_folder = nullptr;
    QList<Message> m_messages;
};

void TestToolWindows::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
}

void TestToolWindows::init()
{
    m_folder = new QTemporaryDir;
    QVERIFY(m_folder->isValid());
    ModuleFun::SetProgramFolder(m_folder->path());
    m_messages.clear();
    ModuleFun::SetMessageObserver(
        [this](const QString &text, qint16 align) { m_messages.append({text, align}); });
}

void TestToolWindows::cleanup()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ModuleFun::SetMessageObserver({});
    ExternalProgram::setSearchPaths({});
    delete m_folder;
}

QWidget *TestToolWindows::show(const QString &windowName)
{
    if (windowName == QLatin1String("FormAsc"))
        return FormAsc::Show();
    if (windowName == QLatin1String("FormReadme"))
        return FormReadme::Show();
    return FormViewInfo::Show();
}

void TestToolWindows::missingFileGivesReportAndEmptyWindow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("textBox");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("hint");
    QTest::addRow("ascii table") << "FormAsc" << "TextAscii" << "ascii.dat" << AscHint;
    QTest::addRow("usage notes") << "FormReadme" << "TextReadme" << "readme.txt" << ReadmeHint;
    QTest::addRow("viewer introduction") << "FormViewInfo" << "TextViewInfo"
                                         << "data/" + Introduction << ViewerHint;
}

void TestToolWindows::missingFileGivesReportAndEmptyWindow()
{
    QFETCH(QString, window);
    QFETCH(QString, textBox);
    QFETCH(QString, file);
    QFETCH(QString, hint);
    QDir(m_folder->path()).mkdir(QStringLiteral("data"));

    QWidget *shown = show(window);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().align, qint16(0));
    QVERIFY2(m_messages.first().text.startsWith(QStringLiteral("错误代号：53\r\n\r\n错误信息：")),
             qPrintable(m_messages.first().text));
    QVERIFY(m_messages.first().text.endsWith(QStringLiteral("\r\n\r\n") + hint));
    QVERIFY(shown->isVisible());
    QCOMPARE(textOf(shown, textBox.toLatin1()), QString());
    QVERIFY(!QFile::exists(folderPath(file)));
}

void TestToolWindows::textIsTheProgramFolderFile_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("textBox");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("delivered ascii table") << "FormAsc" << "TextAscii" << "ascii.dat"
                                           << deliveredFile(QStringLiteral("ascii.dat"));
    QTest::addRow("Chinese usage notes") << "FormReadme" << "TextReadme" << "readme.txt"
                                         << QStringLiteral("一、端口\r\n\r\n  发送端口：Com 1\r\n").toUtf8();
    QTest::addRow("empty usage notes") << "FormReadme" << "TextReadme" << "readme.txt" << QByteArray();
}

void TestToolWindows::textIsTheProgramFolderFile()
{
    QFETCH(QString, window);
    QFETCH(QString, textBox);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    writeFile(folderPath(file), bytes);
    // A file of the same name in the working directory is not the program's.
    QTemporaryDir elsewhere;
    writeFile(elsewhere.filePath(file), "not this one");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());

    QWidget *shown = show(window);
    QDir::setCurrent(previous);
    QCOMPARE(m_messages.size(), 0);
    QCOMPARE(textOf(shown, textBox.toLatin1()), shownText(bytes));
}

void TestToolWindows::showingAgainRaisesTheOpenWindow()
{
    writeFile(folderPath("readme.txt"), "first");
    QPointer<QWidget> first = FormReadme::Show();
    writeFile(folderPath("readme.txt"), "second");
    QCOMPARE(FormReadme::Show(), first.data());
    QCOMPARE(textOf(first, "TextReadme"), QStringLiteral("first"));

    first->close();
    QVERIFY(unloaded(first));
    QCOMPARE(textOf(FormReadme::Show(), "TextReadme"), QStringLiteral("second"));
}

void TestToolWindows::okHasTheFocusAndEnterUnloads_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("focused");
    QTest::addRow("ascii table") << "FormAsc" << "ButtonOK";
    QTest::addRow("usage notes") << "FormReadme" << "ButtonOK";
    QTest::addRow("viewer") << "FormViewInfo" << "FileList";
}

void TestToolWindows::okHasTheFocusAndEnterUnloads()
{
    QFETCH(QString, window);
    QFETCH(QString, focused);
    QPointer<QWidget> shown = show(window);
    QVERIFY(QTest::qWaitForWindowActive(shown));
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);

    auto *ok = shown->findChild<QWidget *>(QStringLiteral("ButtonOK"));
    QVERIFY(ok);
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Space);
    QTest::qWait(50);
    QVERIFY(shown);
    QTest::keyClick(ok, Qt::Key_Return);
    QVERIFY(unloaded(shown));
}

void TestToolWindows::viewerListsCapturesAndLoadsEachSelection()
{
    const QByteArray introduction = deliveredFile(QStringLiteral("data/") + Introduction);
    QVERIFY(!introduction.isEmpty());
    QDir(m_folder->path()).mkdir(QStringLiteral("data"));
    writeFile(dataPath(Introduction), introduction);
    writeFile(dataPath("12-06-2026.txt"), "发送数据：AT");
    writeFile(dataPath("sysdata.dat"), "not listed");

    auto *viewer = FormViewInfo::Show();
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    QCOMPARE(viewer->textViewInfo()->toPlainText(), shownText(introduction));
    QCOMPARE(viewer->fileList()->count(), 2);
    QCOMPARE(viewer->fileList()->item(1)->text(), Introduction);

    QTest::keyClick(viewer->fileList(), Qt::Key_Down);
    QCOMPARE(viewer->textViewInfo()->toPlainText(), QStringLiteral("发送数据：AT"));
    // The capture goes on meanwhile; selecting the file again shows what was added.
    writeFile(dataPath("12-06-2026.txt"), "发送数据：AT\r\n接收数据：OK");
    QTest::keyClick(viewer->fileList(), Qt::Key_Down);
    QCOMPARE(viewer->textViewInfo()->toPlainText(), shownText(introduction));
    QTest::keyClick(viewer->fileList(), Qt::Key_Up);
    QCOMPARE(viewer->textViewInfo()->toPlainText(), QStringLiteral("发送数据：AT\n接收数据：OK"));
    QCOMPARE(m_messages.size(), 0);
}

void TestToolWindows::viewerKeepsTextWhenSelectedFileIsGone()
{
    QDir(m_folder->path()).mkdir(QStringLiteral("data"));
    writeFile(dataPath(Introduction), "intro");
    writeFile(dataPath("12-06-2026.txt"), "capture");
    auto *viewer = FormViewInfo::Show();

    QFile::remove(dataPath("12-06-2026.txt"));
    viewer->fileList()->setCurrentRow(0);
    QCOMPARE(viewer->textViewInfo()->toPlainText(), QStringLiteral("intro"));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().align, qint16(0));
    QVERIFY(m_messages.first().text.startsWith(QStringLiteral("错误代号：53")));
    QVERIFY(m_messages.first().text.endsWith(ViewerHint));
    QVERIFY(!QFile::exists(dataPath("12-06-2026.txt")));
}

void TestToolWindows::viewerWithoutDataFolder()
{
    writeFile(folderPath("12-06-2026.txt"), "beside the program, not in data");
    auto *viewer = FormViewInfo::Show();
    QVERIFY(viewer->isVisible());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().text.endsWith(ViewerHint));
    QCOMPARE(viewer->textViewInfo()->toPlainText(), QString());
    QCOMPARE(viewer->fileList()->count(), 0);
    QVERIFY(!QFile::exists(folderPath("data")));
}

void TestToolWindows::viewerListsNewFilesOnlyWhenReopened()
{
    QDir(m_folder->path()).mkdir(QStringLiteral("data"));
    writeFile(dataPath(Introduction), "intro");
    QPointer<QWidget> viewer = FormViewInfo::Show();
    writeFile(dataPath("12-07-2026.txt"), "new day");
    QCOMPARE(FormViewInfo::Show()->fileList()->count(), 1);

    viewer->close();
    QVERIFY(unloaded(viewer));
    QCOMPARE(FormViewInfo::Show()->fileList()->count(), 2);
}

void TestToolWindows::aboutShowsTheVersion()
{
    FormAbout about;
    auto *version = about.findChild<QLabel *>(QStringLiteral("LabelVersion"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("版本：2.5002.1828"));
}

void TestToolWindows::aboutMailStartsOncePerClick()
{
#ifdef Q_OS_UNIX
    const QString handler = folderPath("xdg-open");
    writeFile(handler, QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n")
                           .arg(folderPath("mail.log")).toUtf8());
    QFile::setPermissions(handler, QFile::permissions(handler) | QFileDevice::ExeOwner);
    ExternalProgram::setSearchPaths({m_folder->path()});

    auto *about = new FormAbout;
    about->show();
    auto *mail = about->findChild<QLabel *>(QStringLiteral("LabelEmail2"));
    QVERIFY(mail);
    QTest::mouseClick(mail, Qt::LeftButton);
    QTest::mouseClick(mail, Qt::LeftButton);
    QFile log(folderPath("mail.log"));
    const QByteArray twice = "mailto:" + mail->text().toUtf8() + "\n";
    QVERIFY(QTest::qWaitFor([&] { return log.size() >= 2 * twice.size(); }));
    QTest::qWait(200);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), twice + twice);
    QVERIFY(about->isVisible());
    QCOMPARE(m_messages.size(), 0);
#else
    QSKIP("the stand-in mail handler is a shell script");
#endif
}

void TestToolWindows::deliveredAsciiTableLinesUpUnderHeader()
{
    const QStringList rows = QString::fromLatin1(deliveredFile(QStringLiteral("ascii.dat")))
                                 .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 128);
    // Under "Dec     Hex     Char": the columns start at 0, 8 and 16.
    const QRegularExpression row(QStringLiteral("^(\\d+) +([0-9A-F]{2}) +(\\S+)$"));
    for (int code = 0; code < rows.size(); ++code) {
        const QString line = rows.at(code);
        const QRegularExpressionMatch match = row.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        QCOMPARE(match.captured(1).toInt(), code);
        QCOMPARE(match.captured(2).toInt(nullptr, 16), code);
        QCOMPARE(match.capturedStart(2), 8);
        QCOMPARE(match.capturedStart(3), 16);
    }
    QCOMPARE(rows.first().mid(16), QStringLiteral("NUL"));
    QCOMPARE(rows.last().mid(16), QStringLiteral("DEL"));
}

QTEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"
