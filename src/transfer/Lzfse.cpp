#include "transfer/Lzfse.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace tamo::lzfse {

namespace {

constexpr uint32_t endMagic = 0x24787662;    // "bvx$"
constexpr uint32_t storedMagic = 0x2d787662; // "bvx-"
constexpr uint32_t lzvnMagic = 0x6e787662;   // "bvxn"
constexpr uint32_t plainMagic = 0x31787662;  // "bvx1"
constexpr uint32_t packedMagic = 0x32787662; // "bvx2"

constexpr int lSymbols = 20, mSymbols = 20, dSymbols = 64, literalSymbols = 256;
constexpr int lStates = 64, mStates = 64, dStates = 256, literalStates = 1024;
constexpr uint32_t maxMatches = 10000;
constexpr uint32_t maxLiterals = 4 * maxMatches;
// The longest literal run and match one L, M pair can carry.
constexpr uint32_t longestRun = 315 + 2359;
// One two-byte LZVN opcode writes at most this many bytes.
constexpr uint64_t lzvnExpansion = 16 + 255;

constexpr std::array<uint8_t, lSymbols> lExtraBits{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 5, 8};
constexpr std::array<uint8_t, mSymbols> mExtraBits{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 5, 8, 11};
constexpr std::array<uint8_t, dSymbols> dExtraBits{
    0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7,
    8, 8, 8, 8, 9, 9, 9, 9, 10, 10, 10, 10, 11, 11, 11, 11, 12, 12, 12, 12, 13, 13, 13, 13, 14, 14, 14, 14, 15, 15, 15, 15};

// Each symbol's base value is where the previous symbol's range ends.
template<std::size_t N>
constexpr std::array<int32_t, N> baseValues(const std::array<uint8_t, N> &extraBits)
{
    std::array<int32_t, N> base{};
    for (std::size_t i = 1; i < N; ++i)
        base[i] = base[i - 1] + (1 << extraBits[i - 1]);
    return base;
}

constexpr auto lBase = baseValues(lExtraBits);
constexpr auto mBase = baseValues(mExtraBits);
constexpr auto dBase = baseValues(dExtraBits);

class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    const uint8_t *here() const { return reinterpret_cast<const uint8_t *>(m_bytes.data()) + m_pos; }
    bool skip(qsizetype count)
    {
        if (count < 0 || count > remaining())
            return false;
        m_pos += count;
        return true;
    }
    std::optional<uint32_t> u32() { return little<uint32_t>(); }
    std::optional<uint64_t> u64() { return little<uint64_t>(); }

private:
    template<typename T>
    std::optional<T> little()
    {
        if (remaining() < qsizetype(sizeof(T)))
            return std::nullopt;
        T value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value |= T(here()[i]) << (8 * i);
        m_pos += sizeof(T);
        return value;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

uint64_t littleEndian(const uint8_t *bytes, int count)
{
    uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value |= uint64_t(bytes[i]) << (8 * i);
    return value;
}

// The FSE bit streams are written forwards and read from their end: the last
// bytes written hold the first bits to read.
class BackwardBits
{
public:
    // `bitsField` (-7 to 0) says how many high bits of the last byte are unused.
    bool start(const uint8_t *begin, const uint8_t *end, int bitsField)
    {
        if (bitsField < -7 || bitsField > 0)
            return false;
        const int count = bitsField == 0 ? 7 : 8;
        if (end - begin < count)
            return false;
        m_begin = begin;
        m_pos = end - count;
        m_accumulator = littleEndian(m_pos, count);
        m_count = 8 * count + bitsField;
        return m_count < 64 && (m_accumulator >> m_count) == 0;
    }

    // Tops the accumulator up with whole bytes, to at least 56 bits while
    // the stream lasts; pull() refuses bits the stream does not have.
    void refill()
    {
        const int bytes = int(std::min<qsizetype>((63 - m_count) / 8, m_pos - m_begin));
        if (bytes > 0) {
            m_pos -= bytes;
            m_accumulator = (m_accumulator << (8 * bytes)) | littleEndian(m_pos, bytes);
            m_count += 8 * bytes;
        }
    }

    std::optional<uint32_t> pull(int bits)
    {
        if (bits > m_count)
            return std::nullopt;
        m_count -= bits;
        const uint64_t value = m_accumulator >> m_count;
        m_accumulator &= m_count == 0 ? 0 : (~uint64_t(0) >> (64 - m_count));
        return uint32_t(value);
    }

private:
    const uint8_t *m_begin = nullptr;
    const uint8_t *m_pos = nullptr;
    uint64_t m_accumulator = 0;
    int m_count = 0;
};

// Where each symbol's states start and how many bits its successors take:
// the symbols own consecutive runs of states in symbol order.
struct StateSplit
{
    int bits;     // k: a state below `split` reads k bits, the others k - 1
    int split;    // j0
    int count;    // the symbol's frequency
};

StateSplit splitFor(int frequency, int states)
{
    const int k = std::countl_zero(uint32_t(frequency)) - std::countl_zero(uint32_t(states));
    return {k, ((2 * states) >> k) - frequency, frequency};
}

struct Transition
{
    int bits;
    int delta;
};

Transition transition(const StateSplit &split, int j, int states)
{
    if (j < split.split)
        return {split.bits, ((split.count + j) << split.bits) - states};
    return {split.bits - 1, (j - split.split) << (split.bits - 1)};
}

// Walks the states of a table: `entry(symbol, transition)` for each, the
// symbols owning consecutive runs in symbol order. False when the
// frequencies add up to more states than there are.
template<typename Entry>
bool forEachState(const uint16_t *frequencies, int symbols, int states, Entry entry)
{
    int filled = 0;
    for (int symbol = 0; symbol < symbols; ++symbol) {
        const int f = frequencies[symbol];
        if (f == 0)
            continue;
        if (filled + f > states)
            return false;
        const StateSplit split = splitFor(f, states);
        for (int j = 0; j < f; ++j)
            entry(symbol, transition(split, j, states));
        filled += f;
    }
    return true;
}

// Decodes literals: every state names a byte.
class SymbolTable
{
public:
    bool build(const uint16_t *frequencies, int symbols, int states)
    {
        m_entries.clear();
        m_entries.reserve(states);
        return forEachState(frequencies, symbols, states, [this](int symbol, Transition next) {
            m_entries.push_back({uint8_t(symbol), uint8_t(next.bits), int16_t(next.delta)});
        });
    }

    std::optional<uint8_t> next(uint32_t &state, BackwardBits &bits) const
    {
        if (state >= m_entries.size())
            return std::nullopt;
        const Entry &entry = m_entries[state];
        const auto pulled = bits.pull(entry.bits);
        if (!pulled)
            return std::nullopt;
        state = uint32_t(entry.delta + int(*pulled));
        return entry.symbol;
    }

private:
    struct Entry
    {
        uint8_t symbol;
        uint8_t bits;
        int16_t delta;
    };
    std::vector<Entry> m_entries;
};

// Decodes lengths and distances: every state names a range of values whose
// offset follows the state's own bits.
class ValueTable
{
public:
    bool build(const uint16_t *frequencies, int symbols, int states, const uint8_t *extraBits, const int32_t *base)
    {
        m_entries.clear();
        m_entries.reserve(states);
        return forEachState(frequencies, symbols, states, [&](int symbol, Transition next) {
            m_entries.push_back({uint8_t(next.bits + extraBits[symbol]), extraBits[symbol], int16_t(next.delta),
                                 base[symbol]});
        });
    }

    std::optional<uint32_t> next(uint32_t &state, BackwardBits &bits) const
    {
        if (state >= m_entries.size())
            return std::nullopt;
        const Entry &entry = m_entries[state];
        const auto pulled = bits.pull(entry.totalBits);
        if (!pulled)
            return std::nullopt;
        state = uint32_t(entry.delta + int(*pulled >> entry.extraBits));
        return uint32_t(entry.base) + (*pulled & ((1u << entry.extraBits) - 1));
    }

private:
    struct Entry
    {
        uint8_t totalBits;
        uint8_t extraBits;
        int16_t delta;
        int32_t base;
    };
    std::vector<Entry> m_entries;
};

// Everything an LZFSE block header says, whichever way it was stored.
struct BlockHeader
{
    uint32_t rawBytes = 0;
    uint32_t literals = 0;
    uint32_t matches = 0;
    uint32_t literalPayloadBytes = 0;
    uint32_t lmdPayloadBytes = 0;
    int literalBits = 0;
    std::array<uint32_t, 4> literalStates{};
    int lmdBits = 0;
    uint32_t lState = 0, mState = 0, dState = 0;
    // L, M, D, then literal frequencies, in that order.
    std::array<uint16_t, lSymbols + mSymbols + dSymbols + literalSymbols> frequencies{};
};

// The output so far; matches may reach back into earlier blocks.
class Output
{
public:
    Output(QByteArray &bytes, uint32_t blockSize) : m_bytes(bytes), m_end(bytes.size() + blockSize) {}

    bool literals(const uint8_t *from, uint32_t count)
    {
        if (count > uint64_t(m_end - m_bytes.size()))
            return false;
        m_bytes.append(reinterpret_cast<const char *>(from), count);
        return true;
    }

    bool match(uint32_t distance, uint32_t length)
    {
        if (length == 0)
            return true;
        if (distance == 0 || distance > uint64_t(m_bytes.size()) || length > uint64_t(m_end - m_bytes.size()))
            return false;
        qsizetype from = m_bytes.size() - distance;
        const qsizetype to = m_bytes.size();
        m_bytes.resize(to + length);
        char *data = m_bytes.data();
        // Byte by byte: a match may overlap the bytes it is writing.
        for (uint32_t i = 0; i < length; ++i)
            data[to + i] = data[from + i];
        return true;
    }

    bool isComplete() const { return m_bytes.size() == m_end; }

private:
    QByteArray &m_bytes;
    qsizetype m_end;
};

// Both header readers start after the block's magic and raw size.
constexpr qsizetype blockPrefix = 8;

std::optional<BlockHeader> readPlainHeader(Reader &in, uint32_t rawBytes)
{
    // Seven u32 counts, two bit counts with their states, then 360 u16
    // frequencies; the whole padded to a multiple of four bytes.
    constexpr qsizetype size = 772;
    if (in.remaining() < size - blockPrefix)
        return std::nullopt;
    const uint8_t *p = in.here() - blockPrefix;
    auto u32 = [p](int offset) { return uint32_t(littleEndian(p + offset, 4)); };
    auto u16 = [p](int offset) { return uint32_t(littleEndian(p + offset, 2)); };
    BlockHeader header;
    header.rawBytes = rawBytes;
    header.literals = u32(12);
    header.matches = u32(16);
    header.literalPayloadBytes = u32(20);
    header.lmdPayloadBytes = u32(24);
    if (u32(8) != uint64_t(header.literalPayloadBytes) + header.lmdPayloadBytes)
        return std::nullopt;
    header.literalBits = int32_t(u32(28));
    for (int i = 0; i < 4; ++i)
        header.literalStates[i] = u16(32 + 2 * i);
    header.lmdBits = int32_t(u32(40));
    header.lState = u16(44);
    header.mState = u16(46);
    header.dState = u16(48);
    for (std::size_t i = 0; i < header.frequencies.size(); ++i)
        header.frequencies[i] = uint16_t(u16(50 + 2 * int(i)));
    in.skip(size - blockPrefix);
    return header;
}

uint32_t field(uint64_t packed, int offset, int width)
{
    return uint32_t((packed >> offset) & ((uint64_t(1) << width) - 1));
}

// The packed frequencies use a prefix code read from the low bits up: the
// low five bits decide the code's length and value.
std::optional<int> packedFrequency(uint32_t bits, int &length)
{
    static constexpr std::array<int8_t, 32> lengths{2, 3, 2, 5, 2, 3, 2, 8, 2, 3, 2, 5, 2, 3, 2, 14,
                                                    2, 3, 2, 5, 2, 3, 2, 8, 2, 3, 2, 5, 2, 3, 2, 14};
    static constexpr std::array<int8_t, 32> values{0, 2, 1, 4, 0, 3, 1, -1, 0, 2, 1, 5, 0, 3, 1, -1,
                                                   0, 2, 1, 6, 0, 3, 1, -1, 0, 2, 1, 7, 0, 3, 1, -1};
    const uint32_t low = bits & 31;
    length = lengths[low];
    if (length == 8)
        return 8 + int((bits >> 4) & 0xf);
    if (length == 14)
        return 24 + int((bits >> 4) & 0x3ff);
    return values[low];
}

std::optional<BlockHeader> readPackedHeader(Reader &in, uint32_t rawBytes)
{
    const uint8_t *start = in.here() - blockPrefix;
    const auto first = in.u64();
    const auto second = in.u64();
    const auto third = in.u64();
    if (!third)
        return std::nullopt;
    BlockHeader header;
    header.rawBytes = rawBytes;
    header.literals = field(*first, 0, 20);
    header.literalPayloadBytes = field(*first, 20, 20);
    header.matches = field(*first, 40, 20);
    header.literalBits = int(field(*first, 60, 3)) - 7;
    for (int i = 0; i < 4; ++i)
        header.literalStates[i] = field(*second, 10 * i, 10);
    header.lmdPayloadBytes = field(*second, 40, 20);
    header.lmdBits = int(field(*second, 60, 3)) - 7;
    const uint32_t headerSize = field(*third, 0, 32);
    header.lState = field(*third, 32, 10);
    header.mState = field(*third, 42, 10);
    header.dState = field(*third, 52, 10);

    constexpr uint32_t fixedSize = 32;
    if (headerSize < fixedSize || headerSize - fixedSize > uint64_t(in.remaining()))
        return std::nullopt;
    const uint8_t *p = start + fixedSize;
    const uint8_t *end = start + headerSize;
    if (headerSize > fixedSize) {
        uint32_t accumulator = 0;
        int count = 0;
        for (uint16_t &frequency : header.frequencies) {
            while (p < end && count + 8 <= 32) {
                accumulator |= uint32_t(*p++) << count;
                count += 8;
            }
            int length = 0;
            const auto value = packedFrequency(accumulator, length);
            if (length > count)
                return std::nullopt;
            frequency = uint16_t(*value);
            accumulator >>= length;
            count -= length;
        }
        if (count >= 8 || p != end)
            return std::nullopt;
    }
    in.skip(headerSize - fixedSize);
    return header;
}

bool decodeLiterals(const BlockHeader &header, const uint8_t *payload, std::vector<uint8_t> &literals)
{
    SymbolTable table;
    if (!table.build(header.frequencies.data() + lSymbols + mSymbols + dSymbols, literalSymbols, literalStates))
        return false;
    BackwardBits bits;
    if (!bits.start(payload, payload + header.literalPayloadBytes, header.literalBits))
        return false;
    std::array<uint32_t, 4> states = header.literalStates;
    // Four interleaved states; the count is rounded up to whole groups.
    literals.resize((header.literals + 3) & ~3u);
    for (std::size_t i = 0; i < literals.size(); i += 4) {
        bits.refill();
        for (int lane = 0; lane < 4; ++lane) {
            const auto byte = table.next(states[lane], bits);
            if (!byte)
                return false;
            literals[i + lane] = *byte;
        }
    }
    literals.resize(header.literals);
    return true;
}

bool decodeFseBlock(const BlockHeader &header, Reader &in, QByteArray &out)
{
    if (header.literals > maxLiterals || header.matches > maxMatches)
        return false;
    if (header.rawBytes > uint64_t(header.literals) + uint64_t(header.matches) * longestRun)
        return false;
    const uint64_t payloadBytes = uint64_t(header.literalPayloadBytes) + header.lmdPayloadBytes;
    if (payloadBytes > uint64_t(in.remaining()))
        return false;
    const uint8_t *payload = in.here();
    in.skip(qsizetype(payloadBytes));

    std::vector<uint8_t> literals;
    if (!decodeLiterals(header, payload, literals))
        return false;

    const uint16_t *f = header.frequencies.data();
    ValueTable lTable, mTable, dTable;
    if (!lTable.build(f, lSymbols, lStates, lExtraBits.data(), lBase.data())
        || !mTable.build(f + lSymbols, mSymbols, mStates, mExtraBits.data(), mBase.data())
        || !dTable.build(f + lSymbols + mSymbols, dSymbols, dStates, dExtraBits.data(), dBase.data()))
        return false;
    const uint8_t *lmd = payload + header.literalPayloadBytes;
    BackwardBits bits;
    if (!bits.start(lmd, lmd + header.lmdPayloadBytes, header.lmdBits))
        return false;

    Output output(out, header.rawBytes);
    uint32_t lState = header.lState, mState = header.mState, dState = header.dState;
    uint32_t distance = 0;
    std::size_t literal = 0;
    for (uint32_t i = 0; i < header.matches; ++i) {
        bits.refill();
        const auto l = lTable.next(lState, bits);
        const auto m = l ? mTable.next(mState, bits) : std::nullopt;
        const auto d = m ? dTable.next(dState, bits) : std::nullopt;
        if (!d || *l > literals.size() - literal)
            return false;
        if (*d != 0)
            distance = *d;
        if (!output.literals(literals.data() + literal, *l) || !output.match(distance, *m))
            return false;
        literal += *l;
    }
    return output.isComplete();
}

// LZVN: byte opcodes, each a literal run, a match, or both.
bool decodeLzvn(const uint8_t *p, const uint8_t *end, uint32_t rawBytes, QByteArray &out)
{
    Output output(out, rawBytes);
    uint32_t distance = 0;
    auto need = [&](qsizetype count) { return end - p >= count; };
    while (need(1)) {
        const uint8_t op = *p;
        uint32_t literals = 0;
        uint32_t match = 0;
        qsizetype opLength = 1;
        const uint8_t low = op & 7;
        if (op == 0x06) {
            return output.isComplete();
        } else if (op == 0x0e || op == 0x16) {
            // no operation
        } else if ((op >= 0x70 && op <= 0x7f) || (op >= 0xd0 && op <= 0xdf) || (op < 0x40 && low == 6)) {
            return false;
        } else if (op >= 0xf0) {
            if (op == 0xf0) {
                if (!need(2))
                    return false;
                match = 16u + p[1];
                opLength = 2;
            } else {
                match = op & 0x0f;
            }
        } else if (op >= 0xe0) {
            if (op == 0xe0) {
                if (!need(2))
                    return false;
                literals = 16u + p[1];
                opLength = 2;
            } else {
                literals = op & 0x0f;
            }
        } else if (op >= 0xa0 && op <= 0xbf) {
            if (!need(3))
                return false;
            literals = (op >> 3) & 3;
            match = (((op & 7u) << 2) | (p[1] & 3u)) + 3;
            distance = (uint32_t(p[2]) << 6) | (p[1] >> 2);
            opLength = 3;
        } else {
            literals = op >> 6;
            match = ((op >> 3) & 7u) + 3;
            if (low == 7) {
                if (!need(3))
                    return false;
                distance = p[1] | (uint32_t(p[2]) << 8);
                opLength = 3;
            } else if (low != 6) {
                if (!need(2))
                    return false;
                distance = (uint32_t(low) << 8) | p[1];
                opLength = 2;
            }
        }
        p += opLength;
        if (!need(literals) || !output.literals(p, literals))
            return false;
        p += literals;
        if (!output.match(distance, match))
            return false;
    }
    return false;
}

} // namespace

std::optional<QByteArray> decode(QByteArrayView stream, qsizetype maxBytes)
{
    QByteArray out;
    Reader in(stream);
    while (true) {
        const auto magic = in.u32();
        if (!magic)
            return std::nullopt;
        if (*magic == endMagic)
            return out;

        const auto rawBytes = in.u32();
        if (!rawBytes || *rawBytes > uint64_t(maxBytes - out.size()))
            return std::nullopt;
        if (*magic == storedMagic) {
            if (*rawBytes > uint64_t(in.remaining()))
                return std::nullopt;
            out.append(reinterpret_cast<const char *>(in.here()), *rawBytes);
            in.skip(*rawBytes);
        } else if (*magic == lzvnMagic) {
            const auto payloadBytes = in.u32();
            if (!payloadBytes || *payloadBytes > uint64_t(in.remaining())
                || *rawBytes > uint64_t(*payloadBytes) * lzvnExpansion)
                return std::nullopt;
            const uint8_t *payload = in.here();
            in.skip(*payloadBytes);
            if (!decodeLzvn(payload, payload + *payloadBytes, *rawBytes, out))
                return std::nullopt;
        } else if (*magic == plainMagic || *magic == packedMagic) {
            const auto header = *magic == plainMagic ? readPlainHeader(in, *rawBytes) : readPackedHeader(in, *rawBytes);
            if (!header || !decodeFseBlock(*header, in, out))
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
}

} // namespace tamo::lzfse
