#include "report/Sha256.h"

#include <openssl/evp.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "base/Error.h"

namespace veldrin {

namespace {

std::string hexOf(const unsigned char* digest, unsigned int length) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex(64, '0');
    for (unsigned int i = 0; i < length; ++i) {
        hex[2 * i] = kHex[digest[i] >> 4];
        hex[2 * i + 1] = kHex[digest[i] & 15];
    }
    return hex;
}

} // namespace

// libcrypto picks the processor's SHA instructions where there are any: hashing every written file
// is then a small part of the report's time.
std::string sha256Hex(std::span<const uint8_t> bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1 || length != 32)
        throw VeldrinError("Cannot hash " + std::to_string(bytes.size()) + " bytes with SHA-256: libcrypto failed");
    return hexOf(digest, length);
}

struct Sha256Stream::Context {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> md{EVP_MD_CTX_new(), &EVP_MD_CTX_free};
};

namespace {
VeldrinError libcryptoFailed() { return VeldrinError("Cannot hash with SHA-256: libcrypto failed"); }
} // namespace

Sha256Stream::Sha256Stream() : context_(std::make_unique<Context>()) {
    if (!context_->md || EVP_DigestInit_ex(context_->md.get(), EVP_sha256(), nullptr) != 1) throw libcryptoFailed();
}

Sha256Stream::~Sha256Stream() = default;

void Sha256Stream::add(std::span<const uint8_t> bytes) {
    if (!bytes.empty() && EVP_DigestUpdate(context_->md.get(), bytes.data(), bytes.size()) != 1) throw libcryptoFailed();
}

std::string Sha256Stream::hex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context_->md.get(), digest, &length) != 1 || length != 32) throw libcryptoFailed();
    return hexOf(digest, length);
}

std::string sha256HexOfFile(const std::filesystem::path& path, uint64_t& size) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw VeldrinError("Cannot open file \"" + path.string() + "\". " + std::strerror(errno));
    Sha256Stream hash;
    std::vector<char> piece(std::size_t(1) << 20);
    size = 0;
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const std::size_t got = static_cast<std::size_t>(in.gcount());
        hash.add({reinterpret_cast<const uint8_t*>(piece.data()), got});
        size += got;
    }
    if (in.bad()) throw VeldrinError("Cannot read file \"" + path.string() + "\". " + std::strerror(errno));
    return hash.hex();
}

} // namespace veldrin
