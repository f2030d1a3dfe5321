#include "platform/PasteboardMime.h"

#include "platform/UriList.h"

#include <QMimeData>
#include <QRegularExpression>

#include <algorithm>

namespace tamo {

namespace {

const QString plainTextMime = QStringLiteral("text/plain");
const QString utf8TextMime = QStringLiteral("text/plain;charset=utf-8");
const QString uriListMime = QStringLiteral("text/uri-list");
const QString gnomeFilesMime = QStringLiteral("x-special/gnome-copied-files");
const QString kdePasswordHintMime = QStringLiteral("x-kde-passwordManagerHint");
const QByteArray kdePasswordHintSecret = "secret";

struct MimeForm
{
    QString type;
    QString mime;
};

// Reading preference: the first form an offer has wins.
const QList<MimeForm> &mimeForms()
{
    static const QList<MimeForm> forms{
        {PasteboardType::string, utf8TextMime},
        {PasteboardType::string, plainTextMime},
        {PasteboardType::rtf, QStringLiteral("text/rtf")},
        {PasteboardType::rtf, QStringLiteral("application/rtf")},
        {PasteboardType::rtf, QStringLiteral("text/richtext")},
        {PasteboardType::png, QStringLiteral("image/png")},
        {PasteboardType::tiff, QStringLiteral("image/tiff")},
        {PasteboardType::fileURL, uriListMime},
        {PasteboardType::fileURL, gnomeFilesMime},
        {PasteboardType::concealed, PasteboardType::concealed},
        {PasteboardType::concealed, kdePasswordHintMime},
    };
    return forms;
}

QString typeOfMime(const QString &mime)
{
    for (const MimeForm &form : mimeForms()) {
        if (form.mime == mime)
            return form.type;
    }
    return mime;
}

bool isProtocolTarget(const QString &mime)
{
    // ICCCM targets are atoms in capitals (TARGETS, MULTIPLE, SAVE_TARGETS, ...);
    // Qt already reports the text and pixmap ones under MIME names.
    static const QRegularExpression iccmTarget(QStringLiteral("^[A-Z0-9_]+$"));
    return iccmTarget.match(mime).hasMatch() || mime == QLatin1String("application/x-qt-image");
}

// "copy\nfile:///a\nfile:///b": the action, then one URL a line.
QByteArray uriListFromGnomeFiles(const QByteArray &bytes)
{
    const qsizetype actionEnd = bytes.indexOf('\n');
    return actionEnd < 0 ? QByteArray() : bytes.mid(actionEnd + 1);
}

// The bytes of `mime` as pasteboard `type`, or nothing when the payload does
// not make it that type.
std::optional<QByteArray> read(const QMimeData &offer, const QString &mime, const QString &type)
{
    const QByteArray bytes = offer.data(mime);
    if (type == PasteboardType::fileURL) {
        const QList<QUrl> urls = UriList::parse(mime == gnomeFilesMime ? uriListFromGnomeFiles(bytes) : bytes);
        if (std::none_of(urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); }))
            return std::nullopt;
        return UriList::format(urls);
    }
    if (mime == kdePasswordHintMime && bytes.trimmed() != kdePasswordHintSecret)
        return std::nullopt;
    return bytes;
}

bool needsPayloadToDecide(const QString &mime)
{
    return mime == uriListMime || mime == gnomeFilesMime || mime == kdePasswordHintMime;
}

} // namespace

QStringList PasteboardMime::types(const QMimeData &offer)
{
    QStringList types;
    for (const QString &mime : offer.formats()) {
        if (isProtocolTarget(mime))
            continue;
        QString type = typeOfMime(mime);
        if (needsPayloadToDecide(mime) && !read(offer, mime, type))
            type = mime;
        if (!types.contains(type))
            types.append(type);
    }
    return types;
}

std::optional<QByteArray> PasteboardMime::data(const QMimeData &offer, const QString &type)
{
    const QStringList offered = offer.formats();
    for (const MimeForm &form : mimeForms()) {
        if (form.type != type || !offered.contains(form.mime))
            continue;
        if (std::optional<QByteArray> bytes = read(offer, form.mime, type))
            return bytes;
    }
    if (offered.contains(type) && !isProtocolTarget(type))
        return offer.data(type);
    return std::nullopt;
}

QMimeData *PasteboardMime::mimeData(const PasteboardItem &item)
{
    auto *mimeData = new QMimeData;
    for (auto it = item.cbegin(); it != item.cend(); ++it) {
        const QString &type = it.key();
        const QByteArray &bytes = it.value();
        if (type == PasteboardType::string) {
            mimeData->setData(plainTextMime, bytes);
            mimeData->setData(utf8TextMime, bytes);
        } else if (type == PasteboardType::fileURL) {
            const QList<QUrl> urls = UriList::parse(bytes);
            QByteArrayList lines{"copy"};
            for (const QUrl &url : urls)
                lines.append(url.toEncoded());
            mimeData->setData(uriListMime, UriList::format(urls));
            mimeData->setData(gnomeFilesMime, lines.join('\n'));
        } else if (type == PasteboardType::concealed) {
            mimeData->setData(PasteboardType::concealed, bytes);
            mimeData->setData(kdePasswordHintMime, kdePasswordHintSecret);
        } else {
            // The first MIME form of a mapped type, else the type's own name.
            const auto form = std::find_if(mimeForms().cbegin(), mimeForms().cend(),
                                           [&](const MimeForm &f) { return f.type == type; });
            mimeData->setData(form == mimeForms().cend() ? type : form->mime, bytes);
        }
    }
    return mimeData;
}

} // namespace tamo
