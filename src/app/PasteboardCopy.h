#pragma once

#include "platform/Pasteboard.h"

#include <optional>

namespace tamo {

// The copy being handled, read from the pasteboard as the capture needs it.
// The text, wanted by both the secret rule and the draft, is decoded once.
class PasteboardCopy
{
public:
    explicit PasteboardCopy(PasteboardContents &contents);

    bool has(const QString &type) const { return m_types.contains(type); }
    bool hasAny(const QStringList &types) const;
    // Nothing when the copy lacks the type.
    std::optional<QByteArray> data(const QString &type) const;
    // Decoded from UTF-8; invalid sequences become replacement characters.
    const std::optional<QString> &text();
    PasteboardContents::FileList fileList() const;

private:
    PasteboardContents &m_contents;
    const QStringList m_types;
    std::optional<std::optional<QString>> m_text;
};

} // namespace tamo
