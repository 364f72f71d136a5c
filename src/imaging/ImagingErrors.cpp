#include "imaging/ImagingErrors.h"

namespace veldrin {

std::string CreateImageFailedMessage(int32_t width, int32_t height, TexelFormat format) {
    return "Error while creating image data with params: Width=" + std::to_string(width) +
           " Height=" + std::to_string(height) + " Format=" + GetFormatInfo(format).Name + ".";
}

std::string CopyImageFailedMessage(const ImageData& image) {
    return "Error while cloning image. " + DescribeImage(image);
}

std::string ChangeFormatFailedMessage(TexelFormat target, const ImageData& image) {
    return std::string("Error while converting image to format \"") + GetFormatInfo(target).Name + "\". " +
           DescribeImage(image);
}

std::string FlipRowsFailedMessage(const ImageData& image) {
    return "Error while flipping image. " + DescribeImage(image);
}

std::string ScaleImageFailedMessage(const ImageData& image) {
    return "Error while resizing image.  " + DescribeImage(image);
}

std::string ExchangeChannelsFailedMessage(const ImageData& image) {
    return "Error while swapping channels of image. " + DescribeImage(image);
}

std::string BuildMipChainFailedMessage(int32_t levels, const ImageData& image) {
    return "Error while generating " + std::to_string(levels) + " mipmap levels for image " + DescribeImage(image);
}

} // namespace veldrin
