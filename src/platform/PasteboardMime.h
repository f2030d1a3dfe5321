#pragma once

#include "platform/Pasteboard.h"

class QMimeData;

namespace tamo {

// What the owner of the clipboard offers, by target name.
class PasteboardOffer
{
public:
    virtual ~PasteboardOffer() = default;

    // The offered targets among PasteboardMime::readTargets(), in the owner's order.
    virtual QStringList targets() = 0;
    // Nothing when the owner gives nothing for the target.
    virtual std::optional<QByteArray> bytes(const QString &target) = 0;
    // The target asked for again when an earlier ask gave nothing.
    virtual std::optional<QByteArray> bytesOnceMore(const QString &target) { return bytes(target); }
    // True once the copy is no longer read: a newer copy replaced it, the app
    // is quitting, or the copy's time ran out. Work on what was read ends too.
    virtual bool abandoned() = 0;

    struct Start
    {
        QByteArray bytes;
        bool cut = false; // the payload went on
    };
    // The payload's first `maxBytes`, for a target whose start is worth
    // keeping; the rest is never read.
    virtual std::optional<Start> start(const QString &target, qsizetype maxBytes) = 0;
};

// How pasteboard types travel as MIME types on the X11 clipboard. This is the
// one place that knows the mapping, for reading and for writing:
//   string        UTF8_STRING, then text/plain;charset=utf-8, UTF-16
//                 text/plain;charset=utf-16, text/plain and Latin-1 STRING
//                 (read as UTF-8; a better form the owner refused is asked
//                 again before a lesser one is kept), and the text text/html
//                 shows when no plain text is offered (HtmlText, given up
//                 once the offer is abandoned); line ends as the app gave them
//   rtf           text/rtf, application/rtf, text/richtext
//   html          text/html
//   png, tiff     image/png, image/tiff
//   fileURL       text/uri-list, x-special/gnome-copied-files and
//                 x-special/mate-copied-files (local files only; a list is
//                 read as far as PasteboardContents's caps keep it, and the
//                 first that names files is the only one read)
//   concealed     org.nspasteboard.ConcealedType, x-kde-passwordManagerHint = "secret"
// The other types the capture looks at (the other org.nspasteboard markers,
// the browsers' source URLs) are MIME types of the same name; everything
// else an owner offers is left unread and unnamed.
class PasteboardMime
{
public:
    // Every target a read looks for.
    static const QStringList &readTargets();
    // The targets that give the plain text, in reading preference.
    static const QStringList &plainTextTargets();

    // The types of an offer, in its order. Reads the small payloads that
    // decide a type: the password-manager hint, and the URL list (a list
    // without a local file, a browser's link, keeps its MIME name).
    static QStringList types(PasteboardOffer &offer);

    // Nothing when the offer lacks the type. fileURL reads as a text/uri-list.
    static std::optional<QByteArray> data(PasteboardOffer &offer, const QString &type);

    // The item's MIME representations, ready for QClipboard::setMimeData.
    static QMimeData *mimeData(const PasteboardItem &item);
};

} // namespace tamo
