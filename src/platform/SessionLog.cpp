#include "platform/SessionLog.h"

#include <QDateTime>
#include <QMutex>

#include <deque>

namespace tamo::sessionlog {

namespace {

// Messages come from any thread.
struct Kept
{
    QMutex mutex;
    std::deque<QString> lines;
    qsizetype characters = 0;
};

Kept &kept()
{
    static Kept instance;
    return instance;
}

QtMessageHandler previousHandler = nullptr;

const char *levelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "";
}

void keepMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    append(QLatin1String(levelName(type)) + QLatin1String(": ") + message);
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

Recording::Recording()
{
    previousHandler = qInstallMessageHandler(keepMessage);
}

Recording::~Recording()
{
    qInstallMessageHandler(previousHandler);
}

void append(const QString &line)
{
    QString stamped = QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + u' ' + line.left(lineCharacters);
    stamped.replace(u'\n', u' ');
    Kept &log = kept();
    const QMutexLocker lock(&log.mutex);
    log.characters += stamped.size();
    log.lines.push_back(std::move(stamped));
    while (log.characters > keptCharacters) {
        log.characters -= log.lines.front().size();
        log.lines.pop_front();
    }
}

QString text()
{
    Kept &log = kept();
    const QMutexLocker lock(&log.mutex);
    QString all;
    all.reserve(log.characters + qsizetype(log.lines.size()));
    for (const QString &line : log.lines)
        all += line + u'\n';
    return all;
}

} // namespace tamo::sessionlog
