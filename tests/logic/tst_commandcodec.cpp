// Velmora workbench. Licensed under the MIT licence.
#include "commandcodec.h"

#include <runtimeerror.h>

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
    void hexBytes_data();
    void hexBytes();
    void hexBytesOverflow();
    void receivedText();
};

void TestCommandCodec::check_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("format");
    QTest::addColumn<CommandCodec::CommandProblem>("problem");
    using P = CommandCodec::CommandProblem;
    QTest::addRow("empty text") << QString() << Text << P::Empty;
    QTest::addRow("empty hex") << QString() << Hex << P::Empty;
    QTest::addRow("odd text") << QStringLiteral("ABC") << Text << P::None;
    QTest::addRow("odd hex") << QStringLiteral("ABC") << Hex << P::OddHexLength;
    QTest::addRow("blank and non-digit hex") << QStringLiteral(" Z") << Hex << P::None;
}

void TestCommandCodec::check()
{
    QFETCH(QString, command);
    QFETCH(int, format);
    QFETCH(CommandCodec::CommandProblem, problem);
    QCOMPARE(CommandCodec::check(command, format), problem);
}

void TestCommandCodec::hexBytes_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("blank inside a pair") << QStringLiteral("A 1B") << QByteArray("\x0A\x1B", 2);
    QTest::addRow("no digits") << QStringLiteral("ZZ") << QByteArray(1, '\0');
    QTest::addRow("digit then other") << QStringLiteral("1Z") << QByteArray(1, '\x01');
    QTest::addRow("other then digit") << QStringLiteral("Z1") << QByteArray(1, '\0');
    QTest::addRow("lower case") << QStringLiteral("0aff") << QByteArray("\x0A\xFF", 2);
    QTest::addRow("tab and line feed ignored") << QStringLiteral("\t1F\n") << QByteArray("\x01\x0F", 2);
    QTest::addRow("carriage return is no blank") << QStringLiteral("\r1") << QByteArray(1, '\0');
    QTest::addRow("pairs never merge") << QStringLiteral(" 12 ") << QByteArray("\x01\x02", 2);
}

void TestCommandCodec::hexBytes()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CommandCodec::hexBytes(command), bytes);
    QCOMPARE(CommandCodec::sendData(command, Hex).toByteArray(), bytes);
}

void TestCommandCodec::hexBytesOverflow()
{
    const QString largest = QStringLiteral("F").repeated(2 * 32767 + 1);
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
