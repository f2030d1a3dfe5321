// How often the secret scan takes what a developer copies for a secret, on
// text of public projects nobody here wrote: Go, Rust, JavaScript and
// TypeScript, Python sources and configuration from Debian's library
// packages and from a pinned set of npm packages (installed here on first
// run), YAML and Kubernetes manifests, HTML pages, lockfiles (npm's own, a
// yarn.lock, go.sum, and Cargo.lock, yarn.lock and pip --hash= lines written
// from the real checksums the packages ship), pages with subresource
// integrity hashes, nonces and form ids, data URIs of the images under
// /usr/share, git log and terminal output; then Ruby, PHP and Java sources
// and configuration from Debian's packages and the JDK's sources, the
// translations (JSON, JavaScript, YAML, .po, XLIFF, PHP arrays) those and
// a pinned set of npm packages ship in many languages, and sign-in pages
// and request logs with their form tokens. The body is cut and scanned as
// RealTextScan.h says; flags on the listed test keys and documentation
// examples are counted apart, each judged below.
//
//   tamo_secret_dev_text_bench [megabytes per source, default 7]
#include "RealTextScan.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>

using namespace tamo::bench;

namespace {

// Test keys committed in the projects read and documentation examples, each judged by hand.
const ListedExample listedExamples[] = {
    {"oauthlib/oauth2/rfc6749", "u3F05aEObJuP2k7DordviIgW5wl52N",
     "a test's authorization code in a redirect URL, shaped as a real one (the real-text bench lists it too)"},
    {"oauthlib/oauth2/rfc6749", "tGzv3JOkF0XG5Qx2TlKWIA", "RFC 6749's example refresh token, quoted in a docstring"},
    {"oauthlib/oauth2/rfc6749", "SplxlOBeZQQYbYS6WxSbIA", "RFC 6749's example authorization code in a redirect, quoted in a docstring"},
    {"oauthlib/oauth2/rfc6749", "2YotnFZFEjr1zCsicMWpAA", "RFC 6749's example access token in a redirect, quoted in a docstring"},
    {"oauthlib/oauth2/rfc6749", "czZCaGRSa3F0MzpnWDFmQmF0M2JW",
     "RFC 6749's example client credentials (s6BhdRkqt3:gX1fBat3bV) in a Basic header, quoted in a docstring"},
    {"active_model/secure_password.rb", "mUc3m00RsqyRe", "the password Rails' documentation of has_secure_password shows"},
    {"uri/generic.rb", "V3ry_S3nsit1ve", "the password in a URL of Ruby's URI documentation"},
    {"tomcat10-docs", "chang3m3N#w", "the password Tomcat's host manager how-to gives its example user"},
};

// npm packages read for JavaScript and TypeScript and for npm's lockfile,
// pinned so that every run reads the same text.
const QStringList npmPackages{"express@4.18.2", "react@18.2.0",         "react-dom@18.2.0", "typescript@5.3.3",
                              "webpack@5.89.0", "@octokit/rest@20.0.2", "eslint@8.56.0",    "jest@29.7.0"};

// npm packages that ship their interfaces' words in many languages, login
// and password labels among them, and Rails' own script for its forms.
const QStringList localeNpmPackages{"@vee-validate/i18n@4.15.1", "i18n-iso-countries@7.14.0", "zod-i18n-map@2.27.0",
                                    "@aws-amplify/ui@6.15.6",    "@clerk/localizations@4.18.0", "jquery-validation@1.22.1",
                                    "@payloadcms/translations@3.90.2", "@rails/ujs@7.1.600"};

QString outputOf(const QString &program, const QStringList &arguments, const QString &folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    process.waitForFinished(600000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// `packages`, installed into the cache folder `name` on the first run with
// npm's `options`.
QString npmFolder(const QString &name, const QStringList &packages, const QStringList &options = {})
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/" + name;
    if (QFileInfo::exists(folder + "/package-lock.json"))
        return folder;
    QDir().mkpath(folder);
    QFile manifest(folder + "/package.json");
    if (manifest.open(QIODevice::WriteOnly))
        manifest.write(R"({"name": "dev-text", "version": "1.0.0", "private": true})");
    manifest.close();
    const QStringList arguments = QStringList{"install", "--no-audit", "--no-fund", "--ignore-scripts"} + options + packages;
    QProcess npm;
    npm.setWorkingDirectory(folder);
    npm.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    npm.start("npm", arguments);
    if (!npm.waitForFinished(900000) || npm.exitCode() != 0)
        std::fprintf(stderr, "npm install failed: the npm packages are left out\n");
    return folder;
}

QStringList filesUnder(const QStringList &roots, const QStringList &nameFilters)
{
    QStringList files;
    for (const QString &root : roots)
        files += sortedFiles(root, nameFilters);
    return files;
}

// yarn.lock entries for the packages of npm's lockfile, as yarn writes them.
QString yarnLockOf(const QJsonObject &packages)
{
    QString lock = "# THIS IS AN AUTOGENERATED FILE. DO NOT EDIT THIS FILE DIRECTLY.\n# yarn lockfile v1\n\n";
    for (auto it = packages.begin(); it != packages.end(); ++it) {
        const QString name = it.key().section("node_modules/", -1);
        const QJsonObject package = it.value().toObject();
        if (name.isEmpty() || !package.contains("integrity"))
            continue;
        lock += QString("\"%1@^%2\":\n  version \"%2\"\n  resolved \"%3\"\n  integrity %4\n")
                    .arg(name, package["version"].toString(), package["resolved"].toString(), package["integrity"].toString());
        const QJsonObject dependencies = package["dependencies"].toObject();
        if (!dependencies.isEmpty())
            lock += "  dependencies:\n";
        for (auto dependency = dependencies.begin(); dependency != dependencies.end(); ++dependency)
            lock += QString("    %1 \"%2\"\n").arg(dependency.key(), dependency.value().toString());
        lock += "\n";
    }
    return lock;
}

// A Cargo.lock of the crates Debian ships, with the checksums of their .crate files.
QString cargoLockOf(const QString &registry)
{
    QString lock = "# This file is automatically @generated by Cargo.\n# It is not intended for manual editing.\nversion = 3\n\n";
    for (const QFileInfo &crate : QDir(registry).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        QFile checksums(crate.filePath() + "/.cargo-checksum.json");
        if (!checksums.open(QIODevice::ReadOnly))
            continue;
        const QString checksum = QJsonDocument::fromJson(checksums.readAll())["package"].toString();
        const qsizetype dash = crate.fileName().lastIndexOf(u'-');
        if (checksum.isEmpty() || dash < 0)
            continue;
        lock += QString("[[package]]\nname = \"%1\"\nversion = \"%2\"\nsource = \"registry+https://github.com/rust-lang/crates.io-index\"\n"
                        "checksum = \"%3\"\n\n")
                    .arg(crate.fileName().left(dash), crate.fileName().mid(dash + 1), checksum);
    }
    return lock;
}

// pip requirements with --hash= lines, from the hashes the installed distributions record.
QString pipRequirementsOf(const QString &sitePackages)
{
    QString requirements;
    for (const QFileInfo &info : QDir(sitePackages).entryInfoList({"*.dist-info"}, QDir::Dirs, QDir::Name)) {
        QFile record(info.filePath() + "/RECORD");
        if (!record.open(QIODevice::ReadOnly))
            continue;
        const QString release = info.completeBaseName();
        requirements += release.section(u'-', 0, 0) + "==" + release.section(u'-', 1, 1);
        int hashes = 0;
        while (!record.atEnd() && hashes < 3) {
            const QByteArray hash = record.readLine().split(',').value(1);
            if (!hash.startsWith("sha256="))
                continue;
            const QByteArray digest = QByteArray::fromBase64(hash.mid(7).trimmed(), QByteArray::Base64UrlEncoding);
            requirements += " \\\n    --hash=sha256:" + QString::fromLatin1(digest.toHex());
            ++hashes;
        }
        requirements += "\n";
    }
    return requirements;
}

QString randomBase64(std::mt19937 &random, int bytes, QByteArray::Base64Options options = QByteArray::Base64Encoding)
{
    QByteArray raw;
    for (int i = 0; i < bytes; ++i)
        raw.append(char(random()));
    return QString::fromLatin1(raw.toBase64(options | QByteArray::OmitTrailingEquals));
}

// Pages loading real scripts and style sheets with their integrity hashes,
// under a policy with a nonce, with a form's build id: as a server renders them.
QList<SourceText> integrityPages(const QStringList &assets, std::mt19937 &random)
{
    QList<SourceText> pages;
    constexpr int assetsPerPage = 12;
    for (qsizetype first = 0; first < assets.size(); first += assetsPerPage) {
        const QString nonce = randomBase64(random, 16);
        QString page = QString("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                               "<meta http-equiv=\"Content-Security-Policy\" content=\"script-src 'nonce-%1' 'strict-dynamic'; "
                               "object-src 'none'; base-uri 'self'\">\n")
                           .arg(nonce);
        for (const QString &asset : assets.mid(first, assetsPerPage)) {
            QFile file(asset);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString integrity = "sha384-" + QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha384).toBase64());
            const QString url = "https://cdn.jsdelivr.net/npm/" + asset.section(u'/', 4);
            page += asset.endsWith(".css")
                ? QString("<link rel=\"stylesheet\" href=\"%1\" integrity=\"%2\" crossorigin=\"anonymous\">\n").arg(url, integrity)
                : QString("<script src=\"%1\" integrity=\"%2\" crossorigin=\"anonymous\" nonce=\"%3\"></script>\n").arg(url, integrity, nonce);
        }
        page += QString("<script nonce=\"%1\">window.dataLayer = window.dataLayer || [];</script>\n</head>\n<body>\n"
                        "<form action=\"/user/login\" method=\"post\" id=\"user-login-form\" accept-charset=\"UTF-8\">\n"
                        "  <input type=\"hidden\" name=\"form_build_id\" value=\"form-%2\" />\n"
                        "  <input type=\"hidden\" name=\"form_id\" value=\"user_login_form\" />\n"
                        "  <input type=\"submit\" id=\"edit-submit\" value=\"Log in\" class=\"button\" />\n</form>\n</body>\n</html>\n")
                    .arg(nonce, randomBase64(random, 32, QByteArray::Base64UrlEncoding));
        pages.append({"integrity page " + QString::number(first / assetsPerPage), page});
    }
    return pages;
}

// The images under /usr/share as data URIs in a page or a style sheet, until `budget` characters.
QList<SourceText> dataUris(QStringList images, qint64 budget, std::mt19937 &random)
{
    constexpr qint64 maxImage = 400 * 1024;
    std::shuffle(images.begin(), images.end(), random);
    // The largest first: the longer a payload, the likelier it spells a token's shape by chance.
    std::stable_partition(images.begin(), images.end(), [](const QString &path) { return QFileInfo(path).size() > 100 * 1024; });
    QList<SourceText> uris;
    qint64 written = 0;
    for (const QString &path : images) {
        QFile file(path);
        if (written >= budget || file.size() > maxImage || !file.open(QIODevice::ReadOnly))
            continue;
        const QString type = path.endsWith(".png") ? "image/png" : "image/jpeg";
        const QString uri = "data:" + type + ";base64," + QString::fromLatin1(file.readAll().toBase64());
        const QString text = uris.size() % 2 ? ".hero {\n  background-image: url(\"" + uri + "\");\n}\n"
                                             : "<img alt=\"\" width=\"64\" src=\"" + uri + "\">\n";
        written += text.size();
        uris.append({path + " as a data URI", text});
    }
    return uris;
}

// The JDK's own Java sources, unpacked into the cache on the first run.
QString javaSourceFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/tamo-dev-text-java";
    if (!QFileInfo::exists(folder + "/java.base")) {
        QDir().mkpath(folder);
        outputOf("unzip", {"-q", "-o", "/usr/lib/jvm/openjdk-17/lib/src.zip", "java.base/*", "java.sql/*", "java.net.http/*",
                           "java.naming/*", "java.security.jgss/*", "jdk.httpserver/*", "-d", folder});
    }
    return folder;
}

// The files of `files` in a folder of translations: a locale's, a
// package's named for them (rails-i18n, @clerk/localizations).
QStringList translations(const QStringList &files)
{
    static const QRegularExpression translationFolder(R"((locale|i18n|l10n|/langs?/|translation|dictionar|localization))",
                                                      QRegularExpression::CaseInsensitiveOption);
    return files.filter(translationFolder);
}

QString randomAlphanumeric(std::mt19937 &random, int length)
{
    static constexpr char alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QString text;
    for (int i = 0; i < length; ++i)
        text += QLatin1Char(alphabet[random() % (sizeof alphabet - 1)]);
    return text;
}

// Sign-in pages as Rails, Laravel and Django render them, with the form
// token every visitor gets (%1), and the request logs they leave.
enum class FormToken { rails, laravel, django };
struct FormPage
{
    const char *what;
    FormToken token;
    const char *text;
};
const FormPage formPages[] = {
    {"Rails sign-in page", FormToken::rails, R"(<head>
  <title>Sign in</title>
  <meta name="csrf-param" content="authenticity_token" />
<meta name="csrf-token" content="%1" />
</head>
<body>
<form class="new_user" id="new_user" action="/users/sign_in" accept-charset="UTF-8" method="post"><input type="hidden" name="authenticity_token" value="%1" autocomplete="off" />
  <input autofocus="autofocus" autocomplete="email" type="email" value="" name="user[email]" id="user_email" />
  <input autocomplete="current-password" type="password" name="user[password]" id="user_password" />
  <input type="submit" name="commit" value="Log in" data-disable-with="Log in" />
</form>
</body>
)"},
    {"Rails development log", FormToken::rails, R"(Started POST "/users/sign_in" for 127.0.0.1 at 2024-03-02 10:14:07 +0100
Processing by Devise::SessionsController#create as HTML
  Parameters: {"authenticity_token"=>"%1", "user"=>{"email"=>"ada@example.org", "password"=>"[FILTERED]", "remember_me"=>"0"}, "commit"=>"Log in"}
  User Load (0.4ms)  SELECT "users".* FROM "users" WHERE "users"."email" = $1 LIMIT $2
Redirected to http://localhost:3000/
Completed 303 See Other in 212ms (ActiveRecord: 1.9ms | Allocations: 9140)
)"},
    {"Laravel login page", FormToken::laravel, R"(<meta name="csrf-token" content="%1">
<form method="POST" action="http://localhost/login">
    <input type="hidden" name="_token" value="%1" autocomplete="off">
    <input id="password" type="password" name="password" required autocomplete="current-password">
</form>
[2024-03-02 10:14:07] local.DEBUG: login attempt {"_token":"%1","email":"ada@example.org"}
)"},
    {"Django login page", FormToken::django, R"(<form method="post" action="/accounts/login/"><input type="hidden" name="csrfmiddlewaretoken" value="%1">
  <p><label for="id_password">Password:</label> <input type="password" name="password" autocomplete="current-password" required id="id_password"></p>
</form>
)"},
};

// The pages above, each token new for the page.
QList<SourceText> formPagesAndLogs(std::mt19937 &random)
{
    constexpr int pages = 200;
    QList<SourceText> texts;
    for (int page = 0; page < pages; ++page) {
        // Rails pads its tokens unless they are url-safe.
        const QString rails = page % 2 ? randomBase64(random, 64, QByteArray::Base64UrlEncoding) : randomBase64(random, 64) + "==";
        const QString laravel = randomAlphanumeric(random, 40);
        const QString django = randomAlphanumeric(random, 64);
        for (const FormPage &form : formPages) {
            const QString &token = form.token == FormToken::rails ? rails : form.token == FormToken::laravel ? laravel : django;
            texts.append({QString("%1 %2").arg(QLatin1String(form.what)).arg(page), QString::fromLatin1(form.text).arg(token)});
        }
    }
    return texts;
}

QList<SourceText> terminalOutput(const QString &npm, const QString &sourceFolder)
{
    const QList<std::pair<QString, QStringList>> commands = {
        {"git", {"-C", sourceFolder, "log", "--stat", "-n", "2000"}},
        {"dpkg", {"-l"}},
        {"apt-cache", {"show", "golang-github-prometheus-client-golang-dev", "librust-tokio-dev", "node-express", "python3-kubernetes", "libre2-dev", "qt6-base-dev"}},
        {"ls", {"-la", "/usr/bin", "/usr/lib/x86_64-linux-gnu"}},
        {"sha256sum", sortedFiles("/usr/share/gocode/src", {"go.mod"})},
        {"npm", {"ls", "--all", "--long"}},
        {"ps", {"aux"}},
        {"df", {"-h"}},
    };
    QList<SourceText> outputs;
    for (const auto &[program, arguments] : commands) {
        const QString output = outputOf(program, arguments, npm);
        if (!output.isEmpty())
            outputs.append({"$ " + program + " " + arguments.join(u' ').left(80), output});
    }
    return outputs;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 perSource = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 7) * 1024 * 1024;
    std::mt19937 random(20261208);
    const QString npm = npmFolder("tamo-dev-text-npm", npmPackages);
    const QString go = "/usr/share/gocode/src";
    const QString rust = "/usr/share/cargo/registry";
    const QString sitePackages = "/usr/lib/python3/dist-packages";
    const QStringList javascript{"/usr/share/nodejs", npm + "/node_modules"};

    QList<SourceText> texts;
    // Adds a part of the body and says how large it is.
    const auto add = [&texts](const char *part, const QList<SourceText> &more) {
        qint64 characters = 0;
        for (const SourceText &text : more)
            characters += text.second.size();
        std::printf("%-40s %5lld texts %6.1f MB\n", part, qlonglong(more.size()), double(characters) / (1024 * 1024));
        texts += more;
    };
    add("Go", readUpTo(sortedFiles(go, {"*.go", "go.mod", "*.json", "*.md", "*.toml", "Makefile", "Dockerfile"}), perSource, random));
    add("Rust", readUpTo(sortedFiles(rust, {"*.rs", "Cargo.toml", "*.md"}), perSource, random));
    add("JavaScript and TypeScript", readUpTo(filesUnder(javascript, {"*.js", "*.mjs", "*.cjs", "*.ts", "*.tsx", "package.json", "*.md"}), perSource, random));
    add("Python", readUpTo(sortedFiles(sitePackages, {"*.py", "*.cfg", "*.ini"}), perSource, random));
    add("YAML and Kubernetes manifests", readUpTo(filesUnder({go, rust, sitePackages, "/usr/share/doc", "/usr/share/nodejs", npm + "/node_modules"}, {"*.yaml", "*.yml"}), perSource, random));
    add("HTML", readUpTo(filesUnder({"/usr/share/doc", "/usr/share/nodejs", npm + "/node_modules", go}, {"*.html", "*.htm"}), perSource, random));
    QStringList assets = filesUnder(javascript, {"*.js", "*.css"});
    std::shuffle(assets.begin(), assets.end(), random);
    add("pages with integrity hashes and nonces", integrityPages(assets.first(std::min<qsizetype>(assets.size(), 3000)), random));

    QList<SourceText> lockfiles;
    QFile npmLock(npm + "/package-lock.json");
    if (npmLock.open(QIODevice::ReadOnly)) {
        const QByteArray lock = npmLock.readAll();
        lockfiles.append({npmLock.fileName(), QString::fromUtf8(lock)});
        lockfiles.append({"yarn.lock of npm's lockfile", yarnLockOf(QJsonDocument::fromJson(lock)["packages"].toObject())});
    }
    for (const QString &path : filesUnder({go, npm + "/node_modules"}, {"go.sum", "yarn.lock"}))
        lockfiles.append({path, textOf(path)});
    lockfiles.append({"Cargo.lock of " + rust, cargoLockOf(rust)});
    lockfiles.append({"requirements.txt of " + sitePackages, pipRequirementsOf(sitePackages)});
    add("lockfiles", lockfiles);

    add("data URIs of images", dataUris(filesUnder({"/usr/share"}, {"*.png", "*.jpg", "*.jpeg"}), perSource, random));

    // Ruby, PHP and Java, and translations in many languages: read after the parts above, so those stay as they were.
    const QStringList ruby{"/usr/share/rubygems-integration/all/gems", "/usr/lib/ruby/vendor_ruby"};
    const QString php = "/usr/share/php";
    const QString java = javaSourceFolder();
    const QString localeNpm = npmFolder("tamo-dev-text-npm-locales", localeNpmPackages, {"--legacy-peer-deps"});
    add("Ruby", readUpTo(filesUnder(ruby, {"*.rb", "*.erb", "*.rake", "*.tt", "Gemfile", "*.gemspec", "*.yml", "*.md", "*.rdoc"}), perSource, random));
    add("PHP", readUpTo(filesUnder({php}, {"*.php", "*.stub", "*.twig", "composer.json", "*.yaml", "*.xml", "*.md"}), perSource, random));
    add("Java", readUpTo(filesUnder({java, "/usr/share/tomcat10-examples"}, {"*.java", "*.jsp"}), perSource, random));
    add("Java configs and documentation",
        readUpTo(filesUnder({"/usr/share/tomcat10", "/usr/share/tomcat10-examples", "/usr/share/tomcat10-docs", "/usr/share/maven-repo", "/etc/java-17-openjdk"},
                            {"*.xml", "*.properties", "*.pom", "*.policy", "*.html"}),
                 perSource, random));
    const QStringList translationRoots = QStringList{localeNpm + "/node_modules", php, sitePackages + "/django"} + ruby;
    add("translations: JSON and JavaScript", readUpTo(translations(filesUnder(translationRoots, {"*.json", "*.js", "*.mjs", "*.ts"})), perSource, random));
    add("translations: YAML, .po, XLIFF, PHP", readUpTo(translations(filesUnder(translationRoots, {"*.yml", "*.yaml", "*.po", "*.xlf", "*.php", "*.properties"})), perSource, random));
    add("form pages and request logs with CSRF tokens", formPagesAndLogs(random));
    // Last: its length changes from run to run, and so would the cuts of every part after it.
    add("git log and terminal output", terminalOutput(npm, QStringLiteral(TAMO_SOURCE_DIR)));

    scanAndReport(texts, listedExamples, random);
    return 0;
}
