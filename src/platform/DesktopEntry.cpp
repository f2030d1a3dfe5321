#include "platform/DesktopEntry.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

namespace tamo {

namespace {

using Group = QHash<QString, QString>;

QString unescaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i].unicode()) {
        case 's': out += u' '; break;
        case 'n': out += u'\n'; break;
        case 't': out += u'\t'; break;
        case 'r': out += u'\r'; break;
        default: out += value[i]; break; // "\\" and "\;"
        }
    }
    return out;
}

// The key/value lines of the [Desktop Entry] group; other groups (actions)
// are skipped.
Group mainGroup(QFile &file)
{
    Group group;
    bool inMain = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (inMain)
                break;
            inMain = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inMain && equals > 0)
            group.insert(line.left(equals).trimmed(), unescaped(line.mid(equals + 1).trimmed()));
    }
    return group;
}

QString localized(const Group &group, const QString &key, const QLocale &locale)
{
    const QString full = locale.name();                  // "de_DE"
    const QString language = full.section(u'_', 0, 0);   // "de"
    for (const QString &candidate : {key + u'[' + full + u']', key + u'[' + language + u']', key}) {
        const auto it = group.constFind(candidate);
        if (it != group.cend())
            return *it;
    }
    return {};
}

// Exec's words: split at blanks outside double quotes, where a backslash
// escapes the next character.
QStringList execWords(const QString &exec)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted && c == u'\\' && i + 1 < exec.size()) {
            word += exec[++i];
        } else if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && c.isSpace()) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

// Exec's words from the program on: "env A=1 /usr/bin/app %U" starts
// /usr/bin/app.
QStringList programWords(const QString &exec)
{
    const QStringList words = execWords(exec);
    qsizetype at = 0;
    if (at < words.size() && QFileInfo(words[at]).fileName() == u"env") {
        ++at;
        while (at < words.size() && words[at].contains(u'='))
            ++at;
    }
    return words.mid(at);
}

bool isFieldCode(const QString &word)
{
    return word.size() == 2 && word[0] == u'%';
}

bool isOption(const QString &word)
{
    return word.size() > 1 && word[0] == u'-';
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::fromFile(const QString &path, const QString &id, const QLocale &locale)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const Group group = mainGroup(file);
    if (group.value(QStringLiteral("Type")) != u"Application" || group.value(QStringLiteral("Hidden")) == u"true")
        return std::nullopt;
    DesktopEntry entry;
    entry.id = id;
    entry.name = localized(group, QStringLiteral("Name"), locale);
    entry.icon = group.value(QStringLiteral("Icon"));
    const QStringList words = programWords(group.value(QStringLiteral("Exec")));
    entry.program = words.value(0);
    entry.executable = QFileInfo(entry.program).fileName();
    entry.startupWMClass = group.value(QStringLiteral("StartupWMClass"));
    QStringList command{entry.executable};
    for (const QString &word : words.mid(1)) {
        if (isOption(word))
            entry.passesOptions = true;
        else if (!isFieldCode(word))
            command.append(word);
    }
    entry.command = command.join(u' ');
    entry.noDisplay = group.value(QStringLiteral("NoDisplay")) == u"true";
    entry.isSettings = group.value(QStringLiteral("Categories")).split(u';').contains(QStringLiteral("Settings"));
    return entry;
}

} // namespace tamo
