// Velmora workbench. Licensed under the MIT licence.
#include "externalprogram.h"
#include "filelist.h"
#include "formabout.h"
#include "formasc.h"
#include "formreadme.h"
#include "formviewinfo.h"
#include "largefileview.h"
#include "lineindex.h"
#include "modulefun.h"
#include "richtextbox.h"
#include "rowview.h"
#include "systemcodepage.h"
#include "textfile.h"

#include <componentloader.h>
#include <runtimeerror.h>

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
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

// A stand-in for a program the windows start; it appends its arguments to the log.
void writeLoggingScript(const QString &path, const QString &log)
{
    writeFile(path, QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n").arg(log).toUtf8());
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
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

void clickSelectedName(FileList *list)
{
    const QRect name = list->visualItemRect(list->currentItem());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, name.center());
}

// A capture of numbered records, each on its own line as the capture writes them, of
// at least the given size in the system code page and at most one record more.
QString captureText(qint64 atLeastBytes)
{
    const auto record = [](int number) {
        return QStringLiteral("\r\n接收数据：%1 0123456789ABCDEF").arg(number, 8, 10, QLatin1Char('0'));
    };
    const qint64 recordBytes = SystemCodePage::fromUnicode(record(0)).size();
    QString text;
    for (int number = 1; (number - 1) * recordBytes < atLeastBytes; ++number)
        text += record(number);
    return text;
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

    void textIsTheProgramFolderFile_data();
    void textIsTheProgramFolderFile();
    void showsOnceWithFocusAndEnterUnloads_data();
    void showsOnceWithFocusAndEnterUnloads();

    void viewerListsCapturesAndLoadsEachSelection();
    void viewerShowsALargeCaptureWhole_data();
    void viewerShowsALargeCaptureWhole();
    void aboutShowsVersionAndMailsOncePerClick();

    void deliveredAsciiTableLinesUpUnderHeader();
    void loadFailureKeepsTheText_data();
    void loadFailureKeepsTheText();
    void fileListHoldsMatchingNamesSortedWithNoneCurrent();
    void calculatorIsSoughtOnTheSearchPath();

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

// An empty hint: the file is there, with a file of the same name in the working
// directory that is not the program's.
void TestToolWindows::textIsTheProgramFolderFile_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("textBox");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("hint");
    QTest::addRow("ascii table missing") << "FormAsc" << "TextAscii" << "ascii.dat" << QByteArray() << AscHint;
    QTest::addRow("usage notes missing") << "FormReadme" << "TextReadme" << "readme.txt" << QByteArray() << ReadmeHint;
    QTest::addRow("viewer without data folder") << "FormViewInfo" << "TextViewInfo" << "data" << QByteArray()
                                                << ViewerHint;
    QTest::addRow("delivered ascii table") << "FormAsc" << "TextAscii" << "ascii.dat"
                                           << deliveredFile(QStringLiteral("ascii.dat")) << QString();
    QTest::addRow("Chinese usage notes") << "FormReadme" << "TextReadme" << "readme.txt"
                                         << QStringLiteral("一、端口\r\n\r\n  发送端口：Com 1\r\n").toUtf8() << QString();
}

void TestToolWindows::textIsTheProgramFolderFile()
{
    QFETCH(QString, window);
    QFETCH(QString, textBox);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, hint);
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    if (hint.isEmpty()) {
        writeFile(folderPath(file), bytes);
        writeFile(elsewhere.filePath(file), "not this one");
        QDir::setCurrent(elsewhere.path());
    }
    QWidget *shown = show(window);
    QDir::setCurrent(previous);
    QCOMPARE(textOf(shown, textBox.toLatin1()), shownText(bytes));
    if (hint.isEmpty()) {
        QCOMPARE(m_messages.size(), 0);
        return;
    }
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().align, qint16(0));
    QVERIFY2(m_messages.first().text.startsWith(QStringLiteral("错误代号：53\r\n\r\n错误信息：")),
             qPrintable(m_messages.first().text));
    QVERIFY(m_messages.first().text.endsWith(QStringLiteral("\r\n\r\n") + hint));
    QVERIFY(!QFile::exists(folderPath(file)));
}

void TestToolWindows::showsOnceWithFocusAndEnterUnloads_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("focused");
    QTest::addRow("ascii table") << "FormAsc" << "ButtonOK";
    QTest::addRow("usage notes") << "FormReadme" << "ButtonOK";
    QTest::addRow("viewer") << "FormViewInfo" << "FileList";
}

void TestToolWindows::showsOnceWithFocusAndEnterUnloads()
{
    QFETCH(QString, window);
    QFETCH(QString, focused);
    QPointer<QWidget> shown = show(window);
    QVERIFY(QTest::qWaitForWindowActive(shown));
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    QCOMPARE(show(window), shown.data());

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
    // The capture goes on meanwhile; clicking the selected file again shows what was added.
    writeFile(dataPath("12-06-2026.txt"), "发送数据：AT\r\n接收数据：OK");
    clickSelectedName(viewer->fileList());
    QCOMPARE(viewer->textViewInfo()->toPlainText(), QStringLiteral("发送数据：AT\n接收数据：OK"));
    QTest::keyClick(viewer->fileList(), Qt::Key_Down);
    QCOMPARE(viewer->textViewInfo()->toPlainText(), shownText(introduction));
    QCOMPARE(m_messages.size(), 0);

    // A capture deleted since the list was filled keeps the text shown and is not made again.
    QFile::remove(dataPath("12-06-2026.txt"));
    QTest::keyClick(viewer->fileList(), Qt::Key_Up);
    QCOMPARE(viewer->textViewInfo()->toPlainText(), shownText(introduction));
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().text.startsWith(QStringLiteral("错误代号：53")));
    QVERIFY(m_messages.first().text.endsWith(ViewerHint));
    QVERIFY(!QFile::exists(dataPath("12-06-2026.txt")));
}

void TestToolWindows::viewerShowsALargeCaptureWhole_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addRow("at the most shown as one text") << RichTextBox::ShownBytes;
    QTest::addRow("one record more") << RichTextBox::ShownBytes + 1;
    QTest::addRow("many times more") << 12 * RichTextBox::ShownBytes;
}

// A day's capture may outgrow what can be held as one text: it is shown whole all the
// same, from its first line to its last, and a text or a time is found in it.
void TestToolWindows::viewerShowsALargeCaptureWhole()
{
    QFETCH(qint64, bytes);
    QDir(m_folder->path()).mkdir(QStringLiteral("data"));
    writeFile(dataPath(Introduction), "introduction");
    const QString afternoon = QStringLiteral("\r\n\r\n12-06-2026 14:53:00\r\n发送数据：AT");
    QString capture = QStringLiteral("\r\n\r\n12-06-2026 09:00:00") + captureText(bytes / 2 - 100) + afternoon
        + captureText(bytes / 2 - 200);
    // A last line that makes it exactly the size wanted.
    const QString lastLead = QStringLiteral("\r\n发送数据：");
    const qint64 missing = bytes - SystemCodePage::fromUnicode(capture + lastLead).size();
    QVERIFY(missing > 0);
    capture += lastLead + QString(missing, QLatin1Char('x'));
    const QByteArray captureBytes = SystemCodePage::fromUnicode(capture);
    QCOMPARE(captureBytes.size(), bytes);
    writeFile(dataPath("12-06-2026.txt"), captureBytes);

    auto *viewer = FormViewInfo::Show();
    viewer->fileList()->setCurrentRow(0);
    QCOMPARE(m_messages.size(), 0);
    RichTextBox *box = viewer->textViewInfo();
    const QStringList lines = shownText(capture.toUtf8()).split(QLatin1Char('\n'));
    if (bytes <= RichTextBox::ShownBytes) {
        QVERIFY(!box->largeFileView());
        QCOMPARE(box->toPlainText(), lines.join(QLatin1Char('\n')));
        return;
    }
    LargeFileView *view = box->largeFileView();
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QVERIFY(QTest::qWaitFor([view] { return !view->isBusy(); }));
    LineIndex *index = view->index();
    QCOMPARE(index->rowCount(), lines.size());
    RowView *rows = view->rows();
    const auto shownLines = [&] {
        rows->viewport()->repaint();
        QStringList shown;
        for (const LineIndex::Row &row : index->rows(rows->firstRow(), rows->lastShownRow() - rows->firstRow() + 1))
            shown << index->text(row);
        return shown;
    };
    const auto inSight = [rows](qint64 row) {
        rows->viewport()->repaint();
        return rows->firstRow() <= row && rows->lastShownRow() >= row;
    };
    QCOMPARE(shownLines(), lines.mid(0, shownLines().size()));
    QVERIFY(shownLines().size() > 10);

    // The last line is reached by scrolling, and stands at the bottom.
    rows->setFocus();
    QTest::keyClick(rows, Qt::Key_End);
    QCOMPARE(shownLines().last(), lines.last());
    QCOMPARE(rows->lastShownRow(), qint64(lines.size() - 1));

    // Found upwards from the end, then no further match below it.
    const QString first = QStringLiteral("09:00:00");
    view->findText()->setText(first);
    view->findPrevious();
    QVERIFY(QTest::qWaitFor([view] { return !view->isBusy(); }));
    QCOMPARE(index->rowAt(rows->markOffset()), qint64(2));
    QVERIFY(inSight(2));
    QTest::keyClick(view->findText(), Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([view] { return !view->isBusy(); }));
    QCOMPARE(index->rowAt(rows->markOffset()), qint64(2));
    QVERIFY2(view->status().contains(first), qPrintable(view->status()));

    // The afternoon's block is reached by its time.
    view->timeText()->setText(QStringLiteral("14:00"));
    QTest::keyClick(view->timeText(), Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([view] { return !view->isBusy(); }));
    const qint64 afternoonRow = lines.indexOf(QStringLiteral("12-06-2026 14:53:00"));
    QVERIFY(inSight(afternoonRow));
    QVERIFY(!inSight(2));

    // Rows are selected with the mouse, a click and a shift-click, and copied.
    const int lineHeight = rows->fontMetrics().lineSpacing();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, QPoint(20, lineHeight));
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(20, 3 * lineHeight));
    QTest::keyClick(rows, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), lines.mid(rows->firstRow(), 3).join(QLatin1Char('\n')));

    // Clicking it again reads the file anew, as it is now.
    writeFile(dataPath("12-06-2026.txt"), "cut short");
    clickSelectedName(viewer->fileList());
    QCOMPARE(viewer->textViewInfo()->toPlainText(), QStringLiteral("cut short"));
    QVERIFY(!box->largeFileView());
}

void TestToolWindows::aboutShowsVersionAndMailsOncePerClick()
{
    auto *about = new FormAbout;
    auto *version = about->findChild<QLabel *>(QStringLiteral("LabelVersion"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("版本：2.5002.1828"));
#ifdef Q_OS_UNIX
    writeLoggingScript(folderPath("xdg-open"), folderPath("mail.log"));
    ExternalProgram::setSearchPaths({m_folder->path()});

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
#endif
}

void TestToolWindows::deliveredAsciiTableLinesUpUnderHeader()
{
    const QStringList rows = QString::fromLatin1(deliveredFile(QStringLiteral("ascii.dat")))
                                 .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 128);
    // Under "Dec     Hex     Char": the columns start at 0, 8 and 16.
    for (int code = 0; code < rows.size(); ++code) {
        const QString hex = QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
        const QString line = rows.at(code);
        QVERIFY2(line.startsWith(QStringLiteral("%1%2").arg(code, -8).arg(hex, -8)) && line.size() > 16
                     && !line.at(16).isSpace(), qPrintable(line));
    }
    QCOMPARE(rows.first().mid(16), QStringLiteral("NUL"));
    QCOMPARE(rows.last().mid(16), QStringLiteral("DEL"));
}

// A failed load leaves the text shown before.
void TestToolWindows::loadFailureKeepsTheText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::addRow("a folder") << QStringLiteral("folder.txt") << int(TextFile::PathFileAccessError);
    QTest::addRow("unreadable file") << QStringLiteral("locked.txt") << int(Component::RuntimeError::PermissionDenied);
}

void TestToolWindows::loadFailureKeepsTheText()
{
    QFETCH(QString, name);
    QDir(m_folder->path()).mkdir(QStringLiteral("folder.txt"));
    writeFile(folderPath("locked.txt"), "secret");
    QFile::setPermissions(folderPath("locked.txt"), QFileDevice::WriteOwner);
    if (name == QLatin1String("locked.txt") && QFile(folderPath(name)).open(QIODevice::ReadOnly))
        QSKIP("this user reads files regardless of their permissions");

    RichTextBox box;
    box.setPlainText(QStringLiteral("previous content"));
    int raised = 0;
    try {
        box.LoadFile(folderPath(name));
    } catch (const Component::RuntimeError &error) {
        raised = error.number();
    }
    QTEST(raised, "number");
    QCOMPARE(box.toPlainText(), QStringLiteral("previous content"));
}

void TestToolWindows::fileListHoldsMatchingNamesSortedWithNoneCurrent()
{
    for (const char *name : {"12-07-2026.txt", "操作说明.txt", "01-02-2027.TXT", "notes.dat"})
        writeFile(folderPath(name), "x");
    QDir(m_folder->path()).mkdir(QStringLiteral("folder.txt"));
    FileList list;
    list.setPattern(QStringLiteral("*.txt"));
    list.setPath(m_folder->path());
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names << list.item(row)->text();
    QCOMPARE(names, QStringList({"01-02-2027.TXT", "12-07-2026.txt", "操作说明.txt"}));
    QCOMPARE(list.fileName(), QString());
}

void TestToolWindows::calculatorIsSoughtOnTheSearchPath()
{
    ExternalProgram::setSearchPaths({m_folder->path()});
    QVERIFY(!ExternalProgram::startCalculator());
#ifdef Q_OS_UNIX
    // The last one of the list stands in.
    writeLoggingScript(folderPath("xcalc"), folderPath("ran"));
    QVERIFY(ExternalProgram::startCalculator());
    QTRY_VERIFY(QFile::exists(folderPath("ran")));
#endif
}

QTEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"
