#pragma once
// The image core's fixed error texts, and the guard that turns a failure inside an operation
// (memory exhausted, a size the platform cannot hold) into the operation's own message.
#include <new>
#include <stdexcept>
#include <string>

#include "imaging/Imaging.h"

namespace veldrin {

std::string createImageFailedMessage(int32_t width, int32_t height, TexelFormat format);
std::string changeFormatFailedMessage(TexelFormat target, const ImageData& image);
std::string scaleImageFailedMessage(const ImageData& image);
std::string exchangeChannelsFailedMessage(const ImageData& image);
std::string buildMipChainFailedMessage(int32_t levels, const ImageData& image);

// Runs `body`; a VeldrinError from a nested operation passes unchanged (it is the more precise
// one), any other failure becomes a VeldrinError carrying `message()`.
template <class Body, class Message>
auto runGuarded(Body&& body, Message&& message) -> decltype(body()) {
    try {
        return body();
    } catch (const VeldrinError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw VeldrinError(message());
    } catch (const std::length_error&) {
        throw VeldrinError(message());
    }
}

} // namespace veldrin
