// Velmora tests. Licensed under the MIT licence.
#include "commandcodec.h"
#include "lineoptions.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QSettings>
#include <QTest>

namespace {

constexpr int Text = CommandCodec::FormatText;
constexpr int Hex = CommandCodec::FormatHex;

LineOptions everyOptionOn()
{
    LineOptions options;
    options.lineEnd = LineOptions::EndCRLF;
    options.timeStamp = true;
    options.hexSpace = true;
    options.outDTR = false;
    options.outRTS = false;
    options.inDTR = false;
    options.inRTS = false;
    options.outBaud = QStringLiteral("250000");
    options.inBaud = QStringLiteral("921600");
    return options;
}

} // namespace

Q_DECLARE_METATYPE(LineOptions)
Q_DECLARE_METATYPE(LineOptions::BaudProblem)

// The line options record: its file, the custom baud check, and the send and display
// rules that stay the plain ones while the options are off.
class TestLineOptions : public QObject
{
    Q_OBJECT

private slots:
    void fileRoundTrip_data();
    void fileRoundTrip();
    void damagedFileKeepsDefaults();
    void savesOnlyWhatChanged();
    void customBaudIsChecked_data();
    void customBaudIsChecked();
    void customBaudReplacesTheListRate_data();
    void customBaudReplacesTheListRate();
    void lineEndOnlyAfterText_data();
    void lineEndOnlyAfterText();
    void spacedHexShowsReceivedPairs_data();
    void spacedHexShowsReceivedPairs();
    void stampReadsAsAClock();
};

void TestLineOptions::fileRoundTrip_data()
{
    QTest::addColumn<LineOptions>("options");
    QTest::addRow("defaults") << LineOptions();
    QTest::addRow("every option on") << everyOptionOn();
    LineOptions lf;
    lf.lineEnd = LineOptions::EndLF;
    lf.inBaud = QStringLiteral("50");
    QTest::addRow("LF and the lowest rate") << lf;
}

void TestLineOptions::fileRoundTrip()
{
    QFETCH(LineOptions, options);
    QTemporaryDir folder;
    const QString path = LineOptions::filePath(folder.path());
    QCOMPARE(path, folder.filePath(QStringLiteral("velmora.ini")));
    QVERIFY(options.save(path));
    QVERIFY(LineOptions::load(path) == options);
}

void TestLineOptions::damagedFileKeepsDefaults()
{
    QTemporaryDir folder;
    const QString path = LineOptions::filePath(folder.path());
    QVERIFY(LineOptions::load(path) == LineOptions());   // no file yet
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Send]\nLineEnd=7\n[OutPort]\nBaud=fast\n[InPort]\nBaud=9000000\nDTR=false\n");
    file.close();
    LineOptions expected;
    expected.inDTR = false;
    QVERIFY(LineOptions::load(path) == expected);
}

// A file QSettings wrote reads the same; a change rewrites its one line, and the user's
// comments and other groups stay.
void TestLineOptions::savesOnlyWhatChanged()
{
    QTemporaryDir folder;
    const QString path = LineOptions::filePath(folder.path());
    const LineOptions on = everyOptionOn();
    {
        QSettings written(path, QSettings::IniFormat);
        written.setValue(QStringLiteral("Send/LineEnd"), int(on.lineEnd));
        for (const char *key : {"Display/TimeStamp", "Display/HexSpace"})
            written.setValue(QLatin1String(key), true);
        for (const char *key : {"OutPort/DTR", "OutPort/RTS", "InPort/DTR", "InPort/RTS"})
            written.setValue(QLatin1String(key), false);
        written.setValue(QStringLiteral("OutPort/Baud"), on.outBaud);
        written.setValue(QStringLiteral("InPort/Baud"), on.inBaud);
        written.setValue(QStringLiteral("Bench/Desk"), 4);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Append));
    file.write("; desk 4, do not change\n");
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QVERIFY(LineOptions::load(path) == on);

    LineOptions changed = on;
    changed.timeStamp = false;
    QVERIFY(changed.save(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray(before).replace("TimeStamp=true", "TimeStamp=false"));
    file.close();
    QVERIFY(LineOptions::load(path) == changed);
}

void TestLineOptions::customBaudIsChecked_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<LineOptions::BaudProblem>("problem");
    using P = LineOptions::BaudProblem;
    QTest::addRow("empty uses the list") << "" << P::None;
    QTest::addRow("lowest 50") << "50" << P::None;
    QTest::addRow("highest 4000000") << "4000000" << P::None;
    QTest::addRow("49") << "49" << P::OutOfRange;
    QTest::addRow("4000001") << "4000001" << P::OutOfRange;
    QTest::addRow("beyond 64 bits") << "99999999999999999999999" << P::OutOfRange;
    QTest::addRow("letters") << "9600a" << P::NotDigits;
    QTest::addRow("sign") << "-9600" << P::NotDigits;
    QTest::addRow("inner blank") << "96 00" << P::NotDigits;
    QTest::addRow("full-width digits") << QStringLiteral("９６００") << P::NotDigits;
}

void TestLineOptions::customBaudIsChecked()
{
    QFETCH(QString, text);
    QFETCH(LineOptions::BaudProblem, problem);
    QCOMPARE(LineOptions::checkBaud(text), problem);
    const QString refusal = LineOptions::baudRefusal(problem);
    QCOMPARE(refusal.isEmpty(), problem == LineOptions::BaudProblem::None);
    if (!refusal.isEmpty())
        QVERIFY(refusal.startsWith(QStringLiteral("对不起！\r\n\r\n")));
}

void TestLineOptions::customBaudReplacesTheListRate_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("result");
    QTest::addRow("none") << "9600,N,8,1" << "" << "9600,N,8,1";
    QTest::addRow("custom") << "9600,E,7,2" << "250000" << "250000,E,7,2";
}

void TestLineOptions::customBaudReplacesTheListRate()
{
    QFETCH(QString, settings);
    QFETCH(QString, baud);
    QFETCH(QString, result);
    QCOMPARE(LineOptions::withBaud(settings, baud), result);
}

void TestLineOptions::lineEndOnlyAfterText_data()
{
    QTest::addColumn<int>("lineEnd");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("end");
    QTest::addRow("none") << int(LineOptions::EndNone) << Text << "";
    QTest::addRow("CR") << int(LineOptions::EndCR) << Text << "\r";
    QTest::addRow("LF") << int(LineOptions::EndLF) << Text << "\n";
    QTest::addRow("CR LF") << int(LineOptions::EndCRLF) << Text << "\r\n";
    QTest::addRow("CR after hex") << int(LineOptions::EndCR) << Hex << "";
    QTest::addRow("CR LF after hex") << int(LineOptions::EndCRLF) << Hex << "";
}

void TestLineOptions::lineEndOnlyAfterText()
{
    QFETCH(int, lineEnd);
    QFETCH(int, format);
    QFETCH(QString, end);
    LineOptions options;
    options.lineEnd = LineOptions::LineEnd(lineEnd);
    QCOMPARE(options.lineEndFor(format), end);
    QCOMPARE(LineOptions::lineEndNames().size(), int(LineOptions::EndCRLF) + 1);
}

void TestLineOptions::spacedHexShowsReceivedPairs_data()
{
    QTest::addColumn<bool>("hexSpace");
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("shown");
    QTest::addRow("off") << false << "4F4B0D" << "4F4B0D";
    QTest::addRow("on") << true << "4F4B0D" << "4F 4B 0D";
    QTest::addRow("on, one pair") << true << "4F" << "4F";
}

void TestLineOptions::spacedHexShowsReceivedPairs()
{
    QFETCH(bool, hexSpace);
    QFETCH(QString, received);
    QFETCH(QString, shown);
    LineOptions options;
    options.hexSpace = hexSpace;
    QCOMPARE(options.shownHex(received), shown);
}

void TestLineOptions::stampReadsAsAClock()
{
    QCOMPARE(LineOptions::stamp(QTime(9, 5, 7, 42)), QStringLiteral("[09:05:07.042] "));
}

QTEST_GUILESS_MAIN(TestLineOptions)
#include "tst_lineoptions.moc"
