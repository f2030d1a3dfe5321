#pragma once

#include <QString>

namespace tamo::sessionlog {

// What this process logged since it started, kept in memory: where no
// journal keeps our lines, a support report still has them. The oldest
// lines give way beyond `keptCharacters`; a line is cut at `lineCharacters`.
inline constexpr qsizetype keptCharacters = 512 * 1024;
inline constexpr qsizetype lineCharacters = 4096;

// While it lives, every Qt message is kept and passed on to the handler before.
class Recording
{
public:
    Recording();
    ~Recording();
    Recording(const Recording &) = delete;
    Recording &operator=(const Recording &) = delete;
};

// Keeps one line that went to the system log by another road.
void append(const QString &line);
// The kept lines, oldest first, each ending in a newline.
QString text();

} // namespace tamo::sessionlog
