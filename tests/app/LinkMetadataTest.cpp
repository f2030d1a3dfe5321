#include "app/LinkMetadata.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace tamo;
using namespace Qt::StringLiterals;

namespace {

const QUrl page(QStringLiteral("https://example.com/articles/page.html"));

struct Case
{
    const char *name;
    QByteArray html;
    std::optional<QString> title;
    std::optional<QString> image;
    QByteArray contentType = {};
};

void check(const Case &c)
{
    SCOPED_TRACE(c.name);
    const LinkMetadata metadata = parseLinkMetadata(c.html, page, c.contentType);
    EXPECT_EQ(metadata.title, c.title);
    EXPECT_EQ(metadata.imageURL ? std::optional(metadata.imageURL->toString()) : std::nullopt, c.image);
}

TEST(LinkMetadata, ReadsOpenGraphTagsAndTitleInTheirVariousSpellings)
{
    const Case cases[] = {
        {"og tags beat the title",
         "<html><head><title>Fallback</title><meta property=\"og:title\" content=\"Hello\">"
         "<meta property=\"og:image\" content=\"https://cdn.example.com/a.png\"></head></html>",
         "Hello", "https://cdn.example.com/a.png"},
        {"title without og:title", "<title>Only a title</title>", "Only a title", std::nullopt},
        {"empty og:title falls back", "<meta property='og:title' content='  '><title>T</title>", "T", std::nullopt},
        {"name instead of property, content first", "<meta content='Named' name='og:title'>", "Named", std::nullopt},
        {"unquoted values, upper case", "<META PROPERTY=og:image CONTENT=/img/a.png><TITLE>Up</TITLE>", "Up",
         "https://example.com/img/a.png"},
        {"spaces around =, self-closing", "<meta property = \"og:title\"   content = \"Spaced\" />", "Spaced",
         std::nullopt},
        {"og:image:url", "<meta property=\"og:image:url\" content=\"https://example.com/u.png\">", std::nullopt,
         "https://example.com/u.png"},
        {"first of duplicates", "<meta property=og:title content=First><meta property=og:title content=Second>",
         "First", std::nullopt},
        {"> inside a quoted value", "<meta content=\"a > b\" property=\"og:title\">", "a > b", std::nullopt},
        {"white space collapsed", "<title>\n   Two\n\t lines&nbsp; </title>", "Two lines", std::nullopt},
        {"stray < in text", "<head>1 < 2 <title>1 < 2</title>", "1 < 2", std::nullopt},
        {"no metadata", "<html><head></head><body><p>Hi</p></body></html>", std::nullopt, std::nullopt},
        {"empty input", "", std::nullopt, std::nullopt},
    };
    for (const Case &c : cases)
        check(c);
}

TEST(LinkMetadata, DecodesCharacterReferences)
{
    const Case cases[] = {
        {"common references", "<title>Tom &amp; Jerry &#8211; &quot;Caf&eacute;&quot; &#x263A;&rsquo;s</title>",
         u"Tom & Jerry \u2013 \"Caf\u00e9\" \u263A\u2019s"_s, std::nullopt},
        {"unknown or unterminated references stay", "<title>&bogus; &amp &ampx; AT&T</title>",
         "&bogus; &amp &ampx; AT&T", std::nullopt},
        {"references to no character", "<title>a&#0;b&#xD800;c&#99999999999;</title>",
         u"a\uFFFDb\uFFFDc\uFFFD"_s, std::nullopt},
        {"in attribute values", "<meta property=og:title content='Q&amp;A'><meta property=og:image "
                                "content='/i.png?w=1&amp;h=2'>",
         "Q&A", "https://example.com/i.png?w=1&h=2"},
    };
    for (const Case &c : cases)
        check(c);
}

TEST(LinkMetadata, ResolvesTheImageAgainstThePageAndKeepsWebImagesOnly)
{
    const auto imageOf = [](const char *content) {
        return QByteArray("<meta property=og:image content=\"") + content + "\">";
    };
    const Case cases[] = {
        {"relative to the page's folder", imageOf("thumb.jpg"), std::nullopt,
         "https://example.com/articles/thumb.jpg"},
        {"relative to the root", imageOf("/thumb.jpg"), std::nullopt, "https://example.com/thumb.jpg"},
        {"scheme-relative", imageOf("//cdn.example.com/x.jpg"), std::nullopt, "https://cdn.example.com/x.jpg"},
        {"plain http", imageOf("http://example.org/x.jpg"), std::nullopt, "http://example.org/x.jpg"},
        {"padded", imageOf("  /x.jpg \n"), std::nullopt, "https://example.com/x.jpg"},
        {"script URL", imageOf("javascript:alert(1)"), std::nullopt, std::nullopt},
        {"data URL", imageOf("data:image/png;base64,iVBORw0KGgo="), std::nullopt, std::nullopt},
        {"file URL", imageOf("file:///etc/passwd"), std::nullopt, std::nullopt},
        {"empty", imageOf(""), std::nullopt, std::nullopt},
    };
    for (const Case &c : cases)
        check(c);
}

TEST(LinkMetadata, ReadsOnlyTheHeadsMarkup)
{
    const Case cases[] = {
        {"scripts, styles and comments",
         "<script>document.write('<title>Fake</title><meta property=\"og:title\" content=\"Fake\">')</script>"
         "<style>/* <title>Styled</title> */</style>"
         "<!-- <meta property=\"og:title\" content=\"Commented\"> --><title>Real</title>",
         "Real", std::nullopt},
        {"end tags inside script strings", "<script>var s = \"</div></title>\";</script><title>After</title>",
         "After", std::nullopt},
        {"end tag in other case", "<SCRIPT>x = '<title>no</title>'</ScRiPt ><title>Yes</title>", "Yes",
         std::nullopt},
        {"doctype and processing instruction", "<!DOCTYPE html><?xml version=\"1.0\"?><title>Doc</title>", "Doc",
         std::nullopt},
        {"body ignored", "<head></head><body><svg><title>Tooltip</title></svg>"
                         "<meta property=og:title content=Late></body>",
         std::nullopt, std::nullopt},
        {"unterminated title", "<title>Never closed and very long", std::nullopt, std::nullopt},
        {"unterminated attribute", "<meta property=\"og:title\" content=\"Open", std::nullopt, std::nullopt},
        {"unterminated comment", "<title>Kept</title><!-- <meta property=og:image content=/x.png>", "Kept",
         std::nullopt},
    };
    for (const Case &c : cases)
        check(c);
}

TEST(LinkMetadata, DecodesTheTextInThePagesEncoding)
{
    const QByteArray quotedCafe1252 = "\x93" "Caf\xE9" "\x94";
    const QString quotedCafe = u"\u201CCaf\u00E9\u201D"_s;
    const QByteArray cafeUtf8 = QStringLiteral("Café").toUtf8();
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray utf16Page = utf16.encode(u"<meta charset=windows-1252><title>Caf\u00E9 \u263A</title>"_s);

    const Case cases[] = {
        {"meta charset", "<meta charset=\"windows-1252\"><title>" + quotedCafe1252 + "</title>", quotedCafe,
         std::nullopt},
        {"latin-1 label read as windows-1252", "<meta charset=ISO-8859-1><title>" + quotedCafe1252 + "</title>",
         quotedCafe, std::nullopt},
        {"http-equiv", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\"><title>"
                           + quotedCafe1252 + "</title>",
         quotedCafe, std::nullopt},
        {"header beats meta", "<meta charset=windows-1252><title>" + cafeUtf8 + "</title>", "Café", std::nullopt,
         "text/html; charset=\"UTF-8\""},
        {"header alone", "<title>" + quotedCafe1252 + "</title>", quotedCafe, std::nullopt,
         "text/html;charset=windows-1252"},
        {"UTF-8 without a declaration", "<title>" + cafeUtf8 + "</title>", "Café", std::nullopt},
        {"unknown label", "<meta charset=x-no-such-thing><title>" + cafeUtf8 + "</title>", "Café", std::nullopt},
        {"UTF-16 label in a byte page", "<meta charset=utf-16><title>" + cafeUtf8 + "</title>", "Café", std::nullopt},
        {"UTF-8 byte-order mark beats all", "\xEF\xBB\xBF<meta charset=windows-1252><title>" + cafeUtf8 + "</title>",
         "Café", std::nullopt, "text/html; charset=windows-1252"},
        {"UTF-16 page", utf16Page, u"Caf\u00E9 \u263A"_s, std::nullopt},
    };
    for (const Case &c : cases)
        check(c);
}

} // namespace

namespace {

TEST(LinkMetadata, FindsTheSiteIconAmongTheLinks)
{
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"<link rel='stylesheet' href='/a.css'><link rel='icon' href='/i.png'>", "https://example.com/i.png"},
        {"<LINK REL='Shortcut Icon' HREF='//cdn.example.com/f.ico'>", "https://cdn.example.com/f.ico"},
        {"<link rel='apple-touch-icon' href='/t.png'>", std::nullopt},
        {"<link rel='icon' href='javascript:alert(1)'>", std::nullopt},
        {"<body><link rel='icon' href='/late.png'>", std::nullopt},
    };
    for (const auto &[html, icon] : cases) {
        const LinkMetadata metadata = parseLinkMetadata(html, page);
        EXPECT_EQ(metadata.iconURL ? std::optional(metadata.iconURL->toString()) : std::nullopt, icon) << html.constData();
    }
}

} // namespace
