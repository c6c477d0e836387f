#pragma once
// Text drawn into 8-bit grey pictures: the labels on the result frame. The
// font is found through fontconfig and rendered with FreeType at the size of
// an ordinary window font. Glyphs are rendered in monochrome, as a desktop
// draws text into a palette picture: every pixel is either inked or left
// alone, so drawing the same text twice gives the same picture.

#include <cstdint>
#include <memory>
#include <string>

#include "processing/uBitmap.h"

namespace orbis {

class TTextRenderer {
public:
    // Loads the installed font that best matches the family (fontconfig may
    // substitute a similar one) at the given pixel size (em height). Raises
    // orbis::Exception when no font file can be found or loaded.
    explicit TTextRenderer(const std::string& family = "DejaVu Sans", int pixelSize = 11);
    ~TTextRenderer();
    TTextRenderer(TTextRenderer&&) noexcept;
    TTextRenderer& operator=(TTextRenderer&&) noexcept;

    // Draws UTF-8 text with the top-left corner of its line box at
    // (left, top), counted from the picture's top-left pixel. Inked pixels
    // move toward value by the glyph coverage and never get darker; the rest
    // of the picture is untouched. Text that runs over an edge is cut there.
    // Invalid UTF-8 bytes are drawn as U+FFFD. Raises std::invalid_argument
    // when the picture's pixels do not hold width * height bytes.
    void drawText(TGreyFrame& picture, int left, int top, const std::string& utf8, uint8_t value = 255) const;

    // Path of the font file in use.
    const std::string& fontFile() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orbis
