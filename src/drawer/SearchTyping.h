#pragma once

#include <QString>

// How keys edit the drawer's search text, which has no text field of its own.
namespace tamo {

// The part of typed text that goes into the search: whole characters
// (grapheme clusters) that are letters, numbers, punctuation, symbols or the
// plain space. Line breaks, tabs, control and function-key characters drop.
QString typableSearchText(const QString &typed);

// Removes trailing white space (line breaks included), then the word before
// it: everything back to the previous white space, punctuation included.
QString deleteSearchWord(const QString &text);

// Removes the last whole character, so an emoji or an accented letter goes at once.
QString dropLastSearchCharacter(const QString &text);

} // namespace tamo
