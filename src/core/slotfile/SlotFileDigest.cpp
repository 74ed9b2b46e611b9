#include "core/slotfile/SlotFile.h"

#include <QtEndian>

#include <cstring>

// The digest of a slot file's bytes: xxHash64 (seed 0), a fast 64-bit hash
// of four independent lanes, fed in pieces.

namespace SlotFile {

namespace {

constexpr quint64 P1 = 11400714785074694791ULL;
constexpr quint64 P2 = 14029467366897019727ULL;
constexpr quint64 P3 = 1609587929392839161ULL;
constexpr quint64 P4 = 9650029242287828579ULL;
constexpr quint64 P5 = 2870177450012600261ULL;

constexpr quint64 rotl(quint64 x, int r)
{
    return (x << r) | (x >> (64 - r));
}

constexpr quint64 round(quint64 acc, quint64 word)
{
    return rotl(acc + word * P2, 31) * P1;
}

constexpr quint64 merge(quint64 h, quint64 lane)
{
    return (h ^ round(0, lane)) * P1 + P4;
}

quint64 word64(const char* p)
{
    return qFromLittleEndian<quint64>(p);
}

quint32 word32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

} // namespace

Digest::Digest() : m_lanes{P1 + P2, P2, 0, 0 - P1} {}

void Digest::add(QByteArrayView bytes)
{
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    m_size += left;
    if (m_pendingSize > 0) {
        const qsizetype take = std::min<qsizetype>(left, Stripe - m_pendingSize);
        std::memcpy(m_pending + m_pendingSize, p, size_t(take));
        m_pendingSize += int(take);
        p += take;
        left -= take;
        if (m_pendingSize < Stripe)
            return;
        stripe(m_pending);
        m_pendingSize = 0;
    }
    // The lanes in locals, so that the four rounds of a stripe run side by
    // side.
    quint64 v1 = m_lanes[0], v2 = m_lanes[1], v3 = m_lanes[2], v4 = m_lanes[3];
    for (; left >= Stripe; p += Stripe, left -= Stripe) {
        v1 = round(v1, word64(p));
        v2 = round(v2, word64(p + 8));
        v3 = round(v3, word64(p + 16));
        v4 = round(v4, word64(p + 24));
    }
    m_lanes[0] = v1;
    m_lanes[1] = v2;
    m_lanes[2] = v3;
    m_lanes[3] = v4;
    std::memcpy(m_pending, p, size_t(left));
    m_pendingSize = int(left);
}

void Digest::stripe(const char* p)
{
    for (int lane = 0; lane < 4; ++lane)
        m_lanes[lane] = round(m_lanes[lane], word64(p + 8 * lane));
}

quint64 Digest::value() const
{
    quint64 h = P5;
    if (m_size >= Stripe) {
        h = rotl(m_lanes[0], 1) + rotl(m_lanes[1], 7) + rotl(m_lanes[2], 12) + rotl(m_lanes[3], 18);
        for (const quint64 lane : m_lanes)
            h = merge(h, lane);
    }
    h += quint64(m_size);
    const char* p = m_pending;
    int left = m_pendingSize;
    for (; left >= 8; p += 8, left -= 8)
        h = rotl(h ^ round(0, word64(p)), 27) * P1 + P4;
    if (left >= 4) {
        h = rotl(h ^ (quint64(word32(p)) * P1), 23) * P2 + P3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left)
        h = rotl(h ^ (quint64(uchar(*p)) * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    h ^= h >> 32;
    return h;
}

Digest digestOf(int fd, qint64 size, const QString& fileName)
{
    Digest digest;
    // Pieces small enough to be hashed while still in the processor's
    // cache.
    QByteArray piece(256 * 1024, Qt::Uninitialized);
    for (qint64 at = 0; at < size;) {
        const qsizetype n = readAt(fd, at, piece.data(),
                                   qsizetype(std::min<qint64>(piece.size(), size - at)), fileName);
        if (n == 0)
            break;
        digest.add(QByteArrayView(piece.constData(), n));
        at += n;
    }
    return digest;
}

} // namespace SlotFile
