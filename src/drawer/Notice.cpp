#include "drawer/Notice.h"

namespace tamo {

namespace {

const QString clipboardSymbol = QStringLiteral("doc.on.clipboard.fill");

} // namespace

std::optional<Notice> Notice::paste(PasteNotice style, const QString &message)
{
    switch (style) {
    case PasteNotice::card:
        return Notice{clipboardSymbol, message, false, true, true};
    case PasteNotice::icon:
        return Notice{clipboardSymbol, message, true, false, false};
    case PasteNotice::none:
        break;
    }
    return std::nullopt;
}

Notice Notice::ready(const QString &message)
{
    return {clipboardSymbol, message, false, true, false};
}

Notice Notice::plain(const QString &message, const QString &symbol)
{
    return {symbol, message, false, false, false};
}

int Notice::displayTimeMs() const
{
    if (iconOnly)
        return 1200;
    if (showsHint)
        return 3500;
    if (showsShortcutRow)
        return 2500;
    return 1500;
}

} // namespace tamo
