// An RGB image written as an 8-bit PNG through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace inspect {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

class RgbImage {
public:
    RgbImage(size_t width, size_t height, Rgb background = Rgb());
    size_t width() const { return width_; }
    size_t height() const { return height_; }
    // Row 0 is the top of the picture.
    void set(size_t x, size_t y, Rgb colour) { pixels_[y * width_ + x] = colour; }
    Rgb get(size_t x, size_t y) const { return pixels_[y * width_ + x]; }
    // Returns false with a reason when the file cannot be written.
    bool savePng(const std::string& path, std::string& problem) const;

private:
    size_t width_, height_;
    std::vector<Rgb> pixels_;
};

}  // namespace inspect
