// How often the secret scan takes ordinary text for a secret, on a large
// body of text nobody here wrote: this machine's /usr/share/doc (decompressed),
// a few hundred man pages rendered as text, /usr/include and Python's library.
// The body is cut and scanned as RealTextScan.h says; flags on the
// documentation examples listed below are counted apart, each judged there.
//
//   tamo_secret_real_text_bench [megabytes per source, default 17]
#include "RealTextScan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThreadPool>
#include <QtConcurrent>

#include <algorithm>

using namespace tamo::bench;

namespace {

// Credentials that documentation prints as examples, each judged by hand.
const ListedExample documentedExamples[] = {
    {"oauthlib/oauth2/rfc6749", "SplxlOBeZQQYbYS6WxSbIA", "RFC 6749's example authorization code, in a docstring quoting the RFC"},
    {"oauthlib/oauth2/rfc6749", "2YotnFZFEjr1zCsicMWpAA", "RFC 6749's example access token, in a docstring quoting the RFC"},
    {"oauthlib/oauth2/rfc6749", "tGzv3JOkF0XG5Qx2TlKWIA", "RFC 6749's example refresh token, in a docstring quoting the RFC"},
    {"oauthlib/oauth2/rfc6749", "czZCaGRSa3F0MzpnWDFmQmF0M2JW", "RFC 6749's example client credentials (s6BhdRkqt3:gX1fBat3bV) in Basic form"},
    {"oauthlib/oauth2/rfc6749", "45ghiukldjahdnhzdauz", "RFC 7009's example token to revoke, in a docstring quoting the RFC"},
    {"oauthlib/oauth2/rfc6749", "u3F05aEObJuP2k7DordviIgW5wl52N", "a test's authorization code in a redirect URL, shaped as a real one"},
    {"oauthlib/oauth1/rfc5849", "0685bd9184jfhq22", "RFC 5849's example consumer key, in a docstring quoting the RFC"},
    {"python3-pip/html/topics/authentication.md", "he%2F%2Fo", "pip's documentation of an index URL with a password (he//o, percent-encoded)"},
    {"python3-jwt/changelog", "PUxE7xn52aTCohGiWoSdMBZGiYAHwE5FYie0Y1qUT68", "PyJWT's changelog example for PyJWKClient: a test tenant's token that lived ten seconds in 2019"},
    {"requests_oauthlib/oauth1_session.py", "2kjshdfp92i34asdasd", "the module's docstring example of the token secret an OAuth 1 provider returns"},
    {"urllib/request.py", "geheim$parole", "the module's docstring example of a password given to a password manager"},
};

QString renderedManPage(const QString &path)
{
    QProcess man;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MANWIDTH", "80");
    environment.insert("MAN_KEEP_FORMATTING", "0");
    man.setProcessEnvironment(environment);
    man.start("man", {"-l", path});
    man.waitForFinished(60000);
    return QString::fromUtf8(man.readAllStandardOutput());
}

QList<SourceText> manPages(int count, std::mt19937 &random)
{
    QStringList pages;
    for (const char *section : {"man1", "man3", "man5", "man8"})
        pages += sortedFiles(QStringLiteral("/usr/share/man/") + section, {"*.gz"});
    std::shuffle(pages.begin(), pages.end(), random);
    pages = pages.first(std::min<qsizetype>(count, pages.size()));
    QThreadPool pool;
    pool.setMaxThreadCount(4);
    const QStringList rendered = QtConcurrent::blockingMapped<QStringList>(&pool, pages, renderedManPage);
    QList<SourceText> texts;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (!rendered[i].isEmpty())
            texts.append({pages[i], rendered[i]});
    }
    return texts;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 perSource = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 17) * 1024 * 1024;
    std::mt19937 random(20261207);

    QList<SourceText> texts;
    texts += readUpTo(sortedFiles("/usr/share/doc", {}), perSource, random);
    texts += manPages(300, random);
    texts += readUpTo(sortedFiles("/usr/include", {}), perSource, random);
    QStringList python;
    for (const QFileInfo &folder : QDir("/usr/lib").entryInfoList({"python3*"}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        python += sortedFiles(folder.filePath(), {"*.py"});
    texts += readUpTo(python, perSource, random);

    scanAndReport(texts, documentedExamples, random);
    return 0;
}
