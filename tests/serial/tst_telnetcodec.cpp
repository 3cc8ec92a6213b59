// Velmora tests. Licensed under the MIT licence.
#include "telnetcodec.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

using Codec = TelnetCodec;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out += char(value);
    return out;
}

// Everything decoded when `stream` arrives in two reads cut at `cut`.
struct Decoded
{
    QByteArray data;
    QByteArray replies;
    QList<Codec::ComPortAnswer> answers;
};

Decoded decodeCut(const QByteArray &stream, qsizetype cut)
{
    Codec codec;
    codec.offers();
    Decoded decoded;
    decoded.data = codec.decode(stream.left(cut));
    decoded.data += codec.decode(stream.mid(cut));
    decoded.replies = codec.takeReplies();
    decoded.answers = codec.takeAnswers();
    return decoded;
}

} // namespace

// The telnet framing of network serial lines, without a network.
class TestTelnetCodec : public QObject
{
    Q_OBJECT

private slots:
    void dataSurvivesEscapingCutAnywhere();
    void answersSurviveCutAnywhere();
    void commandValuesAreEscaped();
    void negotiation_data();
    void negotiation();
    void capsEndTheServer_data();
    void capsEndTheServer();
};

// Every byte value, runs of 0xFF among them, with a negotiation and an answer woven in:
// whatever two reads the stream comes in, the data is what was sent.
void TestTelnetCodec::dataSurvivesEscapingCutAnywhere()
{
    QByteArray data;
    for (int value = 0; value < 256; ++value)
        data += char(value);
    data += QByteArray(5, '\xff') + "tail";
    const QByteArray answer = Codec::comPortCommand(Codec::SetBaudRate + Codec::ServerAnswerOffset,
                                                    bytes({0, 0, 0xff, 0xff}));
    const QByteArray stream = Codec::escaped(data.left(100)) + bytes({Codec::Iac, Codec::Will, Codec::Binary})
        + answer + Codec::escaped(data.mid(100));
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        const Decoded decoded = decodeCut(stream, cut);
        QCOMPARE(decoded.data, data);
        QCOMPARE(decoded.answers.size(), 1);
        QCOMPARE(decoded.answers.first().value, bytes({0, 0, 0xff, 0xff}));
    }
}

void TestTelnetCodec::answersSurviveCutAnywhere()
{
    QByteArray stream;
    for (int k = 0; k < 50; ++k) {
        const QByteArray value(1 + int(QRandomGenerator::global()->bounded(4)),
                               char(QRandomGenerator::global()->bounded(256)));
        stream += Codec::comPortCommand(Codec::SetParity + Codec::ServerAnswerOffset, value);
    }
    const Decoded whole = decodeCut(stream, stream.size());
    QCOMPARE(whole.answers.size(), 50);
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        const Decoded decoded = decodeCut(stream, cut);
        QVERIFY(decoded.data.isEmpty());
        QCOMPARE(decoded.answers.size(), whole.answers.size());
        for (int k = 0; k < decoded.answers.size(); ++k) {
            QCOMPARE(decoded.answers.at(k).command, quint8(Codec::SetParity));
            QCOMPARE(decoded.answers.at(k).value, whole.answers.at(k).value);
        }
    }
}

void TestTelnetCodec::commandValuesAreEscaped()
{
    // 0x01FFFFFF as a baud rate: three value bytes are IAC and must be doubled.
    QCOMPARE(Codec::comPortCommand(Codec::SetBaudRate, bytes({1, 0xff, 0xff, 0xff})),
             bytes({0xff, 0xfa, 44, 1, 1, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xf0}));
}

// What the server says after our offers, what we answer, and where COM-PORT-OPTION stands.
void TestTelnetCodec::negotiation_data()
{
    QTest::addColumn<QByteArray>("server");
    QTest::addColumn<QByteArray>("replies");
    QTest::addColumn<int>("comPort");
    const int accepted = int(Codec::OptionState::Accepted);
    const int off = int(Codec::OptionState::Off);
    const int offered = int(Codec::OptionState::Offered);

    // ser2net's own greeting: it offers echo, which a line must not have.
    QTest::addRow("ser2net greeting") << bytes({255, 251, 3, 255, 253, 3, 255, 251, 1, 255, 254, 1, 255, 253, 0,
                                                255, 251, 0, 255, 253, 44})
                                      << bytes({255, 254, 1}) << accepted;
    QTest::addRow("our offers accepted, nothing to answer")
        << bytes({255, 253, 44, 255, 253, 0, 255, 251, 0}) << QByteArray() << accepted;
    QTest::addRow("com port refused") << bytes({255, 254, 44}) << QByteArray() << off;
    QTest::addRow("com port accepted, then taken back")
        << bytes({255, 253, 44, 255, 254, 44}) << bytes({255, 252, 44}) << off;
    QTest::addRow("unknown option asked of us") << bytes({255, 253, 24}) << bytes({255, 252, 24}) << offered;
    QTest::addRow("unknown option offered") << bytes({255, 251, 31}) << bytes({255, 254, 31}) << offered;
    QTest::addRow("answers to our own offers are not answered again")
        << bytes({255, 254, 3, 255, 251, 3, 255, 251, 3}) << QByteArray() << offered;
    QTest::addRow("no-operation and go-ahead carry nothing") << bytes({255, 241, 255, 249}) << QByteArray() << offered;
}

void TestTelnetCodec::negotiation()
{
    QFETCH(QByteArray, server);
    QFETCH(QByteArray, replies);
    QFETCH(int, comPort);
    Codec codec;
    QCOMPARE(codec.offers(), bytes({255, 251, 44, 255, 251, 0, 255, 251, 3, 255, 253, 0, 255, 253, 3}));
    QCOMPARE(codec.decode(server), QByteArray());
    QCOMPARE(codec.takeReplies(), replies);
    QCOMPARE(int(codec.comPortOption()), comPort);
}

QByteArray repeated(const QByteArray &unit, qsizetype times)
{
    QByteArray out;
    for (qsizetype k = 0; k < times; ++k)
        out += unit;
    return out;
}

void TestTelnetCodec::capsEndTheServer_data()
{
    QTest::addColumn<QByteArray>("server");
    QTest::addColumn<Codec::Breach>("breach");
    const QByteArray subStart = bytes({255, 250, 44, 101});
    const QByteArray subEnd = bytes({255, 240});
    const qsizetype longest = Codec::MaxSubnegotiationBytes - 2;   // the option and the code count
    QTest::addRow("subnegotiation at its cap")
        << subStart + QByteArray(longest, 'x') + subEnd << Codec::Breach::None;
    QTest::addRow("subnegotiation past its cap")
        << subStart + QByteArray(longest + 1, 'x') + subEnd << Codec::Breach::LongSubnegotiation;
    QTest::addRow("subnegotiation past its cap in doubled IACs")
        << subStart + repeated(bytes({255, 255}), longest + 1) + subEnd << Codec::Breach::LongSubnegotiation;
    const QByteArray answer = bytes({255, 250, 44, 101, 0, 0, 37, 128, 255, 240});
    QTest::addRow("answers at their cap") << repeated(answer, Codec::MaxPendingAnswers) << Codec::Breach::None;
    QTest::addRow("answers past their cap")
        << repeated(answer, Codec::MaxPendingAnswers + 1) << Codec::Breach::AnswerFlood;
    // Each offer of an unknown option is refused with three bytes.
    const qsizetype refusals = Codec::MaxPendingReplyBytes / 3;
    QTest::addRow("refusals up to their cap") << repeated(bytes({255, 251, 99}), refusals) << Codec::Breach::None;
    QTest::addRow("refusals past their cap")
        << repeated(bytes({255, 251, 99}), refusals + 1) << Codec::Breach::NegotiationFlood;
}

// What one read of a server can make the codec keep stays under the caps; a server past
// one gets nothing more decoded, and nothing it sent is kept.
void TestTelnetCodec::capsEndTheServer()
{
    QFETCH(QByteArray, server);
    QFETCH(Codec::Breach, breach);
    Codec codec;
    codec.offers();
    codec.decode(server);
    QCOMPARE(codec.breach(), breach);
    const bool breached = breach != Codec::Breach::None;
    QVERIFY(codec.takeReplies().size() <= Codec::MaxPendingReplyBytes);
    QVERIFY(codec.takeAnswers().size() <= Codec::MaxPendingAnswers);
    QCOMPARE(codec.decode(QByteArrayLiteral("data")), breached ? QByteArray() : QByteArrayLiteral("data"));
    // Taken in time, the same stream twice over is within the caps.
    if (!breached) {
        codec.decode(server);
        QCOMPARE(codec.breach(), Codec::Breach::None);
    }
}

QTEST_APPLESS_MAIN(TestTelnetCodec)
#include "tst_telnetcodec.moc"
