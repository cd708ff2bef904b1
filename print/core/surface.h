#pragma once
// The drawing surface the waybill layout needs: font face, size and colour,
// background colour, and text at a device-pixel position (top-left of the
// character cell, no clipping). Texts and the face name are Shift-JIS.
#include <cstdint>
#include <string>

namespace print {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};
inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};

class Surface {
public:
    virtual ~Surface() = default;
    virtual void setFontName(const std::string& sjisFace) = 0;
    virtual void setFontSize(int points) = 0;
    virtual void setFontColor(Color color) = 0;
    // Opaque background: each text's cell is filled with this colour first.
    virtual void setBrushColor(Color color) = 0;
    virtual void textOut(int x, int y, const std::string& sjisText) = 0;
    // A thin line in the text colour between two device pixels. The waybill
    // itself draws none (the form carries every frame); the plain-paper
    // calibration page does. A surface that cannot draw lines ignores it.
    virtual void line(int x1, int y1, int x2, int y2) {
        (void)x1, (void)y1, (void)x2, (void)y2;
    }
};

}  // namespace print
