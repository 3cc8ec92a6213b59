// Velmora workbench. Licensed under the MIT licence.
#include "checksum.h"

#include <QJsonDocument>
#include <QTest>

using Algorithm = Checksum::Algorithm;

class TestChecksum : public QObject
{
    Q_OBJECT

private slots:
    void checkValue_data();
    void checkValue();
    void placement_data();
    void placement();
    void receivedFrame_data();
    void receivedFrame();
    void description_data();
    void description();
};

static Checksum of(Algorithm algorithm)
{
    Checksum checksum;
    checksum.algorithm = algorithm;
    return checksum;
}

// Every algorithm gives the catalogue's check value over "123456789", and a custom CRC
// given a catalogue entry's parameters gives the same.
void TestChecksum::checkValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint64>("check");
    const std::pair<const char *, quint64> rows[] = {
        {"CRC-16/MODBUS", 0x4B37},  {"CRC-16/IBM-3740", 0x29B1}, {"CRC-16/XMODEM", 0x31C3},
        {"CRC-16/KERMIT", 0x2189},  {"CRC-16/IBM-SDLC", 0x906E}, {"CRC-32/ISO-HDLC", 0xCBF43926},
        {"CRC-8/SMBUS", 0xF4},      {"CRC-8/MAXIM-DOW", 0xA1},   {"SUM8", 0xDD},
        {"XOR8", 0x31},             {"LRC", 0x23},
    };
    for (const auto &[name, check] : rows)
        QTest::addRow("%s", name) << QString::fromLatin1(name) << check;
}

void TestChecksum::checkValue()
{
    QFETCH(QString, name);
    QFETCH(quint64, check);
    const std::optional<Algorithm> algorithm = Checksum::algorithmNamed(name);
    QVERIFY(algorithm);
    QCOMPARE(Checksum::name(*algorithm), name);
    const QByteArray digits("123456789");
    QCOMPARE(of(*algorithm).value(digits), check);

    if (const auto parameters = Checksum::parameters(*algorithm)) {
        Checksum custom = of(Algorithm::Custom);
        custom.custom = *parameters;
        QCOMPARE(custom.value(digits), check);
        // Split input gives the same value as the whole: the engine keeps no state.
        QCOMPARE(of(*algorithm).value(QByteArray()), custom.value(QByteArray()));
    }
}

// The field lands after the data, so a line ending added later follows it; the range
// picks the bytes summed, counted from either end.
void TestChecksum::placement_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("little");
    QTest::addColumn<bool>("asciiHex");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("sent");

    const QByteArray modbus = QByteArray::fromHex("01030000000A");
    QTest::addRow("modbus request, low byte first")
        << "CRC-16/MODBUS" << 0 << -1 << true << false << modbus
        << QByteArray::fromHex("01030000000AC5CD");
    QTest::addRow("modbus request, high byte first")
        << "CRC-16/MODBUS" << 0 << -1 << false << false << modbus
        << QByteArray::fromHex("01030000000ACDC5");
    QTest::addRow("ascii hex, high byte first")
        << "CRC-16/MODBUS" << 0 << -1 << false << true << modbus
        << QByteArray::fromHex("01030000000A") + "CDC5";
    QTest::addRow("nmea xor from after $ to before *")
        << "XOR8" << 1 << -2 << false << true << QByteArray("$GPGLL,5300.97914,N,00259.98174,E,125926,A*")
        << QByteArray("$GPGLL,5300.97914,N,00259.98174,E,125926,A*28");
    QTest::addRow("range past the end sums what there is")
        << "SUM8" << 2 << 100 << false << false << QByteArray("\x01\x02\x03\x04", 4)
        << QByteArray("\x01\x02\x03\x04\x07", 5);
    QTest::addRow("empty range") << "SUM8" << 3 << 1 << false << false << QByteArray("abcd")
                                 << QByteArray("abcd\x00", 5);
    QTest::addRow("crc-32 little endian")
        << "CRC-32/ISO-HDLC" << 0 << -1 << true << false << QByteArray("123456789")
        << QByteArray("123456789\x26\x39\xF4\xCB");
}

void TestChecksum::placement()
{
    QFETCH(QString, name);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, little);
    QFETCH(bool, asciiHex);
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, sent);

    Checksum checksum = of(*Checksum::algorithmNamed(name));
    checksum.from = from;
    checksum.to = to;
    checksum.order = little ? Checksum::ByteOrder::LittleEndian : Checksum::ByteOrder::BigEndian;
    checksum.output = asciiHex ? Checksum::Output::AsciiHex : Checksum::Output::Binary;
    QCOMPARE(checksum.appended(frame).toHex(' '), sent.toHex(' '));
    QVERIFY(checksum.check(sent).good);
    // With a line ending after it, as the send path adds it.
    QVERIFY(checksum.check(sent + "\r\n").good);
}

void TestChecksum::receivedFrame_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("good");
    QTest::addColumn<QByteArray>("expected");
    QTest::addRow("right") << QByteArray::fromHex("01030000000AC5CD") << true
                           << QByteArray::fromHex("C5CD");
    QTest::addRow("wrong low byte") << QByteArray::fromHex("01030000000AC5CE") << false
                                    << QByteArray::fromHex("C5CD");
    QTest::addRow("shorter than the field") << QByteArray::fromHex("01") << false << QByteArray();
    // A field that ends in the byte of CR is not taken for a line ending.
    const QByteArray endsInCr = QByteArray::fromHex("0203");
    Checksum sum = of(Algorithm::Crc16Modbus);
    sum.order = Checksum::ByteOrder::LittleEndian;
    const QByteArray sent = sum.appended(endsInCr);
    QTest::addRow("right, then CR LF") << sent + "\r\n" << true << sent.right(2);
}

void TestChecksum::receivedFrame()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, good);
    QFETCH(QByteArray, expected);
    Checksum checksum = of(Algorithm::Crc16Modbus);
    checksum.order = Checksum::ByteOrder::LittleEndian;
    const Checksum::Verdict verdict = checksum.check(frame);
    QCOMPARE(verdict.good, good);
    QCOMPARE(verdict.expected.toHex(), expected.toHex());
}

// A description read back is the checksum written; a bad one says what is wrong.
void TestChecksum::description_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    QTest::addRow("catalogue") << QByteArray(R"({"algorithm":"CRC-16/MODBUS","byteOrder":"little"})") << true;
    QTest::addRow("custom") << QByteArray(R"({"algorithm":"CUSTOM","width":12,"poly":"0x80F","init":"0","refin":false,"refout":true,"xorout":"0x0","output":"hex","from":-4,"to":-2})") << true;
    QTest::addRow("unknown name") << QByteArray(R"({"algorithm":"CRC-99"})") << false;
    QTest::addRow("poly wider than width") << QByteArray(R"({"algorithm":"CUSTOM","width":8,"poly":"0x107"})") << false;
    QTest::addRow("width 0") << QByteArray(R"({"algorithm":"CUSTOM","width":0,"poly":"1"})") << false;
    QTest::addRow("fractional range") << QByteArray(R"({"algorithm":"SUM8","from":0.5})") << false;
    QTest::addRow("range beyond any int") << QByteArray(R"({"algorithm":"SUM8","to":-2.6e110})") << false;
    QTest::addRow("bad order") << QByteArray(R"({"algorithm":"SUM8","byteOrder":"middle"})") << false;
}

void TestChecksum::description()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, valid);
    QString error;
    const std::optional<Checksum> checksum =
        Checksum::fromJson(QJsonDocument::fromJson(json).object(), &error);
    QCOMPARE(checksum.has_value(), valid);
    QCOMPARE(error.isEmpty(), valid);
    if (checksum) {
        const std::optional<Checksum> again = Checksum::fromJson(checksum->toJson(), &error);
        QVERIFY(again);
        QVERIFY(*again == *checksum);
    }
}

QTEST_APPLESS_MAIN(TestChecksum)
#include "tst_checksum.moc"
