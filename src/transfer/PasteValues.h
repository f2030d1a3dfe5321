#pragma once

#include "transfer/PasteItems.h"

#include <QByteArrayView>
#include <QStringList>

// How each decoder of the other app's items keeps a value as it is decoded:
// only the types a capture is made of, a text cut where a clip's text ends,
// and no more than one clip may hold.
namespace tamo::PasteImporter {

extern const QStringList utf8TextTypes;
extern const QStringList utf16TextTypes;
extern const QString fileURLType;
extern const QString rtfType;
extern const QStringList imageTypes;

// The types a capture is made of. An item's other types are never read: it
// keeps memory to what is used.
const QStringList &capturedTypes();
// The captured type `name` is, matched by its whole length; empty for any other.
QString capturedType(QByteArrayView name);

// What one clip's items may add up to, so that shared or repeated values
// cannot multiply into more memory than one large value.
class Budget
{
public:
    bool spend(qsizetype bytes)
    {
        if (bytes > m_left)
            return false;
        m_left -= bytes;
        return true;
    }
    qsizetype left() const { return m_left; }

private:
    qsizetype m_left = maxValueBytes;
};

// One value's bytes, handed over as they are decoded. A text keeps its
// characters up to the longest text a clip holds and is cut there at a
// whole character; any other value is dropped once it outgrows the budget.
class KeptValue
{
public:
    KeptValue(const QString &type, const Budget &budget);

    // False once the value takes nothing more: a text at its cap, or a value
    // over the budget.
    bool append(QByteArrayView bytes);
    // Marks a text whose end will not be read; its last character may be cut.
    void endEarly() { m_cut = true; }

    bool isText() const { return m_utf8 || m_utf16; }
    bool isCut() const { return m_cut; }
    bool overBudget() const { return m_overBudget; }
    // The bytes kept; a cut text ends at its last whole character.
    QByteArray take();

private:
    QByteArray m_bytes;
    qsizetype m_limit;
    qsizetype m_characters = 0; // of a UTF-8 text, as UTF-16 code units
    bool m_utf8;
    bool m_utf16;
    bool m_cut = false;
    bool m_overBudget = false;
};

// Strict Base64 (its padding, no white space, zero unused bits) decoded a
// character at a time into a KeptValue.
class Base64Stream
{
public:
    explicit Base64Stream(KeptValue &value) : m_value(value) {}

    // False for a character that is no Base64 where it stands, or once the
    // value takes no more.
    bool add(char32_t character);
    // Whether the text ended on a whole quantum; hands over what is pending.
    bool finish();
    bool isValid() const { return m_valid; }

private:
    bool flush();

    KeptValue &m_value;
    char m_pending[3 * 1024];
    qsizetype m_pendingBytes = 0;
    quint32 m_quantum = 0;
    int m_sextets = 0;
    int m_padding = 0;
    bool m_valid = true;
};

// An item's value, when `value` was kept whole or cut: a value refused, over
// the budget or empty of a cut text leaves the item as it was.
void keepValue(PasteboardItem &item, const QString &type, KeptValue &value, Budget &budget);

} // namespace tamo::PasteImporter
