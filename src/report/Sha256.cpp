#include "report/Sha256.h"

#include <openssl/evp.h>

#include "base/Error.h"

namespace veldrin {

// libcrypto picks the processor's SHA instructions where there are any: hashing every written file
// is then a small part of the report's time.
std::string sha256Hex(std::span<const uint8_t> bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1 || length != 32)
        throw VeldrinError("Cannot hash " + std::to_string(bytes.size()) + " bytes with SHA-256: libcrypto failed");
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex(64, '0');
    for (unsigned int i = 0; i < length; ++i) {
        hex[2 * i] = kHex[digest[i] >> 4];
        hex[2 * i + 1] = kHex[digest[i] & 15];
    }
    return hex;
}

} // namespace veldrin
