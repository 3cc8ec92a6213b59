// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QList>

// The telnet side of a network serial line (RFC 854 framing, RFC 2217 COM-PORT-OPTION):
// data bytes out with IAC doubled, the stream in split into data, option negotiation and
// the server's COM-PORT answers, wherever the reads happen to cut it. It offers BINARY
// both ways, SUPPRESS-GO-AHEAD and COM-PORT-OPTION, and refuses every other option.
// What a server can make it keep is capped; a server past a cap has broken the protocol,
// and the codec takes nothing more from it.
class TelnetCodec
{
public:
    // A COM-PORT subnegotiation is a few bytes (a signature text, the longest, a line).
    static constexpr qsizetype MaxSubnegotiationBytes = 1024;
    // Answers and replies waiting to be taken; a server that sends more between two
    // takes floods this side.
    static constexpr qsizetype MaxPendingAnswers = 128;
    static constexpr qsizetype MaxPendingReplyBytes = 4096;
    // A reply is as long as the offer it refuses: input decoded in pieces of this size,
    // each followed by a take, never passes the reply cap (an offer cut by the previous
    // piece included), while a piece of answers, ten bytes or less, passes the answer cap.
    static constexpr qsizetype SafePieceBytes = MaxPendingReplyBytes / 2;
    static_assert(SafePieceBytes / 10 > MaxPendingAnswers);

    enum class Breach { None, LongSubnegotiation, AnswerFlood, NegotiationFlood };

    enum Byte : quint8 { Se = 240, Sb = 250, Will = 251, Wont = 252, Do = 253, Dont = 254, Iac = 255 };
    enum Option : quint8 { Binary = 0, SuppressGoAhead = 3, ComPortOption = 44 };

    // The COM-PORT-OPTION commands a client sends; the server answers with 100 added.
    enum ComPortCommand : quint8 {
        SetBaudRate = 1,
        SetDataSize = 2,
        SetParity = 3,
        SetStopSize = 4,
        SetControl = 5,
        NotifyLineState = 6,
        NotifyModemState = 7,
        PurgeData = 12,
    };
    static constexpr quint8 ServerAnswerOffset = 100;

    struct ComPortAnswer
    {
        quint8 command = 0;   // the client's command it answers, or a notification's
        QByteArray value;
    };

    // Where one of the options stands with the other side; Off after an offer is a refusal.
    enum class OptionState { Off, Offered, Accepted };

    // The offers a client opens with: WILL COM-PORT-OPTION and both ways of the others.
    QByteArray offers();
    static QByteArray escaped(const QByteArray &data);
    static QByteArray comPortCommand(quint8 command, const QByteArray &value);

    // The data bytes among `bytes`; negotiation goes to replies(), answers to answers().
    QByteArray decode(const QByteArray &bytes);
    QByteArray takeReplies();
    QList<ComPortAnswer> takeAnswers();

    // Whether the server takes COM-PORT-OPTION (its DO to our WILL).
    OptionState comPortOption() const { return m_ours[ComPortOption]; }
    // The cap the server passed, if any; from then on decode() ignores everything.
    Breach breach() const { return m_breach; }

private:
    enum class Parse { Data, Iac, Verb, Sub, SubIac };

    static bool offeredByUs(quint8 option);
    static bool askedOfServer(quint8 option);
    void negotiate(quint8 verb, quint8 option);
    void answer(quint8 verb, quint8 option);
    void endSubnegotiation();
    void breached(Breach breach);

    Parse m_parse = Parse::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    QByteArray m_replies;
    QList<ComPortAnswer> m_answers;
    Breach m_breach = Breach::None;
    // Per option: our side (WILL) and the server's side (DO).
    OptionState m_ours[256] = {};
    OptionState m_theirs[256] = {};
};
