#include "text/FontCollection.hpp"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <stdexcept>

#include "text/GlyphSet.hpp"

namespace kes {
namespace {

std::string freetypeError(FT_Error error) {
    const char* text = FT_Error_String(error);
    return text != nullptr ? text : "FreeType error " + std::to_string(error);
}

}  // namespace

FontLibrary::FontLibrary() {
    if (const FT_Error error = FT_Init_FreeType(&m_library)) {
        throw std::runtime_error("kes::TextRenderer::makeDWrite - DWriteCreateFactory():" +
                                 freetypeError(error));
    }
}

FontLibrary::~FontLibrary() {
    FT_Done_FreeType(m_library);
}

TextFormat::TextFormat(const FontLibrary& library, const std::filesystem::path& file,
                       float pixelSize)
    : m_pixelSize(pixelSize) {
    if (const FT_Error error = FT_New_Face(library.handle(), file.c_str(), 0, &m_face)) {
        throw std::runtime_error("kes::FontCollection::createTextFormat - CreateTextFormat():" +
                                 freetypeError(error));
    }
    // 26.6 fixed point: fractional sizes are honoured.
    const auto size = static_cast<FT_F26Dot6>(pixelSize * 64.0f + 0.5f);
    if (const FT_Error error = FT_Set_Char_Size(m_face, 0, size, 72, 72)) {
        FT_Done_Face(m_face);
        throw std::runtime_error("kes::FontCollection::createTextFormat - CreateTextFormat():" +
                                 freetypeError(error));
    }
}

TextFormat::~TextFormat() {
    FT_Done_Face(m_face);
}

float TextFormat::ascent() const {
    return static_cast<float>(m_face->ascender) * m_pixelSize /
           static_cast<float>(m_face->units_per_EM);
}

float TextFormat::lineHeight() const {
    return static_cast<float>(m_face->height) * m_pixelSize /
           static_cast<float>(m_face->units_per_EM);
}

float TextFormat::advance(char32_t codePoint) const {
    if (FT_Load_Char(m_face, codePoint, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
        return 0.0f;
    }
    // 16.16 fixed point, free of hinting's rounding: a text layout's fractional advance.
    return static_cast<float>(m_face->glyph->linearHoriAdvance) / 65536.0f;
}

bool TextFormat::hasGlyph(char32_t codePoint) const {
    return FT_Get_Char_Index(m_face, codePoint) != 0;
}

FontCollection::FontCollection(const FontLibrary& factory) : m_factory(factory) {
    initSystemAndAssetsCollection();
    initFontFamily();
}

void FontCollection::initSystemAndAssetsCollection() {
    if (FcInit() != FcTrue) {
        throw std::runtime_error(
            "kes::FontCollection::initSystemAndAssetsCollection - GetSystemFontCollection():"
            "fontconfig could not load its configuration");
    }
}

// fontconfig always offers some font; only a match without a file means there is none.
void FontCollection::initFontFamily() {
    const auto destroyPattern = [](FcPattern* pattern) { FcPatternDestroy(pattern); };
    std::unique_ptr<FcPattern, decltype(destroyPattern)> pattern(
        FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, fontFamilyName, FC_WEIGHT, FcTypeInteger,
                       FC_WEIGHT_REGULAR, FC_SLANT, FcTypeInteger, FC_SLANT_ROMAN, FC_WIDTH,
                       FcTypeInteger, FC_WIDTH_NORMAL, nullptr),
        destroyPattern);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, decltype(destroyPattern)> match(
        FcFontMatch(nullptr, pattern.get(), &result), destroyPattern);
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
        throw std::runtime_error(
            std::string("kes::FontCollection::initFontFamily - Fontfamily \"") + fontFamilyName +
            "\" doesn't exist :(");
    }
    m_familyFile = reinterpret_cast<const char*>(file);
}

const TextFormat& FontCollection::createTextFormat(std::uint32_t size) {
    auto& format = m_formats[size];
    if (!format) {
        format = openFormat(static_cast<float>(size));
    }
    return *format;
}

std::unique_ptr<TextFormat> FontCollection::openFormat(float pixelSize) const {
    return std::make_unique<TextFormat>(m_factory, m_familyFile, pixelSize);
}

TextLayout FontCollection::createTextLayout(std::uint32_t size) {
    const TextFormat& format = createTextFormat(size);
    TextLayout layout;
    layout.text = std::string(glyphSet);
    layout.format = &format;
    for (const char c : layout.text) {
        const float advance = format.advance(static_cast<unsigned char>(c));
        layout.advances.push_back(advance);
        layout.width += advance;
    }
    layout.height = format.lineHeight();
    layout.ascent = format.ascent();
    return layout;
}

}  // namespace kes
