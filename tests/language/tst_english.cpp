// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <capturelog.h>
#include <formabout.h>
#include <formmain_texts.h>
#include <formasc.h>
#include <formcommands.h>
#include <formline.h>
#include <formmonitor.h>
#include <formportmap.h>
#include <formlogo.h>
#include <formmessage.h>
#include <formreadme.h>
#include <formviewinfo.h>
#include <interfacelanguage.h>
#include <lineoptions.h>
#include <messagelabel.h>
#include <modulefun.h>
#include <richtextbox.h>
#include <systemcodepage.h>
#include <titlestripbutton.h>

#include <control.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QTreeView>
#include <QXmlStreamReader>
#include <QtMath>

#include <functional>
#include <memory>

namespace {

// Room the skinned button's bevel takes on each side of its caption.
constexpr int ButtonBevel = 3;
// Room a group box's frame takes on each side of its title.
constexpr int GroupTitleMargin = 8;

QString clip(const QWidget *control, const QString &text, int needed, int room)
{
    return QStringLiteral("%1 \"%2\": needs %3 px, has %4")
        .arg(control->objectName(), text).arg(needed).arg(room);
}

int widestLine(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

void checkLabel(const QLabel *label, QStringList &clipped)
{
    if (label->wordWrap() || label->text().isEmpty() || label->textFormat() == Qt::RichText)
        return;
    const int needed = widestLine(label->fontMetrics(), label->text());
    // A label sized to its text may still run past the edge of the frame it stands in.
    const int inParent = label->parentWidget() ? label->parentWidget()->width() - label->x() : label->width();
    const int room = qMin(label->contentsRect().width(), inParent) - 2 * label->margin();
    if (needed > room)
        clipped << clip(label, label->text(), needed, room);
}

void checkCheckBox(const QCheckBox *box, QStringList &clipped)
{
    if (box->sizeHint().width() > box->width())
        clipped << clip(box, box->text(), box->sizeHint().width(), box->width());
}

void checkList(const QComboBox *list, QStringList &clipped)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.frame = list->hasFrame();
    const int room = list->style()
                         ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
                         .width();
    for (int k = 0; k < list->count(); ++k) {
        const int needed = list->fontMetrics().horizontalAdvance(list->itemText(k));
        if (needed > room)
            clipped << clip(list, list->itemText(k), needed, room);
    }
}

void checkGroup(const QGroupBox *group, QStringList &clipped)
{
    const int needed = group->fontMetrics().horizontalAdvance(group->title()) + 2 * GroupTitleMargin;
    if (needed > group->width())
        clipped << clip(group, group->title(), needed, group->width());
}

void checkButton(const Component::Control *button, QStringList &clipped)
{
    const QString caption = button->property("Caption").toString();
    const int needed = button->fontMetrics().horizontalAdvance(caption) + 2 * ButtonBevel;
    if (!caption.isEmpty() && needed > button->width())
        clipped << clip(button, caption, needed, button->width());
}

void checkHeadings(const QTreeView *tree, QStringList &clipped)
{
    const QHeaderView *header = tree->header();
    for (int k = 0; k < header->count(); ++k) {
        if (header->sectionSizeHint(k) > header->sectionSize(k))
            clipped << clip(tree, tree->model()->headerData(k, Qt::Horizontal).toString(),
                            header->sectionSizeHint(k), header->sectionSize(k));
    }
}

// Every text of the window that does not fit its control: labels, check boxes, list
// items, frame titles, column headings and button captions.
QStringList clippedTexts(const QWidget *window)
{
    QStringList clipped;
    for (const QLabel *label : window->findChildren<QLabel *>())
        checkLabel(label, clipped);
    for (const QCheckBox *box : window->findChildren<QCheckBox *>())
        checkCheckBox(box, clipped);
    for (const QComboBox *list : window->findChildren<QComboBox *>())
        checkList(list, clipped);
    for (const QGroupBox *group : window->findChildren<QGroupBox *>())
        checkGroup(group, clipped);
    for (const QTreeView *tree : window->findChildren<QTreeView *>())
        checkHeadings(tree, clipped);
    for (const Component::Control *button : window->findChildren<Component::Control *>())
        checkButton(button, clipped);
    return clipped;
}

// Texts a window shows only in some states, set the way the program sets them.
void showEveryState(QWidget *window)
{
    if (auto *main = qobject_cast<FormMain *>(window)) {
        for (const char *label : {"LabelComOutputP", "LabelComInputP"})
            main->findChild<QLabel *>(QLatin1String(label))->setText(
                FormMainTexts::InPortPrefix + FormMainTexts::NoPort);
    }
}

using WindowMaker = std::function<QWidget *(Workbench &)>;

// The main window on the bench with its line window open; the bench owns the main window.
QWidget *openLineWindow(Workbench &bench)
{
    bench.open();
    bench.child<TitleStripButton>("ButtonLine")->click();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<FormLine *>(window))
            return window;
    }
    return nullptr;
}

// The main window on the bench with its port map window open.
QWidget *openPortMapWindow(Workbench &bench)
{
    bench.open();
    bench.child<TitleStripButton>("ButtonPortMap")->click();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<FormPortMap *>(window))
            return window;
    }
    return nullptr;
}

// The main window on the bench with the tool window of its title-strip button open.
template <typename Window>
QWidget *openTitleStripWindow(Workbench &bench, const char *button)
{
    bench.open();
    bench.child<TitleStripButton>(button)->click();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<Window *>(window))
            return window;
    }
    return nullptr;
}

QWidget *openCommandsWindow(Workbench &bench)
{
    return openTitleStripWindow<FormCommands>(bench, "ButtonCommands");
}

QWidget *openMonitorWindow(Workbench &bench)
{
    return openTitleStripWindow<FormMonitor>(bench, "ButtonMonitor");
}

// The capture viewer showing a capture too large for one text, with the bar that finds
// texts and times in it.
QWidget *openLargeCapture(Workbench &)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("12-06-2026.txt"));
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.write(QByteArray(RichTextBox::ShownBytes + 1, 'x'));
    file.close();
    FormViewInfo *viewer = FormViewInfo::Show();
    viewer->textViewInfo()->LoadFile(path);
    return viewer;
}

// Every item of every list that cannot be typed into, measured in the list's font under
// each hinting a screen may use (unhinted at scale factors above 1), against the room
// the closed list draws its item in.
QStringList cutListItems(const QWidget *window)
{
    QStringList cut;
    for (const QComboBox *list : window->findChildren<QComboBox *>()) {
        if (list->isEditable())
            continue;
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.frame = list->hasFrame();
        const int room = list->style()
                             ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
                             .width() - 2;
        for (const QFont::HintingPreference hinting :
             {QFont::PreferDefaultHinting, QFont::PreferNoHinting, QFont::PreferFullHinting}) {
            QFont font = list->font();
            font.setHintingPreference(hinting);
            const QFontMetricsF metrics(font);
            for (int k = 0; k < list->count(); ++k) {
                const int needed = qCeil(metrics.horizontalAdvance(list->itemText(k)));
                if (needed > room)
                    cut << clip(list, list->itemText(k), needed, room);
            }
        }
        if (list->font().pointSizeF() < 6.5)
            cut << QStringLiteral("%1: %2 pt is too small to read").arg(list->objectName()).arg(list->font().pointSizeF());
    }
    cut.removeDuplicates();
    return cut;
}

// What the program shows in its message window, in the language installed.
struct TsText
{
    QString context;
    QString source;
    QString translation;
};

QList<TsText> translationSource()
{
    QList<TsText> texts;
    QFile file(QStringLiteral(VELMORA_TS));
    if (!file.open(QIODevice::ReadOnly))
        return texts;
    QXmlStreamReader xml(&file);
    QString context;
    TsText text;
    QString *into = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"name")
                context = xml.readElementText();
            else if (xml.name() == u"message")
                text = {context, {}, {}};
            else if (xml.name() == u"source")
                into = &text.source;
            else if (xml.name() == u"translation")
                into = &text.translation;
            else if (xml.name() == u"byte" && into)
                into->append(QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUInt(nullptr, 16)));
        } else if (xml.isCharacters() && into) {
            into->append(xml.text());
        } else if (xml.isEndElement()) {
            if (xml.name() == u"source" || xml.name() == u"translation")
                into = nullptr;
            else if (xml.name() == u"message")
                texts << text;
        }
    }
    return texts;
}

// A place alone on its line or after a colon takes a file's path; any other a number.
QString filled(QString text)
{
    static const QRegularExpression place(QStringLiteral("%\\d"));
    const QString path = QStringLiteral("/home/engineer/.config/velmora/velmora.ini");
    for (qsizetype at = text.lastIndexOf(place); at >= 0; at = at > 0 ? text.lastIndexOf(place, at - 1) : -1) {
        const QString before = text.left(at);
        const QString after = text.mid(at + 2);
        const bool alone = (before.isEmpty() || before.endsWith(QLatin1Char('\n')))
            && (after.isEmpty() || after.startsWith(QLatin1Char('\r')) || after.startsWith(QLatin1Char('\n')));
        const bool named = before.endsWith(QStringLiteral("：")) || before.endsWith(QStringLiteral(": "));
        text.replace(at, 2, alone || named ? path : QStringLiteral("4000000"));
    }
    return text;
}

// Each text alone, every description of a failure under every hint as an error report,
// and the capture's reports at their longest.
QStringList messageTexts(bool english)
{
    static const QStringList DescriptionContexts = {
        QStringLiteral("CommPort"), QStringLiteral("RemoteLine"), QStringLiteral("LineSettings"),
        QStringLiteral("SerialLine"), QStringLiteral("TextFile"), QStringLiteral("FileList"),
        QStringLiteral("CaptureLog"), QStringLiteral("RuntimeError"), QStringLiteral("ComponentLoader"),
        QStringLiteral("PortMap")};
    const QList<TsText> source = translationSource();
    const auto shown = [&](const QString &chinese) {
        for (const TsText &text : source) {
            if (text.source.startsWith(chinese))
                return english ? text.translation : text.source;
        }
        return QStringLiteral("missing: ") + chinese;
    };
    QStringList texts;
    QStringList descriptions;
    QStringList hints;
    for (const TsText &text : source) {
        const QString one = filled(english ? text.translation : text.source);
        texts << one;
        if (text.source.startsWith(QStringLiteral("错误提示：")))
            hints << one;
        else if (DescriptionContexts.contains(text.context) && !text.source.contains(QLatin1Char('\n')))
            descriptions << one;
    }
    for (const QString &hint : std::as_const(hints)) {
        for (const QString &description : std::as_const(descriptions))
            texts << ModuleFun::ErrorReport(8020, description, hint);
    }
    const QString folderHint = shown(QStringLiteral("错误提示：请检查数据文件夹"))
                                   .arg(QStringLiteral("/home/engineer/.local/share/velmora/data"));
    const QString device = shown(QStringLiteral("设备 I/O 错误"));
    texts << ModuleFun::ErrorReport(57, device, folderHint + shown(QStringLiteral("\r\n\r\n有 %1 字节")).arg(4000000)
                                                    + shown(QStringLiteral("，另有 %1 字节")).arg(4000000)
                                                    + shown(QStringLiteral("。")));
    texts << ModuleFun::ErrorReport(57, device, folderHint + shown(QStringLiteral("\r\n\r\n未能写入")).arg(4000).arg(4000000));
    return texts;
}

QStringList clippedIn(const WindowMaker &make)
{
    Workbench bench({15, 16});
    std::unique_ptr<QWidget> window(make(bench));
    if (!window)
        return {QStringLiteral("no window")};
    showEveryState(window.get());
    const QStringList clipped = clippedTexts(window.get());
    if (qobject_cast<FormMain *>(window.get()) || qobject_cast<FormLine *>(window.get())
        || qobject_cast<FormMonitor *>(window.get()))
        window.release(); // the bench closes its main window, and the main window its own windows
    return clipped;
}

} // namespace
Q_DECLARE_METATYPE(WindowMaker)

// The program with English chosen: its windows in English, nothing clipped, and the
// capture files as in Chinese.
class TestEnglish : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void choiceSharesTheOptionsFile();
    void choiceIsReadAsWritten_data();
    void choiceIsReadAsWritten();
    void lineWindowSavesTheChoice();
    void noTextIsClipped_data();
    void noTextIsClipped();
    void listItemsAreWhole_data();
    void listItemsAreWhole();
    void messagesFitTheirLabel_data();
    void messagesFitTheirLabel();
    void toolWindowsShowTheEnglishFiles_data();
    void toolWindowsShowTheEnglishFiles();
    void captureKeepsItsChineseLabels();

private:
    QTemporaryDir m_program;
};

void TestEnglish::initTestCase()
{
    QVERIFY(QFile::copy(InterfaceLanguage::translationFile(QStringLiteral(TARROCK_DIR)),
                        InterfaceLanguage::translationFile(m_program.path())));
    QVERIFY(InterfaceLanguage::save(InterfaceLanguage::settingsPath(m_program.path()), InterfaceLanguage::English));
    QCOMPARE(InterfaceLanguage::install(m_program.path()), InterfaceLanguage::English);
    QCOMPARE(InterfaceLanguage::current(), InterfaceLanguage::English);
}

// Either file's writer keeps the other's keys.
void TestEnglish::choiceSharesTheOptionsFile()
{
    QTemporaryDir folder;
    const QString path = LineOptions::filePath(folder.path());
    LineOptions options;
    options.timeStamp = true;
    QVERIFY(options.save(path));
    QVERIFY(InterfaceLanguage::save(path, InterfaceLanguage::English));
    QCOMPARE(LineOptions::load(path), options);
    options.hexSpace = true;
    QVERIFY(options.save(path));
    QCOMPARE(InterfaceLanguage::load(path), InterfaceLanguage::English);
}

void TestEnglish::choiceIsReadAsWritten_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("language");
    QTest::addRow("no file") << QByteArray() << int(InterfaceLanguage::Chinese);
    QTest::addRow("English") << QByteArray("[Interface]\nLanguage=English\n") << int(InterfaceLanguage::English);
    QTest::addRow("Chinese") << QByteArray("[Interface]\nLanguage=Chinese\n") << int(InterfaceLanguage::Chinese);
    QTest::addRow("unknown value") << QByteArray("[Interface]\nLanguage=Klingon\n") << int(InterfaceLanguage::Chinese);
    QTest::addRow("other group") << QByteArray("[Display]\nLanguage=English\n") << int(InterfaceLanguage::Chinese);
}

void TestEnglish::choiceIsReadAsWritten()
{
    QFETCH(QByteArray, file);
    QFETCH(int, language);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("velmora.ini"));
    if (!file.isEmpty()) {
        QFile ini(path);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(file);
    }
    QCOMPARE(int(InterfaceLanguage::load(path)), language);
}

void TestEnglish::lineWindowSavesTheChoice()
{
    Workbench bench({});
    QWidget *line = openLineWindow(bench);
    QVERIFY(line);
    auto *list = line->findChild<QComboBox *>(QStringLiteral("ComboLanguage"));
    QVERIFY(list);
    QCOMPARE(list->currentIndex(), int(InterfaceLanguage::Chinese));
    list->setCurrentIndex(InterfaceLanguage::English);
    emit list->activated(InterfaceLanguage::English);
    QCOMPARE(InterfaceLanguage::load(bench.path(QStringLiteral("velmora.ini"))), InterfaceLanguage::English);
    QCOMPARE(bench.messages, QStringList());
}

void TestEnglish::noTextIsClipped_data()
{
    QTest::addColumn<WindowMaker>("make");
    const auto tool = [](QWidget *(*show)()) { return WindowMaker([show](Workbench &) { return show(); }); };
    QTest::addRow("main window") << WindowMaker([](Workbench &bench) -> QWidget * { return bench.open(); });
    QTest::addRow("line window") << WindowMaker(&openLineWindow);
    QTest::addRow("port map window") << WindowMaker(&openPortMapWindow);
    QTest::addRow("command list window") << WindowMaker(&openCommandsWindow);
    QTest::addRow("monitor window") << WindowMaker(&openMonitorWindow);
    QTest::addRow("ascii table") << tool([]() -> QWidget * { return FormAsc::Show(); });
    QTest::addRow("usage notes") << tool([]() -> QWidget * { return FormReadme::Show(); });
    QTest::addRow("capture viewer") << tool([]() -> QWidget * { return FormViewInfo::Show(); });
    QTest::addRow("capture viewer, a large capture") << WindowMaker(&openLargeCapture);
    QTest::addRow("about") << WindowMaker([](Workbench &) -> QWidget * { return new FormAbout; });
    QTest::addRow("splash") << WindowMaker([](Workbench &) -> QWidget * { return new FormLogo; });
    QTest::addRow("message") << WindowMaker([](Workbench &) -> QWidget * {
        return new FormMessage(FormMainTexts::SamePortSettings, ModuleFun::AlignCentre);
    });
}

// What the Chinese layout clips itself, the same text in both languages (numbers in a
// narrow list), is not the translation's doing: only English texts count.
void TestEnglish::noTextIsClipped()
{
    QFETCH(WindowMaker, make);
    QTranslator *english = QCoreApplication::instance()->findChild<QTranslator *>();
    QVERIFY(english);
    QCoreApplication::removeTranslator(english);
    const QStringList clippedInChinese = clippedIn(make);
    QCoreApplication::installTranslator(english);
    QStringList clipped = clippedIn(make);
    for (const QString &chinese : clippedInChinese)
        clipped.removeAll(chinese);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
}

void TestEnglish::listItemsAreWhole_data()
{
    QTest::addColumn<WindowMaker>("make");
    QTest::addColumn<bool>("english");
    const WindowMaker windows[] = {
        WindowMaker([](Workbench &bench) -> QWidget * { return bench.open(); }),
        WindowMaker(&openLineWindow),
        WindowMaker(&openPortMapWindow),
        WindowMaker(&openCommandsWindow),
        WindowMaker(&openMonitorWindow),
    };
    const char *names[] = {"main window", "line window", "port map window", "command list window",
                           "monitor window"};
    for (int k = 0; k < int(std::size(names)); ++k) {
        QTest::addRow("%s, Chinese", names[k]) << windows[k] << false;
        QTest::addRow("%s, English", names[k]) << windows[k] << true;
    }
}

// The numbers of the baud lists are as narrow in Chinese as in English: both count.
void TestEnglish::listItemsAreWhole()
{
    QFETCH(WindowMaker, make);
    QFETCH(bool, english);
    QTranslator *translator = QCoreApplication::instance()->findChild<QTranslator *>();
    QVERIFY(translator);
    if (!english)
        QCoreApplication::removeTranslator(translator);
    QStringList cut;
    {
        Workbench bench({15, 16});
        QWidget *window = make(bench);
        QVERIFY(window);
        cut = cutListItems(window);
    }
    QCoreApplication::installTranslator(translator);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

void TestEnglish::messagesFitTheirLabel_data()
{
    QTest::addColumn<bool>("english");
    QTest::addRow("Chinese") << false;
    QTest::addRow("English") << true;
}

void TestEnglish::messagesFitTheirLabel()
{
    QFETCH(bool, english);
    QTranslator *translator = QCoreApplication::instance()->findChild<QTranslator *>();
    QVERIFY(translator);
    if (!english)
        QCoreApplication::removeTranslator(translator);
    const QStringList texts = messageTexts(english);
    QStringList clipped;
    qreal smallest = 100;
    for (const QString &text : texts) {
        FormMessage window(text, ModuleFun::AlignLeft);
        const auto *label = window.findChild<MessageLabel *>(QStringLiteral("LabelMessage"));
        if (!label->textFits())
            clipped << text;
        smallest = qMin(smallest, label->fittedFont().pointSizeF());
    }
    QCoreApplication::installTranslator(translator);
    QVERIFY(texts.size() > 200);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("\n----\n"))));
    qInfo("%lld texts, the smallest font %.1f pt", qlonglong(texts.size()), smallest);
}

void TestEnglish::toolWindowsShowTheEnglishFiles_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("file");
    QTest::addRow("usage notes") << "FormReadme" << "TextReadme" << "en/readme.txt";
    QTest::addRow("capture viewer") << "FormViewInfo" << "TextViewInfo" << "data/en/操作说明.txt";
}

void TestEnglish::toolWindowsShowTheEnglishFiles()
{
    QFETCH(QString, window);
    QFETCH(QString, box);
    QFETCH(QString, file);
    ModuleFun::SetProgramFolder(QStringLiteral(TARROCK_DIR));
    std::unique_ptr<QWidget> shown(window == QLatin1String("FormReadme") ? static_cast<QWidget *>(new FormReadme)
                                                                         : new FormViewInfo);
    QFile english(QStringLiteral(TARROCK_DIR "/") + file);
    QVERIFY(english.open(QIODevice::ReadOnly));
    const QString expected = QString::fromUtf8(english.readAll()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(shown->findChild<RichTextBox *>(box)->toPlainText(), expected);
}

// Peers and scripts read the labels: English changes the window, never the file.
void TestEnglish::captureKeepsItsChineseLabels()
{
    Workbench bench({15, 16});
    SysData settings = Workbench::workingSettings(15, 16, 1);
    settings.SaveInfo = 1;
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("Start"));
    bench.click("ButtonCom");
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("Stop"));
    QCOMPARE(bench.farEnd(15).read(2000, 2), QByteArray("AT"));
    QTRY_COMPARE(bench.caption("ButtonCom"), QStringLiteral("Start"));
    bench.close();

    const QString file = SystemCodePage::toUnicode(
        bench.fileBytes(QStringLiteral("data/") + CaptureLog::fileNameFor(QDate::currentDate())));
    QVERIFY2(file.endsWith(QStringLiteral("数据收发方式：发送通讯命令并接收数据\r\n"
                                          "数据发送端口：Com 15 9600,N,8,1 数据接收端口：Com 16 9600,N,8,1\r\n"
                                          "发送数据：AT")),
             qPrintable(file));
}

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
