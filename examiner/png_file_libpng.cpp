#include "examiner/png_file.h"

#include <png.h>

std::optional<std::string> EncodePalettePng(int width, int height, std::span<const uint8_t> palette,
                                            std::span<const uint8_t> pixels, std::vector<uint8_t>& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(palette.size() / 3);

    // The first call measures, the second writes.
    png_alloc_size_t size = 0;
    std::optional<std::string> failure;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, palette.data()) != 0) {
        png.resize(size);
        if (png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, palette.data()) != 0)
            png.resize(size);
        else
            failure = image.message;
    } else {
        failure = image.message;
    }
    png_image_free(&image);
    return failure;
}
