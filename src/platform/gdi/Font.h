#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Geometry.h"

// One glyph, rasterised to whole pixels (no smoothing, so text lands exactly on an indexed
// picture's colours).
struct Glyph {
    int32_t width = 0;
    int32_t rows = 0;
    int32_t left = 0;               // from the pen position to the bitmap's left edge
    int32_t top = 0;                // from the baseline up to the bitmap's top edge
    int32_t advance = 0;            // pen movement, whole pixels
    std::vector<uint8_t> coverage;  // width * rows, 1 where the glyph sets a pixel
};

class FontFace;

// A font by face name and size. "ＭＳ Ｐゴシック" is served by IPA P Gothic and "ＭＳ ゴシック"
// and the system font by IPA Gothic; other names go to the host's font matching. A font
// whose file cannot be found draws nothing and measures zero.
class CFont {
  public:
    // `pointSizeTenths` as 90 for 9 points; the device's screen has 96 dots per inch.
    [[nodiscard]] bool CreatePointFont(int pointSizeTenths, std::string_view faceName);
    [[nodiscard]] bool CreateSystemFont();
    void DeleteObject() { m_face.reset(); }
    bool IsCreated() const { return m_face != nullptr; }

    int32_t Ascent() const;
    int32_t LineHeight() const;
    // Null when the font has no file.
    const Glyph* GetGlyph(char32_t codePoint) const;
    CSize GetTextExtent(std::string_view text) const;

  private:
    std::shared_ptr<FontFace> m_face;
};

// The family that serves a face name of the device: "ＭＳ Ｐゴシック" is IPAPGothic, ...;
// other names stand for themselves.
std::string FontFamilyFor(std::string_view faceName);

// The font file and face family that a face name is served by, as the host finds it;
// empty when there is none.
[[nodiscard]] std::string FindFontFile(std::string_view faceName, int* faceIndex = nullptr);
