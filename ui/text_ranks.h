// Ranks of texts in compareFolded's order, for sorting many records by a
// text column at once: equal texts get equal ranks, and a smaller rank is a
// text that compareFolded puts first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidewell {

// One rank per text, dense from 0. Texts are sorted four folded units at a
// time, most significant first, and a group that shares its next four units
// moves on without sorting, so long shared beginnings (C:\Program Files\...)
// cost a pass each rather than a comparison each.
std::vector<std::uint32_t> rankFoldedTexts(const std::vector<const std::wstring*>& texts);

} // namespace tidewell
