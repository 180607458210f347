// Fonts through fontconfig and FreeType: the family lookup, one face per size (cached), and the
// one-line layout of the glyph set that the glyph atlas is cut from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace kes {

// The FreeType library instance: the "factory" every font object is made by.
class FontLibrary {
public:
    FontLibrary();
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    FT_Library handle() const { return m_library; }

private:
    FT_Library m_library = nullptr;
};

// One font file opened at one size in pixels.
class TextFormat {
public:
    TextFormat(const FontLibrary& library, const std::filesystem::path& file, float pixelSize);
    ~TextFormat();
    TextFormat(const TextFormat&) = delete;
    TextFormat& operator=(const TextFormat&) = delete;

    FT_Face face() const { return m_face; }
    float pixelSize() const { return m_pixelSize; }
    // Line metrics in pixels, as the font's horizontal header gives them.
    float ascent() const;
    float lineHeight() const;  // ascent + descent + line gap
    // The unhinted (fractional) advance of a character, in pixels; 0 when the font lacks it.
    float advance(char32_t codePoint) const;
    bool hasGlyph(char32_t codePoint) const;

private:
    FT_Face m_face = nullptr;
    float m_pixelSize;
};

// A run of characters laid out on one line in one format.
struct TextLayout {
    std::string text;             // bytes standing for the code points of the same value
    std::vector<float> advances;  // per character, in pixels of the format's size
    float width = 0.0f;           // the sum of the advances
    float height = 0.0f;          // the line height
    float ascent = 0.0f;          // from the top of the line to the baseline
    const TextFormat* format = nullptr;
};

class FontCollection {
public:
    // Finds the family "Arial" (normal weight, style and width); throws when no font file at
    // all can stand for it.
    explicit FontCollection(const FontLibrary& factory);

    // The family's face at `size` pixels, made once per size.
    const TextFormat& createTextFormat(std::uint32_t size);
    // A face at any size, not cached: the atlas is rasterised at the display's scale.
    std::unique_ptr<TextFormat> openFormat(float pixelSize) const;
    // The glyph set on one line at `size` pixels.
    TextLayout createTextLayout(std::uint32_t size);

    const std::filesystem::path& familyFile() const { return m_familyFile; }

private:
    void initSystemAndAssetsCollection();
    void initFontFamily();

    const FontLibrary& m_factory;
    std::filesystem::path m_familyFile;
    std::unordered_map<std::uint32_t, std::unique_ptr<TextFormat>> m_formats;
};

}  // namespace kes
