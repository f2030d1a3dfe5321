#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamo {

// What an RE2 pattern's source says of its matches, read without compiling
// it. Where the source is not plain enough to tell, nothing is said.

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
