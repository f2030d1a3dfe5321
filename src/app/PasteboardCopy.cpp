#include "app/PasteboardCopy.h"

#include <algorithm>

namespace tamo {

PasteboardCopy::PasteboardCopy(PasteboardContents &contents)
    : m_contents(contents)
    , m_types(contents.types())
{
}

bool PasteboardCopy::hasAny(const QStringList &types) const
{
    return std::any_of(types.cbegin(), types.cend(), [this](const QString &type) { return has(type); });
}

std::optional<QByteArray> PasteboardCopy::data(const QString &type) const
{
    return has(type) ? m_contents.data(type) : std::nullopt;
}

const std::optional<QString> &PasteboardCopy::text()
{
    if (!m_text)
        m_text = has(PasteboardType::string) ? m_contents.string() : std::nullopt;
    return *m_text;
}

PasteboardContents::FileList PasteboardCopy::fileList() const
{
    return has(PasteboardType::fileURL) ? m_contents.fileList() : PasteboardContents::FileList();
}

} // namespace tamo
