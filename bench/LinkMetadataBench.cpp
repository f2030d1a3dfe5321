// Link-preview parse figures: how long the main thread is held reading the
// metadata of a page at the 2 MiB download cap, for the shapes that make the
// scanner read the most.
#include "app/LinkMetadata.h"

#include <QByteArray>
#include <QUrl>

#include <benchmark/benchmark.h>

using namespace tamo;

namespace {

constexpr qsizetype pageCap = 2 * 1024 * 1024;

const QByteArray metadata = "<meta property=\"og:title\" content=\"A page &amp; its title\">"
                            "<meta property=\"og:image\" content=\"/images/card.png?w=1200&amp;h=630\">"
                            "<title>A page &#8211; Site</title>";

QByteArray repeatedTo(const QByteArray &unit, qsizetype size)
{
    QByteArray filler;
    filler.reserve(size + unit.size());
    while (filler.size() < size)
        filler += unit;
    return filler;
}

// A single-page app: one inline script fills the head, full of markup in strings.
QByteArray scriptHead()
{
    const QByteArray code = "var row = '<div class=\"row\">' + items[i] + '</div>'; if (a < b && c > d) { x(); }\n";
    return "<!DOCTYPE html><html><head><script>" + repeatedTo(code, pageCap - 1024) + "</script>" + metadata
           + "</head><body></body></html>";
}

// No head or body tags: every tag and attribute up to the cap is read.
QByteArray tagSoup()
{
    const QByteArray tag = "<div class=\"card wide\" data-id='1234' hidden><span title=x>Text &amp; more</span></div>\n";
    return metadata + repeatedTo(tag, pageCap - metadata.size());
}

// The usual page: a modest head, then a body that is never read.
QByteArray ordinaryPage()
{
    const QByteArray meta = "<meta name=\"description\" content=\"Something about the page\">\n"
                            "<link rel=\"stylesheet\" href=\"/style.css\">\n";
    const QByteArray body = "<p class=\"text\">Paragraph with <a href=\"/x\">a link</a> and words.</p>\n";
    return "<!DOCTYPE html><html><head>" + repeatedTo(meta, 20 * 1024) + metadata + "</head><body>"
           + repeatedTo(body, pageCap - 21 * 1024) + "</body></html>";
}

void parse(benchmark::State &state, const QByteArray &html)
{
    const QUrl page(QStringLiteral("https://example.com/articles/page.html"));
    for (auto _ : state)
        benchmark::DoNotOptimize(parseLinkMetadata(html, page));
    state.SetBytesProcessed(state.iterations() * html.size());
}

BENCHMARK_CAPTURE(parse, script_head_2MiB, scriptHead())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parse, tag_soup_2MiB, tagSoup())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parse, ordinary_page_2MiB, ordinaryPage())->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
