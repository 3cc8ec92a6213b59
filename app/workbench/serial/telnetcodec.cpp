// Velmora workbench. Licensed under the MIT licence.
#include "telnetcodec.h"

#include <initializer_list>
#include <utility>

namespace {

const QByteArray DoubledIac("\xff\xff", 2);

QByteArray bytes(std::initializer_list<quint8> values)
{
    QByteArray out;
    for (quint8 value : values)
        out += char(value);
    return out;
}

QByteArray command(quint8 verb, quint8 option)
{
    return bytes({TelnetCodec::Iac, verb, option});
}

} // namespace

QByteArray TelnetCodec::offers()
{
    QByteArray sent;
    for (quint8 option : {ComPortOption, Binary, SuppressGoAhead}) {
        m_ours[option] = OptionState::Offered;
        sent += command(Will, option);
    }
    for (quint8 option : {Binary, SuppressGoAhead}) {
        m_theirs[option] = OptionState::Offered;
        sent += command(Do, option);
    }
    return sent;
}

QByteArray TelnetCodec::escaped(const QByteArray &data)
{
    if (!data.contains(char(Iac)))
        return data;
    QByteArray out = data;
    return out.replace(char(Iac), DoubledIac);
}

QByteArray TelnetCodec::comPortCommand(quint8 commandCode, const QByteArray &value)
{
    return bytes({Iac, Sb, ComPortOption, commandCode}) + escaped(value) + bytes({Iac, Se});
}

QByteArray TelnetCodec::decode(const QByteArray &bytes)
{
    QByteArray data;
    if (m_breach != Breach::None)
        return data;
    data.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size() && m_breach == Breach::None; ++at) {
        const char c = bytes.at(at);
        const quint8 byte = quint8(c);
        switch (m_parse) {
        case Parse::Data: {
            // Runs of plain data, nearly all of a stream, are taken whole.
            qsizetype end = bytes.indexOf(char(Iac), at);
            if (end < 0)
                end = bytes.size();
            data.append(bytes.constData() + at, end - at);
            at = end;
            if (at < bytes.size())
                m_parse = Parse::Iac;
            break;
        }
        case Parse::Iac:
            m_parse = Parse::Data;
            if (byte == Iac) {
                data += c;
            } else if (byte >= Will) {
                m_verb = byte;
                m_parse = Parse::Verb;
            } else if (byte == Sb) {
                m_sub.clear();
                m_parse = Parse::Sub;
            }
            // Every other command (NOP, GO-AHEAD, ...) carries nothing for the line.
            break;
        case Parse::Verb:
            negotiate(m_verb, byte);
            m_parse = Parse::Data;
            break;
        case Parse::Sub:
            if (byte == Iac)
                m_parse = Parse::SubIac;
            else if (m_sub.size() < MaxSubnegotiationBytes)
                m_sub += c;
            else
                breached(Breach::LongSubnegotiation);
            break;
        case Parse::SubIac:
            if (byte == Iac) {
                if (m_sub.size() < MaxSubnegotiationBytes)
                    m_sub += c;
                else
                    breached(Breach::LongSubnegotiation);
                m_parse = Parse::Sub;
            } else {
                // IAC SE ends it; anything else after IAC is a broken frame ended here too.
                endSubnegotiation();
                m_parse = Parse::Data;
            }
            break;
        }
    }
    return data;
}

QByteArray TelnetCodec::takeReplies()
{
    return std::exchange(m_replies, {});
}

QList<TelnetCodec::ComPortAnswer> TelnetCodec::takeAnswers()
{
    return std::exchange(m_answers, {});
}

bool TelnetCodec::offeredByUs(quint8 option)
{
    return option == ComPortOption || option == Binary || option == SuppressGoAhead;
}

bool TelnetCodec::askedOfServer(quint8 option)
{
    return option == Binary || option == SuppressGoAhead;
}

// Replies only change of state, so two sides that both offer never loop (RFC 1143).
void TelnetCodec::negotiate(quint8 verb, quint8 option)
{
    const bool aboutUs = verb == Do || verb == Dont;
    const bool enable = verb == Do || verb == Will;
    OptionState &state = aboutUs ? m_ours[option] : m_theirs[option];
    const bool wanted = aboutUs ? offeredByUs(option) : askedOfServer(option);
    if (enable) {
        if (!wanted) {
            answer(aboutUs ? Wont : Dont, option);
            return;
        }
        if (state == OptionState::Off)
            answer(aboutUs ? Will : Do, option);
        state = OptionState::Accepted;
        return;
    }
    if (state == OptionState::Accepted)
        answer(aboutUs ? Wont : Dont, option);
    state = OptionState::Off;
}

void TelnetCodec::answer(quint8 verb, quint8 option)
{
    const QByteArray reply = command(verb, option);
    if (m_replies.size() + reply.size() > MaxPendingReplyBytes) {
        breached(Breach::NegotiationFlood);
        return;
    }
    m_replies += reply;
}

void TelnetCodec::endSubnegotiation()
{
    if (m_sub.size() < 2 || quint8(m_sub.at(0)) != ComPortOption)
        return;
    const quint8 code = quint8(m_sub.at(1));
    if (code < ServerAnswerOffset)
        return;
    if (m_answers.size() >= MaxPendingAnswers) {
        breached(Breach::AnswerFlood);
        return;
    }
    m_answers.append({quint8(code - ServerAnswerOffset), m_sub.mid(2)});
}

// Nothing a breaching server sent is kept, not even what it sent before within the cap.
void TelnetCodec::breached(Breach breach)
{
    m_breach = breach;
    m_sub.clear();
    m_sub.squeeze();
    m_replies.clear();
    m_answers.clear();
}
