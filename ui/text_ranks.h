// Ranks of texts in compareFolded's order, for sorting many records by a
// text column at once: equal texts get equal ranks, and a smaller rank is a
// text that compareFolded puts first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidewell {

// One rank per text, dense from 0. Each distinct text is folded once into
// one buffer, then the texts are sorted eight folded units at a time (four
// where a unit is 256 or more), most significant first, by radix passes; a
// group that shares its next units moves on without sorting, so long shared
// beginnings (C:\Program Files\...) cost a pass each rather than a
// comparison each.
std::vector<std::uint32_t> rankFoldedTexts(const std::vector<const std::wstring*>& texts);

} // namespace tidewell
