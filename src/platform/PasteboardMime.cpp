#include "platform/PasteboardMime.h"

#include "platform/HtmlText.h"
#include "platform/UriList.h"

#include <QDebug>
#include <QMimeData>
#include <QStringDecoder>

#include <algorithm>

namespace tamo {

namespace {

const QString plainTextMime = QStringLiteral("text/plain");
const QString utf8TextMime = QStringLiteral("text/plain;charset=utf-8");
const QString latin1TextMime = QStringLiteral("STRING");
const QString utf16TextMime = QStringLiteral("text/plain;charset=utf-16");
const QString htmlMime = QStringLiteral("text/html");
const QString uriListMime = QStringLiteral("text/uri-list");
const QString gnomeFilesMime = QStringLiteral("x-special/gnome-copied-files");
const QString mateFilesMime = QStringLiteral("x-special/mate-copied-files");
// The file managers' own lists: "copy" or "cut", then one URL a line.
const QStringList copiedFilesMimes{gnomeFilesMime, mateFilesMime};
const QString kdePasswordHintMime = QStringLiteral("x-kde-passwordManagerHint");
const QByteArray kdePasswordHintSecret = "secret";

struct MimeForm
{
    QString type;
    QString mime;
};

// Reading preference: the first form an offer has wins. UTF8_STRING holds
// the app's own text; GTK makes every line end CRLF in its text/plain forms,
// and writes what Latin-1 lacks as \uXXXX in text/plain and STRING: those
// two come last.
const QList<MimeForm> &mimeForms()
{
    static const QList<MimeForm> forms{
        {PasteboardType::string, QStringLiteral("UTF8_STRING")},
        {PasteboardType::string, utf8TextMime},
        {PasteboardType::string, utf16TextMime},
        {PasteboardType::string, plainTextMime},
        {PasteboardType::string, latin1TextMime},
        // A copy of HTML alone is kept as the text it shows.
        {PasteboardType::string, htmlMime},
        {PasteboardType::html, htmlMime},
        {PasteboardType::rtf, QStringLiteral("text/rtf")},
        {PasteboardType::rtf, QStringLiteral("application/rtf")},
        {PasteboardType::rtf, QStringLiteral("text/richtext")},
        {PasteboardType::png, QStringLiteral("image/png")},
        {PasteboardType::tiff, QStringLiteral("image/tiff")},
        {PasteboardType::fileURL, uriListMime},
        {PasteboardType::fileURL, gnomeFilesMime},
        {PasteboardType::fileURL, mateFilesMime},
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

// "copy\nfile:///a\nfile:///b": the action, then one URL a line. A cut is
// kept as a copy: the files stay where they are.
QByteArrayView uriListOfCopiedFiles(QByteArrayView bytes)
{
    const qsizetype actionEnd = bytes.indexOf('\n');
    return actionEnd < 0 ? QByteArrayView() : bytes.sliced(actionEnd + 1);
}

// As a text/uri-list of at most PasteboardContents::mostFiles URLs; nothing
// for a list without a local file.
std::optional<QByteArray> fileList(PasteboardOffer &offer, const QString &mime)
{
    const std::optional<PasteboardOffer::Start> offered = offer.start(mime, PasteboardContents::largestFileList);
    if (!offered)
        return std::nullopt;
    QByteArrayView list = offered->bytes;
    if (copiedFilesMimes.contains(mime))
        list = uriListOfCopiedFiles(list);
    if (offered->cut)
        list.truncate(list.lastIndexOf('\n') + 1); // the last line may be half a URL
    const UriList::Start start = UriList::parseStart(list, PasteboardContents::mostFiles);
    if (std::none_of(start.urls.cbegin(), start.urls.cend(), [](const QUrl &url) { return url.isLocalFile(); }))
        return std::nullopt;
    return UriList::format(start.urls, offered->cut || start.cut);
}

// The text a page shows, as UTF-8; nothing once the offer is abandoned. The
// page's bytes are in its declared encoding (Firefox writes UTF-16), else UTF-8.
std::optional<QByteArray> plainTextOfHtml(PasteboardOffer &offer, const QByteArray &bytes)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    const QString html = decoder.decode(bytes);
    const std::optional<QString> text = HtmlText::plainText(html, [&offer] { return offer.abandoned(); });
    if (!text)
        return std::nullopt;
    return text->toUtf8();
}

bool offersPlainText(const QStringList &targets)
{
    const QStringList &plain = PasteboardMime::plainTextTargets();
    return std::any_of(targets.cbegin(), targets.cend(), [&](const QString &target) { return plain.contains(target); });
}

// UTF-16 in the order its byte-order mark gives, else this machine's, as
// the apps that leave the mark out write it.
QByteArray utf8OfUtf16(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf16);
    return QString(decoder.decode(bytes)).toUtf8();
}

// A plain text form's bytes as UTF-8.
QByteArray utf8OfPlainText(const QString &mime, const QByteArray &bytes)
{
    if (mime == latin1TextMime)
        return QString::fromLatin1(bytes).toUtf8();
    if (mime == utf16TextMime)
        return utf8OfUtf16(bytes);
    return bytes;
}

// The bytes of `mime` as pasteboard `type`, or nothing when the payload does
// not make it that type.
std::optional<QByteArray> read(PasteboardOffer &offer, const QString &mime, const QString &type)
{
    if (type == PasteboardType::fileURL)
        return fileList(offer, mime);
    const std::optional<QByteArray> offered = offer.bytes(mime);
    if (!offered)
        return std::nullopt;
    const QByteArray &bytes = *offered;
    if (mime == kdePasswordHintMime && bytes.trimmed() != kdePasswordHintSecret)
        return std::nullopt;
    if (mime == htmlMime && type == PasteboardType::string)
        return plainTextOfHtml(offer, bytes);
    return utf8OfPlainText(mime, bytes);
}

// An owner may refuse what is asked the moment it took the clipboard (gvim,
// before it counts itself the owner) and give what is asked next: the best
// text form it refused is asked once more, before a lesser form it gave is
// kept, or when it gave none.
std::optional<QByteArray> refusedTextOnceMore(PasteboardOffer &offer, const QString &refused,
                                              std::optional<QByteArray> lesser, const QString &lesserForm)
{
    if (offer.abandoned())
        return lesser;
    if (const std::optional<QByteArray> bytes = offer.bytesOnceMore(refused))
        return utf8OfPlainText(refused, *bytes);
    if (lesser) {
        qWarning().noquote() << QStringLiteral("TamoCove: the app that made a copy gave no %1 for its text; kept its %2")
                                    .arg(refused, lesserForm);
    }
    return lesser;
}

bool needsPayloadToDecide(const QString &mime)
{
    return mime == uriListMime || copiedFilesMimes.contains(mime) || mime == kdePasswordHintMime;
}

} // namespace

const QStringList &PasteboardMime::readTargets()
{
    static const QStringList targets = [] {
        QStringList names;
        for (const MimeForm &form : mimeForms())
            names.append(form.mime);
        names += {PasteboardType::transient, PasteboardType::autoGenerated, PasteboardType::onePassword,
                  PasteboardType::chromiumSourceURL, PasteboardType::firefoxSourceURL};
        names.removeDuplicates();
        return names;
    }();
    return targets;
}

const QStringList &PasteboardMime::plainTextTargets()
{
    static const QStringList targets = [] {
        QStringList names;
        for (const MimeForm &form : mimeForms()) {
            if (form.type == PasteboardType::string && form.mime != htmlMime)
                names.append(form.mime);
        }
        return names;
    }();
    return targets;
}

QStringList PasteboardMime::types(PasteboardOffer &offer)
{
    QStringList types;
    const QStringList targets = offer.targets();
    for (const QString &mime : targets) {
        QString type = typeOfMime(mime);
        if (mime == htmlMime) {
            // The copy's rich text, and its text when it offers no other.
            if (!offersPlainText(targets) && !types.contains(type))
                types.append(type);
            type = PasteboardType::html;
        }
        // One list that names files is enough: PCManFM ends a cut once its
        // GNOME list is read.
        if (type == PasteboardType::fileURL && types.contains(type))
            continue;
        if (needsPayloadToDecide(mime) && !read(offer, mime, type))
            type = mime;
        if (!types.contains(type))
            types.append(type);
    }
    return types;
}

std::optional<QByteArray> PasteboardMime::data(PasteboardOffer &offer, const QString &type)
{
    const QStringList offered = offer.targets();
    std::optional<QString> refusedText; // the best plain text form that gave nothing
    for (const MimeForm &form : mimeForms()) {
        if (form.type != type || !offered.contains(form.mime))
            continue;
        std::optional<QByteArray> bytes = read(offer, form.mime, type);
        if (refusedText && bytes)
            return refusedTextOnceMore(offer, *refusedText, std::move(bytes), form.mime);
        if (bytes)
            return bytes;
        if (!refusedText && plainTextTargets().contains(form.mime))
            refusedText = form.mime;
    }
    if (refusedText)
        return refusedTextOnceMore(offer, *refusedText, std::nullopt, {});
    if (offered.contains(type))
        return offer.bytes(type);
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
            for (const QString &mime : copiedFilesMimes)
                mimeData->setData(mime, lines.join('\n'));
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
