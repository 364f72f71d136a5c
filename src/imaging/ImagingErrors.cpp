#include "internal/ImagingErrors.h"

namespace veldrin {

std::string createImageFailedMessage(int32_t width, int32_t height, TexelFormat format) {
    return "Error while creating image data with params: Width=" + std::to_string(width) +
           " Height=" + std::to_string(height) + " Format=" + formatInfo(format).name + ".";
}

std::string changeFormatFailedMessage(TexelFormat target, const ImageData& image) {
    return std::string("Error while converting image to format \"") + formatInfo(target).name + "\". " +
           describeImage(image);
}

std::string scaleImageFailedMessage(const ImageData& image) {
    return "Error while resizing image.  " + describeImage(image);
}

std::string exchangeChannelsFailedMessage(const ImageData& image) {
    return "Error while swapping channels of image. " + describeImage(image);
}

std::string buildMipChainFailedMessage(int32_t levels, const ImageData& image) {
    return "Error while generating " + std::to_string(levels) + " mipmap levels for image " + describeImage(image);
}

} // namespace veldrin
