// A 64-bit digest (FNV-1a) that tells texts and blocks of bytes apart: two
// model files, two simulated machines. Not for security.
#ifndef QUOREL_CARD_MODEL_DIGEST_H
#define QUOREL_CARD_MODEL_DIGEST_H

#include <cstddef>
#include <cstdint>

namespace quorel::card_model {

constexpr uint64_t kDigestStart = 0xcbf29ce484222325;

// The digest of `size` bytes, going on from `digest`.
inline uint64_t Digest(const void* data, size_t size, uint64_t digest = kDigestStart) {
    const auto* byte = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        digest = (digest ^ byte[i]) * 0x100000001b3;
    return digest;
}

// The same for a number's eight bytes, least significant first.
inline uint64_t DigestNumber(uint64_t number, uint64_t digest) {
    for (int i = 0; i < 8; ++i, number >>= 8)
        digest = (digest ^ (number & 0xFF)) * 0x100000001b3;
    return digest;
}

}  // namespace quorel::card_model

#endif  // QUOREL_CARD_MODEL_DIGEST_H
