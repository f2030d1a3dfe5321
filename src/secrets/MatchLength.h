#pragma once

#include <cstddef>
#include <string_view>

namespace tamo {

// The most characters a match of an RE2 `pattern` can hold, read from its
// source: a match holding a literal lies within this distance of it, so it
// is looked for there rather than along the whole of a long line.
// `unbounded` where a repetition has no upper limit, or the source holds a
// construct not read here: never less than the true length.
inline constexpr size_t unbounded = size_t(-1);
size_t longestMatch(std::string_view pattern);

} // namespace tamo
