#include "png_image.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace inspect {

RgbImage::RgbImage(size_t width, size_t height, Rgb background)
    : width_(width), height_(height), pixels_(width * height, background) {}

bool RgbImage::savePng(const std::string& path, std::string& problem) const {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        problem = std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        problem = "libpng could not start";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        problem = "libpng failed to write the image";
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(width_ * 3);
    for (size_t y = 0; y < height_; ++y) {
        for (size_t x = 0; x < width_; ++x) {
            Rgb pixel = pixels_[y * width_ + x];
            row[3 * x] = pixel.r;
            row[3 * x + 1] = pixel.g;
            row[3 * x + 2] = pixel.b;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        problem = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace inspect
