// 2D and vector drawing for overlays (frame bands, watermark text), over Cairo and Pango.
// A Canvas is a transparent RGBA image; it hands its pixels out row by row with straight alpha,
// so the engine can turn it into a FreeImage bitmap without any encoding.
#pragma once

#include "platform/fonts.h"

#include <cstdint>
#include <span>
#include <string_view>

struct _cairo_surface;

namespace platform
{

// A colour with straight (not premultiplied) alpha; a = 255 is opaque.
struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

struct Point {
    double x = 0;
    double y = 0;
};

// Where each channel goes in a 4-byte pixel of the receiving image (FreeImage's order differs by
// platform, so the receiver says).
struct ChannelOrder {
    int r = 0, g = 1, b = 2, a = 3;
};

// Text either as crisp pixels that take the colour exactly (no antialiasing, hinted metrics) or
// as smooth vector outlines with fractional metrics.
enum class TextRendering { Aliased, Antialiased };

struct TextExtent {
    int width = 0;         // logical width in whole pixels
    int height = 0;        // logical height (one line: ascent + descent) in whole pixels
    double exactWidth = 0; // unrounded logical width
};

// Size of `text` (one line, UTF-8) in `font`; zero size when it cannot be measured.
[[nodiscard]] TextExtent measureText(const Font& font, std::string_view text, TextRendering rendering);

class Canvas
{
  public:
    // A transparent image of width x height whose top-left pixel lies at (originX, originY) of
    // the drawing coordinates, so a part of a large picture can be drawn alone. A size that is
    // not positive or too large gives an invalid canvas: check valid().
    Canvas(int width, int height, int originX = 0, int originY = 0);
    ~Canvas();
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&& other) noexcept;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    [[nodiscard]] bool valid() const { return m_surface != nullptr; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int originX() const { return m_originX; }
    int originY() const { return m_originY; }

    // Sets every pixel to `colour`, alpha included (no blending).
    void fill(Rgba colour);
    // Antialiased shapes, painted over what is there. `antialias` false snaps edges to pixels.
    void fillRect(double x, double y, double w, double h, Rgba colour, bool antialias = true);
    void fillPolygon(std::span<const Point> points, Rgba colour, bool antialias = true);
    // Paints `source` (placed by its own origin) over this canvas at opacity 0..255.
    void drawCanvas(const Canvas& source, int opacity);

    // One line of text with its logical top-left at (x, y). Aliased text replaces the pixels it
    // covers with `colour` exactly (alpha included) and first sets its cell to `cellBackground`
    // when one is given; antialiased text is painted over what is there.
    void drawText(const Font& font, std::string_view text, double x, double y, Rgba colour,
                  TextRendering rendering, const Rgba* cellBackground = nullptr);

    // Row `y` (0 = top) with straight alpha into `dst` (width() pixels of 4 bytes).
    void copyStraightRow(int y, std::uint8_t* dst, ChannelOrder order) const;
    // One pixel with straight alpha, for checks.
    [[nodiscard]] Rgba pixel(int x, int y) const;

  private:
    void release() noexcept;

    _cairo_surface* m_surface = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_originX = 0;
    int m_originY = 0;
};

} // namespace platform
