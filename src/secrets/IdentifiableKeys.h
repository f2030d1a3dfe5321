#pragma once

#include <QStringView>

#include <cstdint>
#include <span>

namespace tamo::identifiablekeys {

// Marvin, the keyed hash Azure's identifiable keys are checksummed with:
// the high half of its state, then the low half.
uint64_t marvin(std::span<const uint8_t> data, uint64_t seed);

// Its 32-bit form, the two halves folded together.
uint32_t marvin32(std::span<const uint8_t> data, uint64_t seed);

// Whether `key`, in base64 or base64url, ends in the Marvin checksum of the
// bytes before it under the seed of one of Azure's services: certain, where
// a random key with a service's signature is only likely.
bool hasAzureChecksum(QStringView key);

} // namespace tamo::identifiablekeys
