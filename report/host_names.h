// A Velociraptor collection's word on its host against the examined
// machine's own.
#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

// Whether the host name a collection records is the examined machine's own
// (its registry's), A to Z compared without case; a full name agrees when
// its first label does. Not known when either is not recorded.
enum class NamesAgree : std::uint8_t { NotKnown, Agree, Disagree };
NamesAgree hostNamesAgree(const std::wstring& recorded, const std::wstring& registry);

} // namespace tidewell
