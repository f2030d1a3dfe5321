#pragma once

#include "platform/Pasteboard.h"

class QMimeData;

namespace tamo {

// How pasteboard types travel as MIME types on the X11 clipboard. This is the
// one place that knows the mapping, for reading and for writing:
//   string        text/plain;charset=utf-8, text/plain (Qt's name for UTF8_STRING)
//   rtf           text/rtf, application/rtf, text/richtext
//   png, tiff     image/png, image/tiff
//   fileURL       text/uri-list, x-special/gnome-copied-files (local files only)
//   concealed     org.nspasteboard.ConcealedType, x-kde-passwordManagerHint = "secret"
// Any other MIME type (the other org.nspasteboard markers included) is a
// pasteboard type of the same name.
class PasteboardMime
{
public:
    // The types of an offer, in its order, without the selection protocol's
    // own targets (TARGETS, TIMESTAMP, ...). Reads the small payloads that
    // decide a type: the password-manager hint, and the URL list, since Qt
    // reports a browser's link (text/x-moz-url) as text/uri-list as well;
    // a list without a local file keeps its MIME name.
    static QStringList types(const QMimeData &offer);

    // Nothing when the offer lacks the type. fileURL reads as a text/uri-list.
    static std::optional<QByteArray> data(const QMimeData &offer, const QString &type);

    // The item's MIME representations, ready for QClipboard::setMimeData.
    static QMimeData *mimeData(const PasteboardItem &item);
};

} // namespace tamo
