#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamo {

// What an RE2 pattern's source says of its matches, read without compiling
// it. Where the source is not plain enough to tell, nothing is said.

// Whether a match may hold a line break: conservative, any escape or class
// that takes one, as [^"] does and [^\s"] does not.
bool patternMayCrossLines(std::string_view pattern);

// Whether a match may start on a line above the atom it holds: the pattern
// may take a line break before the last place one of its lower-case `atoms`
// is spelt out. An atom not spelt out in it, put together from classes or
// escapes, may stand anywhere.
bool patternMayCrossLinesBefore(std::string_view pattern, const std::vector<std::string> &atoms);

// The plain characters every match of `pattern` opens with, one for each
// way it may open: after inline flags such as (?i), alternatives, or one
// group of them, each opening with plain characters, as `(?i)(?:key|token)…`.
std::optional<std::vector<std::string_view>> patternOpenings(std::string_view pattern);

// Where a pattern ends with a group of one character repeated up to a
// bound, as `…(\S{8,128})` does, the pattern with the bound left open.
// Anchored at both ends of a match the pattern found, it reads the same
// groups: every choice before the group is the pattern's own, and the
// match's end sets how long the run is. RE2 reads groups with an
// instruction for each character a bounded run may take; an open run takes a few.
std::optional<std::string> withLastRunOpen(std::string_view pattern);

} // namespace tamo
