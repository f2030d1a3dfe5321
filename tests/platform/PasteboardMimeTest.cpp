#include "platform/PasteboardMime.h"
#include "platform/UriList.h"

#include <QMimeData>
#include <gtest/gtest.h>

#include <memory>

using namespace tamo;

namespace {

using Offer = QList<std::pair<QString, QByteArray>>;

// An owner's offer as a reader sees it: only the targets it looks for.
class ListOffer final : public PasteboardOffer
{
public:
    explicit ListOffer(const Offer &representations)
    {
        for (const auto &[target, bytes] : representations) {
            if (PasteboardMime::readTargets().contains(target))
                m_representations.append({target, bytes});
        }
    }
    explicit ListOffer(const QMimeData &written)
    {
        for (const QString &format : written.formats()) {
            if (PasteboardMime::readTargets().contains(format))
                m_representations.append({format, written.data(format)});
        }
    }

    QStringList targets() override
    {
        QStringList names;
        for (const auto &representation : m_representations)
            names.append(representation.first);
        return names;
    }
    std::optional<QByteArray> bytes(const QString &target) override
    {
        for (const auto &[name, bytes] : m_representations) {
            if (name == target)
                return bytes;
        }
        return std::nullopt;
    }
    std::optional<Start> start(const QString &target, qsizetype maxBytes) override
    {
        const std::optional<QByteArray> whole = bytes(target);
        if (!whole)
            return std::nullopt;
        return Start{whole->left(maxBytes), whole->size() > maxBytes};
    }
    bool abandoned() override { return m_abandoned; }

    bool m_abandoned = false;

private:
    Offer m_representations;
};

TEST(PasteboardMime, NamesTheTypesOfAnOfferInItsOrder)
{
    struct Row
    {
        const char *name;
        Offer offer;
        QStringList types;
    };
    const QList<Row> rows{
        {"both text forms are one string",
         {{"text/plain;charset=utf-8", "a"}, {"text/plain", "a"}},
         {PasteboardType::string}},
        {"X's own name for UTF-8 text", {{"TARGETS", ""}, {"UTF8_STRING", "a"}}, {PasteboardType::string}},
        {"a browser's source page keeps its name",
         {{"text/html", "<b>a</b>"}, {"chromium/x-source-url", "https://a/"}, {"text/plain", "a"}},
         {PasteboardType::html, PasteboardType::chromiumSourceURL, PasteboardType::string}},
        {"HTML alone is text and its rich text", {{"text/html", "<b>a</b>"}},
         {PasteboardType::string, PasteboardType::html}},
        {"RTF under its other names", {{"application/rtf", "{}"}, {"text/richtext", "{}"}}, {PasteboardType::rtf}},
        {"images", {{"image/png", "p"}, {"image/bmp", "b"}, {"image/tiff", "t"}},
         {PasteboardType::png, PasteboardType::tiff}},
        {"a list of files", {{"text/uri-list", "file:///tmp/a\r\n"}}, {PasteboardType::fileURL}},
        {"a browser link is no file", {{"text/uri-list", "https://example.org/\r\n"}}, {"text/uri-list"}},
        {"GNOME's file list, cut or copied", {{"x-special/gnome-copied-files", "cut\nfile:///tmp/a"}},
         {PasteboardType::fileURL}},
        {"KDE's password hint conceals",
         {{"x-kde-passwordManagerHint", "secret"}, {"text/plain", "pw"}},
         {PasteboardType::concealed, PasteboardType::string}},
        {"a hint of another value does not",
         {{"x-kde-passwordManagerHint", "public"}},
         {"x-kde-passwordManagerHint"}},
        {"markers keep their names, both concealed forms are one",
         {{PasteboardType::concealed, ""}, {"x-kde-passwordManagerHint", "secret"}, {PasteboardType::transient, ""}},
         {PasteboardType::concealed, PasteboardType::transient}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ListOffer offer(row.offer);
        EXPECT_EQ(PasteboardMime::types(offer), row.types);
    }
}

TEST(PasteboardMime, ReadsATypeFromItsBestForm)
{
    struct Row
    {
        const char *name;
        Offer offer;
        QString type;
        std::optional<QByteArray> data;
    };
    const QList<Row> rows{
        {"UTF-8 text before plain text",
         {{"text/plain", "plain"}, {"text/plain;charset=utf-8", "utf-8"}},
         PasteboardType::string,
         "utf-8"},
        {"the app's own text before GTK's CRLF forms",
         {{"UTF8_STRING", "a\nb"}, {"text/plain;charset=utf-8", "a\r\nb"}, {"text/plain", "a\r\nb"}},
         PasteboardType::string,
         "a\nb"},
        {"its own CRs kept", {{"UTF8_STRING", "a\r\nb"}}, PasteboardType::string, "a\r\nb"},
        {"UTF-16 before the forms GTK writes \\uXXXX in",
         {{"STRING", "caf\xe9 \\u6771"}, {"text/plain", "caf\xc3\xa9 \\u6771"},
          {"text/plain;charset=utf-16", QByteArray("\xFF\xFE" "c\0a\0f\0\xE9\0 \0\x71\x67", 14)}},
         PasteboardType::string,
         "caf\xC3\xA9 \xE6\x9D\xB1"},
        {"GNOME's file list reads as a URI list",
         {{"x-special/gnome-copied-files", "copy\nfile:///tmp/a\nfile:///tmp/b"}},
         PasteboardType::fileURL,
         "file:///tmp/a\r\nfile:///tmp/b\r\n"},
        {"a browser link is no file", {{"text/uri-list", "https://example.org/\r\n"}}, PasteboardType::fileURL,
         std::nullopt},
        {"but reads under its MIME name", {{"text/uri-list", "https://example.org/\r\n"}}, "text/uri-list",
         "https://example.org/\r\n"},
        {"the hint reads as the concealed marker", {{"x-kde-passwordManagerHint", "secret"}},
         PasteboardType::concealed, "secret"},
        {"an empty marker is still there", {{PasteboardType::autoGenerated, ""}}, PasteboardType::autoGenerated,
         ""},
        {"HTML alone reads as the text it shows",
         {{"text/html", "<p>bold <b>html</b> &amp; more</p>"}},
         PasteboardType::string,
         "bold html & more"},
        {"plain text before HTML", {{"text/html", "<b>rich</b>"}, {"text/plain", "plain"}}, PasteboardType::string,
         "plain"},
        {"Firefox's UTF-16 HTML",
         {{"text/html", QByteArray("\xFF\xFE<\0b\0>\0\xFC\0<\0/\0b\0>\0", 18)}},
         PasteboardType::string,
         "\xC3\xBC"},
        {"HTML as rich text, as it came",
         {{"text/plain", "plain"}, {"text/html", "<b>rich</b> &amp;"}},
         PasteboardType::html,
         "<b>rich</b> &amp;"},
        {"a missing type", {{"text/plain", "a"}}, PasteboardType::png, std::nullopt},
        {"a protocol target is no type", {{"TARGETS", "x"}}, "TARGETS", std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ListOffer offer(row.offer);
        EXPECT_EQ(PasteboardMime::data(offer, row.type), row.data);
    }
}

// As file managers write them; a cut list names its files as a copy does.
TEST(PasteboardMime, FileListsGiveTheFilesTheyName)
{
    const QByteArray both = "file:///tmp/a\r\nfile:///tmp/b%20c\r\n";
    const QByteArray nul(1, '\0');
    const struct
    {
        const char *name;
        const char *mime;
        QByteArray list;
    } rows[] = {
        {"a NUL at the end", "text/uri-list", "file:///tmp/a\r\nfile:///tmp/b%20c" + nul},
        {"NUL padding", "text/uri-list", both + QByteArray(5, '\0')},
        {"LF line ends", "text/uri-list", "file:///tmp/a\nfile:///tmp/b%20c\n"},
        {"no end to the last line", "text/uri-list", "file:///tmp/a\r\nfile:///tmp/b%20c"},
        {"comments", "text/uri-list", "# two files\r\nfile:///tmp/a\r\n#file:///tmp/x\r\nfile:///tmp/b%20c\r\n"},
        {"GNOME's copy, ending in a NUL", "x-special/gnome-copied-files",
         "copy\nfile:///tmp/a\r\nfile:///tmp/b%20c" + nul},
        {"GNOME's cut, CRLF", "x-special/gnome-copied-files", "cut\r\n" + both},
        {"MATE's cut", "x-special/mate-copied-files", "cut\nfile:///tmp/a\nfile:///tmp/b%20c"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ListOffer offer({{row.mime, row.list}});
        EXPECT_EQ(PasteboardMime::types(offer), QStringList{PasteboardType::fileURL});
        EXPECT_EQ(PasteboardMime::data(offer, PasteboardType::fileURL), both);
    }
}

TEST(PasteboardMime, AnAbandonedCopyGivesNoTextOfItsHtml)
{
    ListOffer offer(Offer{{"text/html", "<p>shown</p>"}});
    offer.m_abandoned = true;
    EXPECT_EQ(PasteboardMime::data(offer, PasteboardType::string), std::nullopt);
    EXPECT_EQ(PasteboardMime::data(offer, PasteboardType::html), "<p>shown</p>");
}

// A file manager's copy of a million files once took a gigabyte to read.
TEST(PasteboardMime, AFileListIsReadOnlyAsFarAsAClipKeepsIt)
{
    const QByteArray shortLine = "file:///tmp/a\r\n";
    const QByteArray longLine = "file:///tmp/" + QByteArray(2000, 'a') + "\r\n";
    const qsizetype longLinesRead = PasteboardContents::largestFileList / longLine.size();
    const struct
    {
        const char *name;
        QString mime;
        QByteArray list;
        qsizetype kept;
        bool cut;
    } rows[] = {
        {"as many files as a clip keeps", QStringLiteral("text/uri-list"),
         shortLine.repeated(PasteboardContents::mostFiles), PasteboardContents::mostFiles, false},
        {"one more", QStringLiteral("text/uri-list"), shortLine.repeated(PasteboardContents::mostFiles + 1),
         PasteboardContents::mostFiles, true},
        {"more bytes than are read: the half line at the cut is left out", QStringLiteral("text/uri-list"),
         longLine.repeated(longLinesRead + 2), longLinesRead, true},
        {"GNOME's list alike", QStringLiteral("x-special/gnome-copied-files"),
         "copy\n" + longLine.repeated(longLinesRead + 2), (PasteboardContents::largestFileList - 5) / longLine.size(),
         true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ListOffer offer({{row.mime, row.list}});
        const std::optional<QByteArray> list = PasteboardMime::data(offer, PasteboardType::fileURL);
        ASSERT_TRUE(list);
        const UriList::Start start = UriList::parseStart(*list, PasteboardContents::mostFiles + 1);
        EXPECT_EQ(start.urls.size(), row.kept);
        EXPECT_EQ(start.cut, row.cut);
    }
}

TEST(PasteboardMime, WritesEveryFormOtherAppsLookFor)
{
    const std::unique_ptr<QMimeData> written(PasteboardMime::mimeData({
        {PasteboardType::string, "text"},
        {PasteboardType::fileURL, "file:///tmp/a%20b\r\n"},
        {PasteboardType::concealed, ""},
    }));

    EXPECT_EQ(written->data("text/plain"), "text");
    EXPECT_EQ(written->data("text/plain;charset=utf-8"), "text");
    EXPECT_EQ(written->data("text/uri-list"), "file:///tmp/a%20b\r\n");
    EXPECT_EQ(written->data("x-special/gnome-copied-files"), "copy\nfile:///tmp/a%20b");
    EXPECT_EQ(written->data("x-special/mate-copied-files"), "copy\nfile:///tmp/a%20b");
    EXPECT_EQ(written->data("x-kde-passwordManagerHint"), "secret");
    EXPECT_TRUE(written->hasFormat(PasteboardType::concealed));
}

TEST(PasteboardMime, WrittenItemReadsBackAsItWas)
{
    const PasteboardItem item{
        {PasteboardType::string, "Grüße"},
        {PasteboardType::rtf, "{\\rtf1 Grüße}"},
        {PasteboardType::html, "<b>Grüße</b>"},
        {PasteboardType::png, QByteArray("\x89PNG\0", 5)},
        {PasteboardType::tiff, "II*"},
        {PasteboardType::fileURL, "file:///tmp/a\r\nfile:///tmp/b\r\n"},
        {PasteboardType::concealed, ""},
        {PasteboardType::transient, ""},
        {PasteboardType::chromiumSourceURL, "https://example.org/"},
    };
    const std::unique_ptr<QMimeData> written(PasteboardMime::mimeData(item));
    ListOffer offer(*written);

    QStringList types = PasteboardMime::types(offer);
    types.sort();
    EXPECT_EQ(types, item.keys());
    for (auto it = item.cbegin(); it != item.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        EXPECT_EQ(PasteboardMime::data(offer, it.key()), it.value());
    }
}

} // namespace
