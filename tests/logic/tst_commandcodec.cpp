// Velmora workbench. Licensed under the MIT licence.
#include "commandcodec.h"

#include <runtimeerror.h>

#include <QRandomGenerator>
#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(CommandCodec::CommandProblem)

namespace {

constexpr int Text = CommandCodec::FormatText;
constexpr int Hex = CommandCodec::FormatHex;

int errorNumberOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Component::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

} // namespace

// The checks and conversions between typed commands, port data and display text.
class TestCommandCodec : public QObject
{
    Q_OBJECT

private slots:
    void check_data();
    void check();
    void pairsAreTheBytes();
    void hexBytesOverflow();
    void receivedText();
};

void TestCommandCodec::check_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("format");
    QTest::addColumn<CommandCodec::CommandProblem>("problem");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("character");
    using P = CommandCodec::CommandProblem;
    QTest::addRow("empty text") << QString() << Text << P::Empty << 0 << QString();
    QTest::addRow("empty hex") << QString() << Hex << P::Empty << 0 << QString();
    QTest::addRow("hex of whitespace only") << QStringLiteral("  \t") << Hex << P::Empty << 0 << QString();
    QTest::addRow("blanks are text") << QStringLiteral("  ") << Text << P::None << 0 << QString();
    QTest::addRow("odd text") << QStringLiteral("ABC") << Text << P::None << 0 << QString();
    QTest::addRow("odd hex") << QStringLiteral("ABC") << Hex << P::OddHexLength << 3 << QStringLiteral("C");
    QTest::addRow("last digit alone after a blank") << QStringLiteral("01 0 ") << Hex << P::OddHexLength << 4
                                                     << QStringLiteral("0");
    QTest::addRow("spaced Modbus request") << QStringLiteral("01 03 00 00 00 0A C5 CD") << Hex << P::None << 0
                                            << QString();
    QTest::addRow("tabs, runs of blanks, ends") << QStringLiteral(" \t01  03\t") << Hex << P::None << 0 << QString();
    QTest::addRow("ideographic space between pairs") << QStringLiteral("41\u300054") << Hex << P::None << 0
                                                      << QString();
    QTest::addRow("lower case") << QStringLiteral("0a ff") << Hex << P::None << 0 << QString();
    QTest::addRow("digit split by a blank") << QStringLiteral("A 1B") << Hex << P::HalfPair << 1
                                             << QStringLiteral("A");
    QTest::addRow("letter beyond F") << QStringLiteral("01 0G") << Hex << P::NotHexDigit << 5 << QStringLiteral("G");
    QTest::addRow("C prefix") << QStringLiteral("0x41") << Hex << P::NotHexDigit << 2 << QStringLiteral("x");
    QTest::addRow("comma between pairs") << QStringLiteral("01,03") << Hex << P::NotHexDigit << 3
                                          << QStringLiteral(",");
    QTest::addRow("full-width digit") << QStringLiteral("0１") << Hex << P::NotHexDigit << 2 << QStringLiteral("１");
    QTest::addRow("a character beyond the BMP counts once") << QStringLiteral("\U0001F600 41") << Hex
                                                              << P::NotHexDigit << 1
                                                              << QStringLiteral("\U0001F600");
    QTest::addRow("invisible character named by code") << QStringLiteral("41\u200B") << Hex << P::NotHexDigit << 3
                                                         << QStringLiteral("U+200B");
    QTest::addRow("the first fault is named") << QStringLiteral("4 Z") << Hex << P::HalfPair << 1
                                               << QStringLiteral("4");
}

void TestCommandCodec::check()
{
    QFETCH(QString, command);
    QFETCH(int, format);
    QFETCH(CommandCodec::CommandProblem, problem);
    QFETCH(int, position);
    QFETCH(QString, character);
    const CommandCodec::Fault fault = CommandCodec::check(command, format);
    QCOMPARE(fault.problem, problem);
    if (problem == CommandCodec::CommandProblem::None) {
        QCOMPARE(CommandCodec::refusal(fault), QString());
        return;
    }
    QCOMPARE(fault.position, position);
    QCOMPARE(fault.character, character);
    const QString refusal = CommandCodec::refusal(fault);
    QVERIFY(refusal.startsWith(QStringLiteral("对不起！\r\n\r\n")));
    if (problem == CommandCodec::CommandProblem::NotHexDigit || problem == CommandCodec::CommandProblem::HalfPair)
        QVERIFY2(refusal.contains(QStringLiteral("第 %1 个字符“%2”").arg(position).arg(character)), qPrintable(refusal));
}

// Whatever whitespace stands between the pairs, the bytes are the pairs typed, and the
// received form is the pairs as received data shows them.
void TestCommandCodec::pairsAreTheBytes()
{
    QRandomGenerator random(18);
    const QString blanks[] = {QString(), QStringLiteral(" "), QStringLiteral("  "), QStringLiteral("\t"),
                              QStringLiteral("\u3000"), QStringLiteral(" \t ")};
    for (int round = 0; round < 500; ++round) {
        QByteArray bytes(1 + random.bounded(20), Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        const QString pairs = CommandCodec::hexText(bytes);
        QString typed = blanks[random.bounded(6)];
        for (qsizetype k = 0; k < pairs.size(); k += 2) {
            const QString pair = pairs.mid(k, 2);
            typed += (random.bounded(2) ? pair.toLower() : pair) + blanks[random.bounded(6)];
        }
        QCOMPARE(CommandCodec::check(typed, Hex).problem, CommandCodec::CommandProblem::None);
        QCOMPARE(CommandCodec::hexBytes(typed), bytes);
        QCOMPARE(CommandCodec::sendData(typed, Hex).toByteArray(), bytes);
        QCOMPARE(CommandCodec::receivedForm(typed, Hex), pairs);
    }
    QCOMPARE(CommandCodec::hexBytes(QStringLiteral("01 03 00 00 00 0A C5 CD")),
             QByteArray("\x01\x03\x00\x00\x00\x0A\xC5\xCD", 8));
    QCOMPARE(CommandCodec::receivedForm(QStringLiteral("a t"), Text), QStringLiteral("a t"));
}

void TestCommandCodec::hexBytesOverflow()
{
    const QString largest = QStringLiteral("F").repeated(2 * 32767);
    QCOMPARE(CommandCodec::hexBytes(largest).size(), 32767);
    const QString tooLong = QStringLiteral("F").repeated(2 * 32768);
    QCOMPARE(errorNumberOf([&] { CommandCodec::hexBytes(tooLong); }),
             int(Component::RuntimeError::Overflow));
}

void TestCommandCodec::receivedText()
{
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(char(value));
    const QString hex = QString::fromLatin1(all.toHex().toUpper());
    QCOMPARE(CommandCodec::receivedText(all, Hex), hex);
    QCOMPARE(CommandCodec::hexBytes(hex), all);
    QCOMPARE(CommandCodec::receivedText(QByteArray(), Hex), QString());

    QCOMPARE(CommandCodec::receivedText(QStringLiteral("ok\r\n"), Text), QStringLiteral("ok\r\n"));
    QCOMPARE(CommandCodec::receivedText(QByteArray("ok"), Text), QStringLiteral("ok"));
    QCOMPARE(errorNumberOf([] { CommandCodec::receivedText(QStringLiteral("0A"), Hex); }),
             CommandCodec::TypeMismatch);
}

QTEST_GUILESS_MAIN(TestCommandCodec)
#include "tst_commandcodec.moc"
