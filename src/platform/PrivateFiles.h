#pragma once

#include <QString>

namespace tamo {

// The history holds whatever the user copied, passwords typed by hand
// included: every folder we make is only the user's to enter (0700) and
// every file only the user's to read (0600), whatever the umask.
namespace privatefiles {

constexpr unsigned folderMode = 0700;
constexpr unsigned fileMode = 0600;

// Makes the folder and any missing folder above it, each made 0700, and
// gives the folder itself that mode; false when it cannot be made.
bool makeFolder(const QString &path);

// Gives a folder made by an earlier version, and everything in it, these
// modes; links are left alone, and so are the files they point at.
void tighten(const QString &folder);

// Gives one folder or file these modes, not what is inside a folder; a link
// is left alone, and so is what it points at.
void tightenOne(const QString &path);

} // namespace privatefiles

} // namespace tamo
