// Velmora workbench. Licensed under the MIT licence.
#include "formcommands.h"

#include "protocolfile.h"

#include <modulefun.h>
#include <uitext.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

namespace {

const UiText Caption("FormCommands", QT_TRANSLATE_NOOP("FormCommands", "命令列表"));
const QSize WindowSize(660, 530);

enum CommandColumn { CommandName, CommandFormat, CommandData, CommandEnding, CommandChecksum, CommandHotkey };
enum RuleColumn { RuleEnabled, RuleExpectedFormat, RuleExpected, RuleAnswerFormat, RuleAnswer, RuleChecksum, RuleDelay };

const UiText CommandColumns[] = {
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "名称")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "格式")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "数据")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "行结束符")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "校验")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "热键")},
};
const UiText RuleColumns[] = {
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "启用")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "格式")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "期望数据")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "格式")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "应答数据")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "校验")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "延时(ms)")},
};
enum StepColumn { StepKind, StepArgument, StepFormat, StepNumber, StepResult };
const UiText StepColumns[] = {
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "步骤")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "命令或期望数据")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "格式")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "毫秒或次数")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "结果")},
};
// In the order of ProtocolSet::Step::Kind.
const UiText StepKinds[] = {
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "发送")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "等待")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "等待应答")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "重复开始")},
    {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "重复结束")},
};
// %1 is the name typed.
const UiText NoSuchCommand("FormCommands", QT_TRANSLATE_NOOP("FormCommands",
    "对不起！\r\n\r\n没有名为“%1”的命令！"));
const UiText FormatItems[] = {{"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "文本")},
                              {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "16进制")}};
// In the order of ProtocolSet::LineEnding.
const UiText EndingItems[] = {{"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "按线路控制")},
                              {"FormCommands", QT_TRANSLATE_NOOP("FormCommands", "无")}};
const char *const EndingNames[] = {"CR", "LF", "CR LF"};
const UiText NoChecksum("FormCommands", QT_TRANSLATE_NOOP("FormCommands", "无"));
const UiText NewCommand("FormCommands", QT_TRANSLATE_NOOP("FormCommands", "命令%1"));
const UiText BadData("FormCommands", QT_TRANSLATE_NOOP("FormCommands",
    "对不起！\r\n\r\n数据不是16进制字节对，未作更改！"));
const UiText BadPattern("FormCommands", QT_TRANSLATE_NOOP("FormCommands",
    "对不起！\r\n\r\n期望数据无效，未作更改！\r\n\r\n16进制中“??”代表任一字节，文本中“?”代表任一字符。"));
const UiText EmptyName("FormCommands", QT_TRANSLATE_NOOP("FormCommands", "对不起！\r\n\r\n命令名称不能为空！"));
const UiText FileFilter("FormCommands", QT_TRANSLATE_NOOP("FormCommands", "命令列表 (*.json)"));
// %1 the file, %2 the line, %3 the reason.
const UiText ImportFailed("FormCommands", QT_TRANSLATE_NOOP("FormCommands",
    "对不起！\r\n\r\n文件无法导入：%1\r\n\r\n第%2行：%3"));
const UiText ExportFailed("FormCommands", QT_TRANSLATE_NOOP("FormCommands",
    "对不起！\r\n\r\n文件无法写入：%1"));

QStringList translated(const UiText *texts, int count)
{
    QStringList result;
    for (int i = 0; i < count; ++i)
        result << texts[i];
    return result;
}

QTableWidget *addTable(QWidget *parent, const QString &name, const QStringList &columns)
{
    auto *table = new QTableWidget(0, int(columns.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(columns);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setDefaultSectionSize(22);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QComboBox *cellList(QTableWidget *table, int row, int column, const QStringList &items, int current)
{
    auto *list = new QComboBox(table);
    list->addItems(items);
    list->setCurrentIndex(current);
    table->setCellWidget(row, column, list);
    return list;
}

QString checksumName(const Checksum &checksum)
{
    return checksum.enabled() ? Checksum::name(checksum.algorithm) : QString(NoChecksum);
}

QString hexNumber(quint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

quint64 hexValue(const QString &text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    return digits.toULongLong(nullptr, 16);
}

} // namespace

FormCommands::FormCommands(const ProtocolSet &set, QWidget *parent)
    : SkinnedWindow(QStringLiteral("FormCommands"), Caption, WindowSize, parent),
      m_set(set)
{
    addTitleStrip(Caption);
    addCloseButton();
    buildTables();
    buildChecksumFrame();
    buildReceiveCheck();
    buildButtons();
    fillCommands();
    fillRules();
    fillSteps();
    TableCommands->selectRow(0);
    TableRules->selectRow(0);
    rowPicked();
}

void FormCommands::buildTables()
{
    TabProtocol = new QTabWidget(this);
    TabProtocol->setObjectName(QStringLiteral("TabProtocol"));
    TabProtocol->setGeometry(10, 36, 640, 290);
    TableCommands = addTable(TabProtocol, QStringLiteral("TableCommands"),
                             translated(CommandColumns, int(std::size(CommandColumns))));
    TableCommands->setToolTip(tr("单击“发送”或按热键发送一行，与主窗口的命令走同一路径"));
    TableRules = addTable(TabProtocol, QStringLiteral("TableRules"),
                          translated(RuleColumns, int(std::size(RuleColumns))));
    TableRules->setToolTip(tr("“接收通讯命令并发送数据”时，第一条匹配的规则应答"));
    TabProtocol->addTab(TableCommands, tr("命令"));
    TabProtocol->addTab(TableRules, tr("应答规则"));
    buildSequencePage();
    for (auto [table, widths] : {std::pair{TableCommands, QList<int>{90, 68, 134, 96, 120}},
                                 std::pair{TableRules, QList<int>{40, 64, 118, 64, 110, 110}}}) {
        for (int k = 0; k < widths.size(); ++k)
            table->setColumnWidth(k, widths.at(k));
    }
    connect(TableCommands, &QTableWidget::cellChanged, this, &FormCommands::commandEdited);
    connect(TableRules, &QTableWidget::cellChanged, this, &FormCommands::ruleEdited);
    connect(TableCommands, &QTableWidget::itemSelectionChanged, this, &FormCommands::rowPicked);
    connect(TableRules, &QTableWidget::itemSelectionChanged, this, &FormCommands::rowPicked);
    connect(TabProtocol, &QTabWidget::currentChanged, this, &FormCommands::rowPicked);
}

void FormCommands::buildChecksumFrame()
{
    auto *frame = new QGroupBox(tr("所选行的校验"), this);
    frame->setObjectName(QStringLiteral("FrameChecksum"));
    frame->setGeometry(10, 330, 640, 124);
    const auto label = [frame](const QString &name, const QString &text, const QRect &rect) {
        auto *l = new QLabel(text, frame);
        l->setObjectName(name);
        l->setGeometry(rect);
    };
    label(QStringLiteral("LabelChecksum"), tr("算法："), QRect(10, 24, 48, 20));
    ComboChecksum = new QComboBox(frame);
    ComboChecksum->setObjectName(QStringLiteral("ComboChecksum"));
    ComboChecksum->addItem(NoChecksum);
    ComboChecksum->addItems(Checksum::names());
    ComboChecksum->setGeometry(58, 22, 150, 22);
    label(QStringLiteral("LabelFrom"), tr("从字节："), QRect(220, 24, 60, 20));
    SpinFrom = new QSpinBox(frame);
    SpinFrom->setObjectName(QStringLiteral("SpinFrom"));
    SpinFrom->setRange(-4096, 4096);
    SpinFrom->setGeometry(280, 22, 64, 22);
    SpinFrom->setToolTip(tr("从0起计；负数从末尾计，-1为最后一个字节"));
    label(QStringLiteral("LabelTo"), tr("到字节："), QRect(354, 24, 60, 20));
    SpinTo = new QSpinBox(frame);
    SpinTo->setObjectName(QStringLiteral("SpinTo"));
    SpinTo->setRange(-4096, 4096);
    SpinTo->setGeometry(414, 22, 64, 22);
    SpinTo->setToolTip(SpinFrom->toolTip());
    ComboByteOrder = new QComboBox(frame);
    ComboByteOrder->setObjectName(QStringLiteral("ComboByteOrder"));
    ComboByteOrder->addItems({tr("高字节在前"), tr("低字节在前")});
    ComboByteOrder->setGeometry(490, 22, 140, 22);

    ComboOutput = new QComboBox(frame);
    ComboOutput->setObjectName(QStringLiteral("ComboOutput"));
    ComboOutput->addItems({tr("二进制"), tr("16进制文本")});
    ComboOutput->setGeometry(58, 52, 150, 22);
    label(QStringLiteral("LabelWidth"), tr("宽度："), QRect(220, 54, 60, 20));
    SpinWidth = new QSpinBox(frame);
    SpinWidth->setObjectName(QStringLiteral("SpinWidth"));
    SpinWidth->setRange(1, 64);
    SpinWidth->setGeometry(280, 52, 64, 22);
    CheckRefIn = new QCheckBox(tr("输入反转"), frame);
    CheckRefIn->setObjectName(QStringLiteral("CheckRefIn"));
    CheckRefIn->setGeometry(354, 54, 130, 20);
    CheckRefOut = new QCheckBox(tr("输出反转"), frame);
    CheckRefOut->setObjectName(QStringLiteral("CheckRefOut"));
    CheckRefOut->setGeometry(490, 54, 140, 20);

    label(QStringLiteral("LabelPoly"), tr("多项式："), QRect(10, 86, 60, 20));
    TextPoly = new QLineEdit(frame);
    TextPoly->setObjectName(QStringLiteral("TextPoly"));
    TextPoly->setGeometry(70, 84, 138, 22);
    label(QStringLiteral("LabelInit"), tr("初值："), QRect(220, 86, 60, 20));
    TextInit = new QLineEdit(frame);
    TextInit->setObjectName(QStringLiteral("TextInit"));
    TextInit->setGeometry(280, 84, 138, 22);
    label(QStringLiteral("LabelXorOut"), tr("结果异或："), QRect(430, 86, 70, 20));
    TextXorOut = new QLineEdit(frame);
    TextXorOut->setObjectName(QStringLiteral("TextXorOut"));
    TextXorOut->setGeometry(500, 84, 130, 22);

    for (QComboBox *list : {ComboChecksum, ComboByteOrder, ComboOutput})
        connect(list, &QComboBox::activated, this, &FormCommands::checksumEdited);
    for (QSpinBox *spin : {SpinFrom, SpinTo, SpinWidth})
        connect(spin, &QSpinBox::editingFinished, this, &FormCommands::checksumEdited);
    for (QLineEdit *box : {TextPoly, TextInit, TextXorOut})
        connect(box, &QLineEdit::editingFinished, this, &FormCommands::checksumEdited);
    for (QCheckBox *box : {CheckRefIn, CheckRefOut})
        connect(box, &QCheckBox::clicked, this, &FormCommands::checksumEdited);
}

// The sequence: its steps, whether a failure stops it, and its run with each step's verdict.
void FormCommands::buildSequencePage()
{
    auto *page = new QWidget(TabProtocol);
    TableSteps = addTable(page, QStringLiteral("TableSteps"),
                          translated(StepColumns, int(std::size(StepColumns))));
    TableSteps->setGeometry(0, 0, 634, 226);
    for (int k = 0; k < 4; ++k)
        TableSteps->setColumnWidth(k, QList<int>{110, 200, 68, 90}.at(k));
    connect(TableSteps, &QTableWidget::cellChanged, this, &FormCommands::stepEdited);
    connect(TableSteps, &QTableWidget::itemSelectionChanged, this, &FormCommands::rowPicked);
    CheckStopAtFailure = new QCheckBox(tr("遇到失败时停止"), page);
    CheckStopAtFailure->setObjectName(QStringLiteral("CheckStopAtFailure"));
    CheckStopAtFailure->setGeometry(6, 234, 200, 20);
    CheckStopAtFailure->setChecked(m_set.stopAtFailure);
    connect(CheckStopAtFailure, &QCheckBox::clicked, this, [this](bool checked) {
        m_set.stopAtFailure = checked;
        commit();
    });
    ButtonRunSequence = new QPushButton(tr("运行序列"), page);
    ButtonRunSequence->setObjectName(QStringLiteral("ButtonRunSequence"));
    ButtonRunSequence->setGeometry(210, 232, 110, 24);
    connect(ButtonRunSequence, &QPushButton::clicked, this, [this] {
        for (int row = 0; row < TableSteps->rowCount(); ++row)
            TableSteps->item(row, StepResult)->setText(QString());
        LabelOutcome->clear();
        emit runRequested();
    });
    LabelOutcome = new QLabel(page);
    LabelOutcome->setObjectName(QStringLiteral("LabelOutcome"));
    LabelOutcome->setGeometry(330, 234, 300, 20);
    TabProtocol->addTab(page, tr("序列"));
}

void FormCommands::fillSteps()
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    TableSteps->setRowCount(int(m_set.sequence.size()));
    const QStringList kinds = translated(StepKinds, int(std::size(StepKinds)));
    for (int row = 0; row < m_set.sequence.size(); ++row) {
        const ProtocolSet::Step &step = m_set.sequence.at(row);
        connect(cellList(TableSteps, row, StepKind, kinds, int(step.kind)), &QComboBox::activated, this,
                [this, row](int kind) {
                    ProtocolSet::Step &edited = m_set.sequence[row];
                    edited.kind = ProtocolSet::Step::Kind(kind);
                    if (edited.kind == ProtocolSet::Step::Send && m_set.commandNamed(edited.command) < 0)
                        edited.command = m_set.commands.isEmpty() ? QString() : m_set.commands.first().name;
                    if (edited.kind == ProtocolSet::Step::Expect && !BytePattern::parse(edited.pattern, edited.hex, nullptr))
                        edited.pattern = QStringLiteral("OK");
                    commit();
                    fillSteps();
                });
        const bool expect = step.kind == ProtocolSet::Step::Expect;
        const QString argument = step.kind == ProtocolSet::Step::Send ? step.command : expect ? step.pattern : QString();
        auto *item = new QTableWidgetItem(argument);
        if (step.kind != ProtocolSet::Step::Send && !expect)
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        TableSteps->setItem(row, StepArgument, item);
        if (expect) {
            connect(cellList(TableSteps, row, StepFormat, {FormatItems[0], FormatItems[1]}, step.hex),
                    &QComboBox::activated, this, [this, row](int index) {
                        if (!BytePattern::parse(m_set.sequence.at(row).pattern, index == 1, nullptr)) {
                            ModuleFun::ShowMessage(BadPattern, ModuleFun::AlignCentre);
                            fillSteps();
                            return;
                        }
                        m_set.sequence[row].hex = index == 1;
                        commit();
                    });
        }
        if (step.kind != ProtocolSet::Step::Send && step.kind != ProtocolSet::Step::RepeatBegin) {
            auto *number = new QSpinBox(TableSteps);
            const bool times = step.kind == ProtocolSet::Step::RepeatEnd;
            number->setRange(times ? 1 : 0, times ? 1000000 : 3600000);
            number->setValue(times ? step.times : step.milliseconds);
            TableSteps->setCellWidget(row, StepNumber, number);
            connect(number, &QSpinBox::editingFinished, this, [this, row, number, times] {
                (times ? m_set.sequence[row].times : m_set.sequence[row].milliseconds) = number->value();
                commit();
            });
        }
        auto *result = new QTableWidgetItem;
        result->setFlags(result->flags() & ~Qt::ItemIsEditable);
        TableSteps->setItem(row, StepResult, result);
    }
}

void FormCommands::stepEdited(int row, int column)
{
    if (m_filling || column != StepArgument)
        return;
    ProtocolSet::Step &step = m_set.sequence[row];
    const QString text = TableSteps->item(row, column)->text();
    if (step.kind == ProtocolSet::Step::Send) {
        if (m_set.commandNamed(text) < 0) {
            ModuleFun::ShowMessage(NoSuchCommand.arg(text), ModuleFun::AlignCentre);
            fillSteps();
            return;
        }
        step.command = text;
    } else if (step.kind == ProtocolSet::Step::Expect) {
        if (!BytePattern::parse(text, step.hex, nullptr)) {
            ModuleFun::ShowMessage(BadPattern, ModuleFun::AlignCentre);
            fillSteps();
            return;
        }
        step.pattern = text;
    }
    commit();
}

void FormCommands::showStep(int step, bool passed)
{
    if (QTableWidgetItem *result = TableSteps->item(step, StepResult))
        result->setText(passed ? tr("通过") : tr("失败"));
}

void FormCommands::showOutcome(const QString &outcome)
{
    LabelOutcome->setText(outcome);
}

// Received frames are checked with a catalogue checksum, in the order its protocols use.
void FormCommands::buildReceiveCheck()
{
    auto *label = new QLabel(tr("检查接收数据的校验："), this);
    label->setObjectName(QStringLiteral("LabelReceiveChecksum"));
    label->setGeometry(14, 464, 180, 20);
    ComboReceiveChecksum = new QComboBox(this);
    ComboReceiveChecksum->setObjectName(QStringLiteral("ComboReceiveChecksum"));
    ComboReceiveChecksum->addItem(NoChecksum);
    ComboReceiveChecksum->addItems(Checksum::names());
    ComboReceiveChecksum->removeItem(int(Checksum::Algorithm::Custom));
    ComboReceiveChecksum->setGeometry(194, 462, 160, 22);
    ComboReceiveChecksum->setToolTip(tr("每帧数据（按线路窗口的接收分帧，默认间隔超过25毫秒即为新的一帧）末尾的校验在显示区和记录中标为正确或错误"));
    ComboReceiveChecksum->setCurrentIndex(m_set.receiveChecksum.algorithm == Checksum::Algorithm::Custom
                                              ? 0 : int(m_set.receiveChecksum.algorithm));
    connect(ComboReceiveChecksum, &QComboBox::activated, this, [this](int index) {
        Checksum checksum;
        checksum.algorithm = Checksum::Algorithm(index);
        checksum.order = Checksum::usualOrder(checksum.algorithm);
        m_set.receiveChecksum = checksum;
        commit();
    });
}

void FormCommands::buildButtons()
{
    struct Button
    {
        const char *name;
        QString caption;
        std::function<void()> click;
    };
    const Button buttons[] = {
        {"ButtonAdd", tr("添加"), [this] { addClicked(); }},
        {"ButtonRemove", tr("删除"), [this] { removeClicked(); }},
        {"ButtonUp", tr("上移"), [this] { moveClicked(-1); }},
        {"ButtonDown", tr("下移"), [this] { moveClicked(1); }},
        {"ButtonSend", tr("发送"), [this] { sendClicked(); }},
        {"ButtonImport", tr("导入"), [this] { importClicked(); }},
        {"ButtonExport", tr("导出"), [this] { exportClicked(); }},
    };
    int x = 10;
    for (const Button &button : buttons) {
        placeButton(QLatin1String(button.name), QRect(x, 494, 84, 25), button.caption, QString(),
                    button.click);
        x += 92;
    }
}

void FormCommands::fillCommands()
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    TableCommands->setRowCount(int(m_set.commands.size()));
    QStringList endings = {EndingItems[0], EndingItems[1]};
    for (const char *name : EndingNames)
        endings << QLatin1String(name);
    QStringList hotkeys = {QString()};
    for (int key = 1; key <= 12; ++key)
        hotkeys << QStringLiteral("F%1").arg(key);
    for (int row = 0; row < m_set.commands.size(); ++row) {
        const ProtocolSet::Command &command = m_set.commands.at(row);
        TableCommands->setItem(row, CommandName, new QTableWidgetItem(command.name));
        TableCommands->setItem(row, CommandData, new QTableWidgetItem(command.data));
        auto *checksum = new QTableWidgetItem(checksumName(command.checksum));
        checksum->setFlags(checksum->flags() & ~Qt::ItemIsEditable);
        TableCommands->setItem(row, CommandChecksum, checksum);
        connect(cellList(TableCommands, row, CommandFormat, {FormatItems[0], FormatItems[1]}, command.hex),
                &QComboBox::activated, this, [this, row](int index) {
                    const bool hex = index == 1;
                    if (hex && !ProtocolSet::encode(m_set.commands.at(row).data, true)) {
                        ModuleFun::ShowMessage(BadData, ModuleFun::AlignCentre);
                        fillCommands();
                        return;
                    }
                    m_set.commands[row].hex = hex;
                    commit();
                });
        connect(cellList(TableCommands, row, CommandEnding, endings, int(command.lineEnding)),
                &QComboBox::activated, this, [this, row](int index) {
                    m_set.commands[row].lineEnding = ProtocolSet::LineEnding(index);
                    commit();
                });
        connect(cellList(TableCommands, row, CommandHotkey, hotkeys, command.hotkey),
                &QComboBox::activated, this, [this, row](int key) {
                    // A key serves one row: the row that had it gives it up.
                    for (ProtocolSet::Command &other : m_set.commands) {
                        if (key != 0 && other.hotkey == key)
                            other.hotkey = 0;
                    }
                    m_set.commands[row].hotkey = key;
                    commit();
                    fillCommands();
                });
    }
}

void FormCommands::fillRules()
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    TableRules->setRowCount(int(m_set.rules.size()));
    for (int row = 0; row < m_set.rules.size(); ++row) {
        const ProtocolSet::Rule &rule = m_set.rules.at(row);
        auto *enabled = new QTableWidgetItem;
        enabled->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        enabled->setCheckState(rule.enabled ? Qt::Checked : Qt::Unchecked);
        TableRules->setItem(row, RuleEnabled, enabled);
        TableRules->setItem(row, RuleExpected, new QTableWidgetItem(rule.expected));
        TableRules->setItem(row, RuleAnswer, new QTableWidgetItem(rule.answer));
        auto *checksum = new QTableWidgetItem(checksumName(rule.checksum));
        checksum->setFlags(checksum->flags() & ~Qt::ItemIsEditable);
        TableRules->setItem(row, RuleChecksum, checksum);
        const QStringList formats = {FormatItems[0], FormatItems[1]};
        connect(cellList(TableRules, row, RuleExpectedFormat, formats, rule.expectedHex),
                &QComboBox::activated, this, [this, row](int index) {
                    if (!BytePattern::parse(m_set.rules.at(row).expected, index == 1, nullptr)) {
                        ModuleFun::ShowMessage(BadPattern, ModuleFun::AlignCentre);
                        fillRules();
                        return;
                    }
                    m_set.rules[row].expectedHex = index == 1;
                    commit();
                });
        connect(cellList(TableRules, row, RuleAnswerFormat, formats, rule.answerHex),
                &QComboBox::activated, this, [this, row](int index) {
                    if (index == 1 && !ProtocolSet::encode(m_set.rules.at(row).answer, true)) {
                        ModuleFun::ShowMessage(BadData, ModuleFun::AlignCentre);
                        fillRules();
                        return;
                    }
                    m_set.rules[row].answerHex = index == 1;
                    commit();
                });
        auto *delay = new QSpinBox(TableRules);
        delay->setRange(0, ProtocolSet::Rule::MaximumDelay);
        delay->setSingleStep(100);
        delay->setValue(rule.delayMilliseconds);
        TableRules->setCellWidget(row, RuleDelay, delay);
        connect(delay, &QSpinBox::editingFinished, this, [this, row, delay] {
            m_set.rules[row].delayMilliseconds = delay->value();
            commit();
        });
    }
}

// A cell typed into: kept when it is valid, else put back as it was.
void FormCommands::commandEdited(int row, int column)
{
    if (m_filling)
        return;
    ProtocolSet::Command &command = m_set.commands[row];
    const QString text = TableCommands->item(row, column)->text();
    if (column == CommandName) {
        if (text.trimmed().isEmpty()) {
            ModuleFun::ShowMessage(EmptyName, ModuleFun::AlignCentre);
            fillCommands();
            return;
        }
        m_set.renameCommand(row, text);
        fillSteps();
    } else if (column == CommandData) {
        if (!ProtocolSet::encode(text, command.hex)) {
            ModuleFun::ShowMessage(BadData, ModuleFun::AlignCentre);
            fillCommands();
            return;
        }
        command.data = text;
    }
    commit();
}

void FormCommands::ruleEdited(int row, int column)
{
    if (m_filling)
        return;
    ProtocolSet::Rule &rule = m_set.rules[row];
    QTableWidgetItem *item = TableRules->item(row, column);
    switch (column) {
    case RuleEnabled:
        rule.enabled = item->checkState() == Qt::Checked;
        break;
    case RuleExpected:
        if (!BytePattern::parse(item->text(), rule.expectedHex, nullptr)) {
            ModuleFun::ShowMessage(BadPattern, ModuleFun::AlignCentre);
            fillRules();
            return;
        }
        rule.expected = item->text();
        break;
    case RuleAnswer:
        if (!ProtocolSet::encode(item->text(), rule.answerHex)) {
            ModuleFun::ShowMessage(BadData, ModuleFun::AlignCentre);
            fillRules();
            return;
        }
        rule.answer = item->text();
        break;
    default:
        return;
    }
    commit();
}

QTableWidget *FormCommands::currentTable() const
{
    switch (TabProtocol->currentIndex()) {
    case CommandsTab: return TableCommands;
    case RulesTab: return TableRules;
    default: return TableSteps;
    }
}

int FormCommands::currentRow() const
{
    return currentTable()->currentRow();
}

Checksum *FormCommands::currentChecksum()
{
    const int row = currentRow();
    if (TabProtocol->currentIndex() == CommandsTab)
        return row >= 0 && row < m_set.commands.size() ? &m_set.commands[row].checksum : nullptr;
    if (TabProtocol->currentIndex() != RulesTab)
        return nullptr;
    return row >= 0 && row < m_set.rules.size() ? &m_set.rules[row].checksum : nullptr;
}

void FormCommands::rowPicked()
{
    showChecksum();
}

void FormCommands::showChecksum()
{
    const Checksum *checksum = currentChecksum();
    const Checksum shown = checksum ? *checksum : Checksum();
    const Checksum::CrcParameters custom = shown.algorithm == Checksum::Algorithm::Custom
        ? shown.custom
        : Checksum::parameters(shown.algorithm).value_or(shown.custom);
    ComboChecksum->setCurrentIndex(int(shown.algorithm));
    SpinFrom->setValue(shown.from);
    SpinTo->setValue(shown.to);
    ComboByteOrder->setCurrentIndex(int(shown.order));
    ComboOutput->setCurrentIndex(int(shown.output));
    SpinWidth->setValue(custom.width);
    TextPoly->setText(hexNumber(custom.poly));
    TextInit->setText(hexNumber(custom.init));
    TextXorOut->setText(hexNumber(custom.xorOut));
    CheckRefIn->setChecked(custom.refIn);
    CheckRefOut->setChecked(custom.refOut);
    const bool isCustom = shown.algorithm == Checksum::Algorithm::Custom;
    for (QWidget *control : std::initializer_list<QWidget *>{SpinWidth, TextPoly, TextInit, TextXorOut,
                                                             CheckRefIn, CheckRefOut})
        control->setEnabled(checksum && isCustom);
    for (QWidget *control : std::initializer_list<QWidget *>{ComboChecksum})
        control->setEnabled(checksum);
    for (QWidget *control : std::initializer_list<QWidget *>{SpinFrom, SpinTo, ComboByteOrder, ComboOutput})
        control->setEnabled(checksum && shown.enabled());
}

void FormCommands::checksumEdited()
{
    Checksum *checksum = currentChecksum();
    if (!checksum)
        return;
    const auto algorithm = Checksum::Algorithm(ComboChecksum->currentIndex());
    // A newly chosen CRC goes out in the order its protocols use.
    checksum->order = algorithm != checksum->algorithm ? Checksum::usualOrder(algorithm)
                                                       : Checksum::ByteOrder(ComboByteOrder->currentIndex());
    checksum->algorithm = algorithm;
    checksum->from = SpinFrom->value();
    checksum->to = SpinTo->value();
    checksum->output = Checksum::Output(ComboOutput->currentIndex());
    if (algorithm == Checksum::Algorithm::Custom) {
        const quint64 mask = SpinWidth->value() >= 64 ? ~quint64(0) : (quint64(1) << SpinWidth->value()) - 1;
        checksum->custom = {SpinWidth->value(), hexValue(TextPoly->text()) & mask,
                            hexValue(TextInit->text()) & mask, CheckRefIn->isChecked(),
                            CheckRefOut->isChecked(), hexValue(TextXorOut->text()) & mask};
    }
    const int row = currentRow();
    QTableWidget *table = TabProtocol->currentIndex() == CommandsTab ? TableCommands : TableRules;
    {
        const QScopedValueRollback<bool> filling(m_filling, true);
        table->item(row, TabProtocol->currentIndex() == CommandsTab ? int(CommandChecksum) : int(RuleChecksum))
            ->setText(checksumName(*checksum));
    }
    showChecksum();
    commit();
}

void FormCommands::addClicked()
{
    if (TabProtocol->currentIndex() == CommandsTab) {
        ProtocolSet::Command command;
        int n = int(m_set.commands.size()) + 1;
        while (m_set.commandNamed(NewCommand.arg(n)) >= 0)
            ++n;
        command.name = NewCommand.arg(n);
        command.data = QStringLiteral("AT");
        m_set.commands.append(command);
        fillCommands();
        TableCommands->selectRow(int(m_set.commands.size()) - 1);
    } else if (TabProtocol->currentIndex() == RulesTab) {
        ProtocolSet::Rule rule;
        rule.expected = QStringLiteral("AT");
        rule.answer = QStringLiteral("OK");
        m_set.rules.append(rule);
        fillRules();
        TableRules->selectRow(int(m_set.rules.size()) - 1);
    } else {
        ProtocolSet::Step step;
        step.kind = ProtocolSet::Step::Wait;
        step.milliseconds = 100;
        m_set.sequence.insert(qMax(0, currentRow() + 1), step);
        fillSteps();
    }
    commit();
}

void FormCommands::removeClicked()
{
    const int row = currentRow();
    if (row < 0)
        return;
    if (TabProtocol->currentIndex() == CommandsTab) {
        m_set.commands.removeAt(row);
        fillCommands();
    } else if (TabProtocol->currentIndex() == RulesTab) {
        m_set.rules.removeAt(row);
        fillRules();
    } else {
        m_set.sequence.removeAt(row);
        fillSteps();
    }
    commit();
    rowPicked();
}

void FormCommands::moveClicked(int step)
{
    const int row = currentRow();
    const int tab = TabProtocol->currentIndex();
    const qsizetype count = tab == CommandsTab ? m_set.commands.size()
        : tab == RulesTab                      ? m_set.rules.size()
                                               : m_set.sequence.size();
    if (row < 0 || row + step < 0 || row + step >= count)
        return;
    if (tab == CommandsTab) {
        m_set.commands.swapItemsAt(row, row + step);
        fillCommands();
    } else if (tab == RulesTab) {
        m_set.rules.swapItemsAt(row, row + step);
        fillRules();
    } else {
        m_set.sequence.swapItemsAt(row, row + step);
        fillSteps();
    }
    currentTable()->selectRow(row + step);
    commit();
}

void FormCommands::sendClicked()
{
    if (TabProtocol->currentIndex() == CommandsTab && TableCommands->currentRow() >= 0)
        emit sendRequested(TableCommands->currentRow());
}

// A colleague's file adds its commands and rules to the list.
void FormCommands::importClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("导入"), QString(), FileFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    ProtocolFile::Parsed parsed;
    if (file.open(QIODevice::ReadOnly))
        parsed = ProtocolFile::parse(file.readAll());
    else
        parsed.reason = file.errorString();
    if (!parsed.set) {
        ModuleFun::ShowMessage(ImportFailed.arg(path).arg(parsed.line).arg(parsed.reason),
                               ModuleFun::AlignCentre);
        return;
    }
    m_set.merge(*parsed.set);
    fillCommands();
    fillRules();
    commit();
}

void FormCommands::exportClicked()
{
    QString path = QFileDialog::getSaveFileName(this, tr("导出"), QString(), FileFilter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive))
        path += QLatin1String(".json");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ProtocolFile::toJson(m_set)) < 0 || !file.commit())
        ModuleFun::ShowMessage(ExportFailed.arg(path), ModuleFun::AlignCentre);
}

void FormCommands::commit()
{
    emit changed(m_set);
}
