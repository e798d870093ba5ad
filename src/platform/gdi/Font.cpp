#include "Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/base/Text.h"

namespace {

constexpr int kScreenDpi = 96;
constexpr int kSystemFontPixels = 12;

struct Substitute {
    std::string_view faceName;
    const char* family;
};

// The device's Japanese faces and the free faces that stand in for them.
constexpr Substitute kSubstitutes[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"},
    {"MS Gothic", "IPAGothic"},        {"System", "IPAGothic"},
};

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library created = nullptr;
        return FT_Init_FreeType(&created) == 0 ? created : nullptr;
    }();
    return library;
}

}  // namespace

class FontFace {
  public:
    FontFace(FT_Face face, int pixels) : m_face(face) {
        FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(pixels));
        m_ascent = static_cast<int32_t>(m_face->size->metrics.ascender >> 6);
        m_lineHeight = static_cast<int32_t>(m_face->size->metrics.height >> 6);
    }
    ~FontFace() { FT_Done_Face(m_face); }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    int32_t Ascent() const { return m_ascent; }
    int32_t LineHeight() const { return m_lineHeight; }

    const Glyph& GetGlyph(char32_t codePoint) {
        const auto found = m_glyphs.find(codePoint);
        if (found != m_glyphs.end()) {
            return found->second;
        }
        Glyph glyph;
        const FT_UInt index = FT_Get_Char_Index(m_face, codePoint);
        if (FT_Load_Glyph(m_face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
            const FT_GlyphSlot slot = m_face->glyph;
            const FT_Bitmap& bitmap = slot->bitmap;
            glyph.width = static_cast<int32_t>(bitmap.width);
            glyph.rows = static_cast<int32_t>(bitmap.rows);
            glyph.left = slot->bitmap_left;
            glyph.top = slot->bitmap_top;
            glyph.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
            glyph.coverage.resize(static_cast<size_t>(glyph.width) *
                                  static_cast<size_t>(glyph.rows));
            for (int32_t y = 0; y < glyph.rows; ++y) {
                const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
                for (int32_t x = 0; x < glyph.width; ++x) {
                    glyph.coverage[static_cast<size_t>(y) * static_cast<size_t>(glyph.width) +
                                   static_cast<size_t>(x)] = (row[x / 8] >> (7 - x % 8)) & 1;
                }
            }
        }
        return m_glyphs.emplace(codePoint, std::move(glyph)).first->second;
    }

  private:
    FT_Face m_face;
    int32_t m_ascent = 0;
    int32_t m_lineHeight = 0;
    std::unordered_map<char32_t, Glyph> m_glyphs;
};

namespace {

// Faces are shared by every font of the same file and size.
std::shared_ptr<FontFace> OpenFace(std::string_view faceName, int pixels) {
    static std::map<std::pair<std::string, int>, std::weak_ptr<FontFace>> cache;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    const auto key = std::make_pair(std::string(faceName), pixels);
    if (auto existing = cache[key].lock()) {
        return existing;
    }
    int index = 0;
    const std::string file = FindFontFile(faceName, &index);
    FT_Face face = nullptr;
    if (file.empty() || Library() == nullptr ||
        FT_New_Face(Library(), file.c_str(), index, &face) != 0) {
        return nullptr;
    }
    auto created = std::make_shared<FontFace>(face, pixels);
    cache[key] = created;
    return created;
}

}  // namespace

std::string FontFamilyFor(std::string_view faceName) {
    for (const auto& substitute : kSubstitutes) {
        if (EqualNoCase(substitute.faceName, faceName)) return substitute.family;
    }
    return std::string(faceName);
}

std::string FindFontFile(std::string_view faceName, int* faceIndex) {
    const std::string family = FontFamilyFor(faceName);
    static std::once_flag initialised;
    std::call_once(initialised, [] { FcInit(); });
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        if (faceIndex != nullptr) {
            *faceIndex = index;
        }
    }
    if (match != nullptr) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

bool CFont::CreatePointFont(int pointSizeTenths, std::string_view faceName) {
    const int pixels =
        std::max(1, static_cast<int>(std::lround(pointSizeTenths * kScreenDpi / 720.0)));
    m_face = OpenFace(faceName, pixels);
    return m_face != nullptr;
}

bool CFont::CreateSystemFont() {
    m_face = OpenFace("System", kSystemFontPixels);
    return m_face != nullptr;
}

int32_t CFont::Ascent() const {
    return m_face ? m_face->Ascent() : 0;
}

int32_t CFont::LineHeight() const {
    return m_face ? m_face->LineHeight() : 0;
}

const Glyph* CFont::GetGlyph(char32_t codePoint) const {
    return m_face ? &m_face->GetGlyph(codePoint) : nullptr;
}

CSize CFont::GetTextExtent(std::string_view text) const {
    CSize size{0, LineHeight()};
    for (size_t pos = 0; pos < text.size();) {
        const Glyph* glyph = GetGlyph(DecodeUtf8(text, pos));
        size.cx += glyph != nullptr ? glyph->advance : 0;
    }
    return size;
}
