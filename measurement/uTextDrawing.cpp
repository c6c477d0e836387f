#include "measurement/uTextDrawing.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "astro/uExceptions.h"

namespace orbis {

namespace {

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};

struct TFontLocation {
    std::string file;
    int index = 0;  // face within a font collection
};

TFontLocation findFont(const std::string& family) {
    // A configuration of our own, released after the look-up: fontconfig's
    // process-wide one is kept to the end and part of it is reported lost by
    // the leak checker of the sanitizer builds.
    const std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
    if (!config) throw Exception(TDiagnostic(Code::FontconfigInitFailed));
    PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str())));
    if (!pattern) throw Exception(TDiagnostic(Code::FontNameInvalid).with("font", family));
    // An outline font scales to any pixel size; a bitmap font may not have it.
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(config.get(), pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) {
        throw Exception(TDiagnostic(Code::FontNotFound).with("font", family));
    }
    TFontLocation location{reinterpret_cast<const char*>(file), 0};
    int index = 0;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) location.index = index;
    return location;
}

// Next code point of UTF-8 text, advancing pos. Malformed, overlong and
// surrogate sequences give U+FFFD and skip one byte.
char32_t nextCodePoint(std::string_view s, std::size_t& pos) {
    constexpr char32_t kReplacement = 0xFFFD;
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int length = 0;
    char32_t cp = 0, minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + static_cast<std::size_t>(length) > s.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(i)]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += static_cast<std::size_t>(length);
    return cp;
}

// A rendered glyph as coverage bytes (0 blank .. 255 inked), rows top-down.
struct TGlyph {
    int left = 0, top = 0;  // bitmap corner from the pen position; top is up
    int width = 0, rows = 0;
    int advance = 0;  // whole pixels
    std::vector<uint8_t> coverage;
};

}  // namespace

struct TTextRenderer::Impl {
    std::string fontFile;
    std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library;
    std::unique_ptr<FT_FaceRec_, FaceDeleter> face;  // declared after library: released first
    int ascender = 0;                                // pixels from the line box top to the baseline
    std::unordered_map<char32_t, TGlyph> glyphs;

    const TGlyph& glyph(char32_t cp);
};

const TGlyph& TTextRenderer::Impl::glyph(char32_t cp) {
    if (auto it = glyphs.find(cp); it != glyphs.end()) return it->second;
    TGlyph g;
    FT_Face f = face.get();
    // A failed glyph (damaged outline) is drawn as nothing rather than
    // ending the label step; the missing-glyph box comes from index 0.
    if (FT_Load_Glyph(f, FT_Get_Char_Index(f, cp), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
        const FT_GlyphSlot slot = f->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
        if (mono || (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.num_grays > 1)) {
            g.width = static_cast<int>(bm.width);
            g.rows = static_cast<int>(bm.rows);
            g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.rows));
            // The pitch steps one row down; a negative pitch means the
            // buffer starts at the bottom row.
            const unsigned char* topRow = bm.buffer;
            if (bm.pitch < 0) topRow -= static_cast<std::ptrdiff_t>(bm.pitch) * (g.rows - 1);
            for (int r = 0; r < g.rows; ++r) {
                const unsigned char* src = topRow + static_cast<std::ptrdiff_t>(bm.pitch) * r;
                uint8_t* dst = g.coverage.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(g.width);
                for (int c = 0; c < g.width; ++c) {
                    dst[c] = mono ? ((src[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0)
                                  : static_cast<uint8_t>(src[c] * 255 / (bm.num_grays - 1));
                }
            }
        }
    }
    return glyphs.emplace(cp, std::move(g)).first->second;
}

TTextRenderer::TTextRenderer(const std::string& family, int pixelSize) : impl_(std::make_unique<Impl>()) {
    const TFontLocation location = findFont(family);
    impl_->fontFile = location.file;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) throw Exception(TDiagnostic(Code::FreeTypeInitFailed));
    impl_->library.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, location.file.c_str(), location.index, &face) != 0) {
        throw Exception(TDiagnostic(Code::FontLoadFailed).with("font", location.file));
    }
    impl_->face.reset(face);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(pixelSize, 1))) != 0) {
        throw Exception(TDiagnostic(Code::FontSizeMissing).with("font", location.file).with("size", pixelSize));
    }
    impl_->ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
}

TTextRenderer::~TTextRenderer() = default;
TTextRenderer::TTextRenderer(TTextRenderer&&) noexcept = default;
TTextRenderer& TTextRenderer::operator=(TTextRenderer&&) noexcept = default;

const std::string& TTextRenderer::fontFile() const { return impl_->fontFile; }

void TTextRenderer::drawText(TGreyFrame& picture, int left, int top, const std::string& utf8, uint8_t value) const {
    const long long width = picture.width, height = picture.height;
    if (width < 0 || height < 0 || picture.pixels.size() != static_cast<std::size_t>(width * height)) {
        throw std::invalid_argument("drawText: the picture's pixels do not match its size");
    }
    // 64-bit positions: coordinates near the int limits only move the text
    // out of the picture, they never wrap into it.
    long long penX = left;
    const long long baseline = static_cast<long long>(top) + impl_->ascender;
    for (std::size_t pos = 0; pos < utf8.size() && penX < width;) {
        const TGlyph& g = impl_->glyph(nextCodePoint(utf8, pos));
        const long long x0 = penX + g.left, y0 = baseline - g.top;
        penX += g.advance;
        const long long c0 = std::max(0LL, -x0), c1 = std::min<long long>(g.width, width - x0);
        const long long r0 = std::max(0LL, -y0), r1 = std::min<long long>(g.rows, height - y0);
        for (long long r = r0; r < r1; ++r) {
            const uint8_t* a = g.coverage.data() + r * g.width;
            // Rows are stored bottom-up.
            const long long rowStart = (height - 1 - (y0 + r)) * width + x0;
            for (long long c = c0; c < c1; ++c) {
                uint8_t& p = picture.pixels[static_cast<std::size_t>(rowStart + c)];
                if (a[c] == 0 || p >= value) continue;
                p = static_cast<uint8_t>(p + ((value - p) * a[c] + 127) / 255);
            }
        }
    }
}

}  // namespace orbis
