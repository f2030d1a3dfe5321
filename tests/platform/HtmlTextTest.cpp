#include "platform/HtmlText.h"

#include <QTextDocumentFragment>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

std::optional<QString> plainText(const QString &html)
{
    return HtmlText::plainText(html, [] { return false; });
}

// What users got from the pages they copied before: Qt's rich text reader.
TEST(HtmlText, OrdinaryPagesGiveTheTextTheyGaveBefore)
{
    const QStringList pages{
        QStringLiteral("plain text only"),
        QStringLiteral("<p>Hello <b>world</b>!</p><p>Second   paragraph.</p>"),
        QStringLiteral("<ul><li>Milk</li><li>Eggs &amp; ham</li></ul>"),
        QStringLiteral("<ol><li><p>x</p></li><li>y</li></ol>"),
        QStringLiteral("<h1>A</h1><h2>B</h2><h3>C</h3>text"),
        QStringLiteral("<meta charset=\"utf-8\"><span style=\"color:red\">Red</span> text"),
        QStringLiteral("<html><body><!--StartFragment--><p>Copied</p><!--EndFragment--></body></html>"),
        QStringLiteral("<div>line one<br>line two</div>"),
        QStringLiteral("<p>one<br/>two<br />three</p>"),
        QStringLiteral("a<br><br>b"),
        QStringLiteral("x<br>"),
        QStringLiteral("<p>caf&eacute; &ndash; 5&euro; &lt;tag&gt; Tom&#39;s &#x263A;</p>"),
        QStringLiteral("a &nbsp; b"),
        QStringLiteral("<pre>int main() {\n    return 0;\n}</pre>"),
        QStringLiteral("<pre>  a\n   b  \n</pre>"),
        QStringLiteral("<blockquote><p>quoted</p></blockquote><p>reply</p>"),
        QStringLiteral("<a href=\"https://example.com/?a=1&amp;b=2\">example.com</a> and <code>x  &lt; y</code>"),
        QStringLiteral("<div><span>a</span> <span>b</span></div>"),
        QStringLiteral("<em>a</em>, <strong>b</strong><sup>2</sup>"),
        QStringLiteral("<dl><dt>term</dt><dd>meaning</dd></dl>"),
        QStringLiteral("<script>var shown = 1;</script>shown"),
        QStringLiteral("<style>p { color: red }</style>shown"),
        QStringLiteral("<title>Page</title><p>body</p>"),
        QStringLiteral("<!DOCTYPE html><?xml version=\"1.0\"?><p>x</p>"),
        QStringLiteral("a\r\nb\n\n\tc"),
        QStringLiteral("<p></p><p>x</p>"),
        QStringLiteral("text<div></div>more"),
    };
    for (const QString &page : pages) {
        SCOPED_TRACE(page.toStdString());
        EXPECT_EQ(plainText(page), QTextDocumentFragment::fromHtml(page).toPlainText());
    }
}

// Where Qt's reader left its own marks or lost lines, the text is the one a
// browser shows.
TEST(HtmlText, PagesReadAsABrowserShowsThem)
{
    struct Row
    {
        QString html;
        QString text;
    };
    const QList<Row> rows{
        {QStringLiteral("<table><tr><th>a</th><th>b</th></tr><tr><td>1</td><td> 2 </td></tr></table>after"),
         QStringLiteral("a\tb\n1\t2\nafter")},
        {QStringLiteral("<tr><td></td><td>x</td></tr><tr><td><p>a</p></td><td>b</td></tr>"),
         QStringLiteral("\tx\na\n\tb")},
        {QStringLiteral("<div>a<div>b</div>c</div>"), QStringLiteral("a\nb\nc")},
        {QStringLiteral("<div>a</div>b<div>c</div>"), QStringLiteral("a\nb\nc")},
        {QStringLiteral("<div>a</div><div><br></div><div>b</div>"), QStringLiteral("a\n\nb")},
        {QStringLiteral("<ul>\n  <li>one</li>\n  <li>two </li>\n</ul>"), QStringLiteral("one\ntwo")},
        {QStringLiteral("a<img src=x alt=pic>b<hr>c"), QStringLiteral("ab\nc")},
        {QStringLiteral("<head><style>a</style></head>x"), QStringLiteral("x")},
        {QStringLiteral("<p>a<script>x()</script>b</p>"), QStringLiteral("ab")},
        {QStringLiteral("<a title='x > y' href=\"a>b\">link</a>"), QStringLiteral("link")},
        {QStringLiteral("<span class=it's>a</span> b <i>c</i>"), QStringLiteral("a b c")},
        {QStringLiteral("a < b and c <3 d</>e"), QStringLiteral("a < b and c <3 de")},
        {QStringLiteral("<pre>\nkept\r\n  lines</pre>"), QStringLiteral("kept\n  lines")},
        {QStringLiteral("a</pre><pre>x\n  y</pre>"), QStringLiteral("a\nx\n  y")},
        {QStringLiteral("<SCRIPT>document.write('<p>x</p>')</Script>shown"), QStringLiteral("shown")},
        {QStringLiteral("before<!-- a comment with <p>tags</p> -->after"), QStringLiteral("beforeafter")},
        {QStringLiteral("<!-->shown"), QStringLiteral("shown")},
        {QStringLiteral("shown<!-- never closed <p>hidden"), QStringLiteral("shown")},
        {QStringLiteral("shown<script>never closed"), QStringLiteral("shown")},
        {QStringLiteral("shown<a href=\"never closed"), QStringLiteral("shown")},
        {QStringLiteral("&#0; &#x110000; &bogus;"), QStringLiteral("\uFFFD \uFFFD &bogus;")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.html.toStdString());
        EXPECT_EQ(plainText(row.html), row.text);
    }
}

// The page is read in slices; no character reference or line is split
// where two slices meet.
TEST(HtmlText, LongTextReadsWholeAcrossItsSlices)
{
    for (const qsizetype length : {16 * 1024 - 3, 16 * 1024 - 1, 16 * 1024, 40 * 1024}) {
        SCOPED_TRACE(length);
        const QString text = QString(length, u'x') + QStringLiteral("&eacute;\r\nend");
        EXPECT_EQ(plainText(QStringLiteral("<pre>") + text), QString(length, u'x') + QStringLiteral("\u00E9\nend"));
    }
}

TEST(HtmlText, DeepNestingIsReadOnceAndAskedAboutAsItGoes)
{
    const qsizetype depth = 256 * 1024 / 5;
    const QString html = QStringLiteral("<div>").repeated(depth) + QStringLiteral("deep")
                         + QStringLiteral("</div>").repeated(depth) + QStringLiteral("after");
    int asked = 0;
    EXPECT_EQ(HtmlText::plainText(html, [&] { return ++asked, false; }), QStringLiteral("deep\nafter"));
    // Every 16 K characters.
    EXPECT_GE(asked, html.size() / (16 * 1024));
}

// 18 MB of a flat table: its text and what holds it are no larger than the page.
TEST(HtmlText, AFlatTableTakesNoMoreThanItsPage)
{
    const QString row = QStringLiteral("<tr><td>cell</td><td>&amp;</td></tr>\n");
    const QString html = QStringLiteral("<table>") + row.repeated(18 * 1024 * 1024 / row.size())
                         + QStringLiteral("</table>");
    const std::optional<QString> text = plainText(html);
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->startsWith(QStringLiteral("cell\t&\ncell\t&\n")));
    EXPECT_EQ(text->count(u'\n'), 18 * 1024 * 1024 / row.size() - 1);
    EXPECT_LE(text->capacity(), html.size());
}

TEST(HtmlText, StopsAtTheFirstAnswerThatSaysSo)
{
    const QString html = QStringLiteral("<div>").repeated(200'000);
    int asked = 0;
    EXPECT_EQ(HtmlText::plainText(html, [&] { return ++asked == 3; }), std::nullopt);
    EXPECT_EQ(asked, 3);
}

} // namespace
