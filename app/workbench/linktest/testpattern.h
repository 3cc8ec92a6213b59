// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The bytes a link test sends and expects: a pseudo-random sequence of ITU-T O.150, the
// counting bytes 00..FF, one fixed byte, or the user's own bytes repeated. The PRBS bits
// go out in time order, least significant bit of each byte first, as a UART sends them.
class TestPattern
{
public:
    enum Kind {
        Prbs7, Prbs9, Prbs15, Prbs23, Prbs31,
        Counting,
        Fixed55, FixedAA, Fixed00, FixedFF,
        UserBytes,
    };

    // `userBytes` is used by UserBytes only; an empty one stands for a single 00.
    explicit TestPattern(Kind kind = Prbs15, const QByteArray &userBytes = {});

    Kind kind() const { return m_kind; }
    bool isPrbs() const { return m_kind <= Prbs31; }
    // The register length n of PRBS-n; 0 for the other patterns.
    int registerLength() const;
    static QString name(Kind kind);

    // Back to the first byte of the pattern.
    void reset();
    unsigned char next();
    void fill(unsigned char *out, qsizetype count);
    QByteArray take(qsizetype count);
    void skip(qsizetype count);

    // How many received bytes seat the pattern where they stand (seat()).
    int seatLength() const;
    // Places the pattern so that the next bytes follow `received` (seatLength() bytes);
    // false when no position of the pattern begins with them.
    bool seat(const unsigned char *received);

private:
    void resetPrbs();
    void startWords(const unsigned char *bytes, int skipped);
    void stepWord();

    Kind m_kind;
    QByteArray m_user;
    qsizetype m_userIndex = 0;
    unsigned char m_counter = 0;
    // PRBS-n: the next n 64-bit words of the register's sequence (not inverted), least
    // significant byte first. Its bits obey a(k) = a(k-n) ^ a(k-m), and so, squared six
    // times, a(k) = a(k-64n) ^ a(k-64m): word j is word j-n XOR word j-m, which makes
    // eight bytes cost one XOR.
    std::array<quint64, 31> m_words{};
    int m_head = 0;     // where the word in hand is
    int m_used = 0;     // its bytes already taken
    int m_n = 0;
    int m_m = 0;
    bool m_inverted = false;
};
