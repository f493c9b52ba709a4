#include "platform/drawing.h"

#include <cairo.h>
#include <glib.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace platform
{

namespace
{

// Font sizes are points on a 96 pixels-per-inch screen, as the settings have always meant them.
constexpr double kDotsPerInch = 96.0;
// Cairo's own limit for image surfaces.
constexpr int kMaxSide = 32767;

double unit(int value)
{
    return std::clamp(value, 0, 255) / 255.0;
}

void setSource(cairo_t* cr, Rgba c)
{
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}

// Pango wants valid UTF-8; a stray byte from an old settings file becomes U+FFFD instead of a
// warning on the console.
std::string validUtf8(std::string_view text)
{
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string out(valid);
    g_free(valid);
    return out;
}

struct LayoutDeleter {
    void operator()(PangoLayout* l) const noexcept { g_object_unref(l); }
};
using Layout = std::unique_ptr<PangoLayout, LayoutDeleter>;

Layout makeLayout(cairo_t* cr, const Font& font, std::string_view text, TextRendering rendering)
{
    Layout layout(pango_cairo_create_layout(cr));
    PangoContext* context = pango_layout_get_context(layout.get());
    pango_cairo_context_set_resolution(context, kDotsPerInch);

    cairo_font_options_t* options = cairo_font_options_create();
    if (rendering == TextRendering::Aliased) {
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    } else {
        // Outlines as designed: no grid fitting, fractional advances.
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        pango_context_set_round_glyph_positions(context, FALSE);
    }
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout.get());

    pango_layout_set_font_description(layout.get(), font.description());
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    const FontRequest& request = font.request();
    if (request.underline || request.strikethrough) {
        PangoAttrList* attrs = pango_attr_list_new();
        if (request.underline)
            pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (request.strikethrough)
            pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout.get(), attrs);
        pango_attr_list_unref(attrs);
    }
    const std::string valid = validUtf8(text);
    pango_layout_set_text(layout.get(), valid.c_str(), static_cast<int>(valid.size()));
    return layout;
}

TextExtent extentOf(PangoLayout* layout)
{
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    PangoRectangle pixels = logical;
    pango_extents_to_pixels(&pixels, nullptr);
    return TextExtent{pixels.width, pixels.height, static_cast<double>(logical.width) / PANGO_SCALE};
}

// Straight value of a premultiplied channel, round(c * 255 / a), looked up by [a][c].
const std::uint8_t* unpremultiplyTable()
{
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> t(256 * 256, 0);
        for (unsigned a = 1; a < 256; ++a)
            for (unsigned c = 0; c <= a; ++c)
                t[a * 256 + c] = static_cast<std::uint8_t>((c * 255 + a / 2) / a);
        return t;
    }();
    return table.data();
}

} // namespace

TextExtent measureText(const Font& font, std::string_view text, TextRendering rendering)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(surface);
    TextExtent extent;
    if (cairo_status(cr) == CAIRO_STATUS_SUCCESS) {
        Layout layout = makeLayout(cr, font, text, rendering);
        extent = extentOf(layout.get());
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return extent;
}

Canvas::Canvas(int width, int height, int originX, int originY) : m_originX(originX), m_originY(originY)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return;
    }
    m_surface = s;
    m_width = width;
    m_height = height;
}

Canvas::~Canvas()
{
    release();
}

Canvas::Canvas(Canvas&& other) noexcept
    : m_surface(std::exchange(other.m_surface, nullptr)), m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0)), m_originX(other.m_originX), m_originY(other.m_originY)
{
}

Canvas& Canvas::operator=(Canvas&& other) noexcept
{
    if (this != &other) {
        release();
        m_surface = std::exchange(other.m_surface, nullptr);
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_originX = other.m_originX;
        m_originY = other.m_originY;
    }
    return *this;
}

void Canvas::release() noexcept
{
    if (m_surface)
        cairo_surface_destroy(m_surface);
    m_surface = nullptr;
}

namespace
{

// A drawing context whose coordinates are those of the whole drawing, not of this canvas.
struct Context {
    Context(cairo_surface_t* surface, int originX, int originY) : cr(cairo_create(surface))
    {
        cairo_translate(cr, -originX, -originY);
    }
    ~Context() { cairo_destroy(cr); }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    cairo_t* cr;
};

} // namespace

void Canvas::fill(Rgba colour)
{
    if (!m_surface)
        return;
    Context c(m_surface, 0, 0);
    cairo_set_operator(c.cr, CAIRO_OPERATOR_SOURCE);
    setSource(c.cr, colour);
    cairo_paint(c.cr);
}

void Canvas::fillRect(double x, double y, double w, double h, Rgba colour, bool antialias)
{
    if (!m_surface)
        return;
    Context c(m_surface, m_originX, m_originY);
    if (!antialias)
        cairo_set_antialias(c.cr, CAIRO_ANTIALIAS_NONE);
    setSource(c.cr, colour);
    cairo_rectangle(c.cr, x, y, w, h);
    cairo_fill(c.cr);
}

void Canvas::fillPolygon(std::span<const Point> points, Rgba colour, bool antialias)
{
    if (!m_surface || points.size() < 3)
        return;
    Context c(m_surface, m_originX, m_originY);
    if (!antialias)
        cairo_set_antialias(c.cr, CAIRO_ANTIALIAS_NONE);
    setSource(c.cr, colour);
    cairo_move_to(c.cr, points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i)
        cairo_line_to(c.cr, points[i].x, points[i].y);
    cairo_close_path(c.cr);
    cairo_fill(c.cr);
}

void Canvas::drawCanvas(const Canvas& source, int opacity)
{
    if (!m_surface || !source.m_surface)
        return;
    Context c(m_surface, m_originX, m_originY);
    cairo_set_source_surface(c.cr, source.m_surface, source.m_originX, source.m_originY);
    cairo_paint_with_alpha(c.cr, unit(opacity));
}

void Canvas::drawText(const Font& font, std::string_view text, double x, double y, Rgba colour,
                      TextRendering rendering, const Rgba* cellBackground)
{
    if (!m_surface)
        return;
    Context c(m_surface, m_originX, m_originY);
    Layout layout = makeLayout(c.cr, font, text, rendering);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    const double left = x - static_cast<double>(logical.x) / PANGO_SCALE;
    const double top = y - static_cast<double>(logical.y) / PANGO_SCALE;

    if (rendering == TextRendering::Aliased) {
        // Every covered pixel takes the colour as given, alpha included, like text written
        // straight into the pixels of a bitmap.
        cairo_set_antialias(c.cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_operator(c.cr, CAIRO_OPERATOR_SOURCE);
        if (cellBackground) {
            const TextExtent cell = extentOf(layout.get());
            setSource(c.cr, *cellBackground);
            cairo_rectangle(c.cr, std::round(x), std::round(y), cell.width, cell.height);
            cairo_fill(c.cr);
        }
        cairo_move_to(c.cr, std::round(left), std::round(top));
    } else {
        cairo_move_to(c.cr, left, top);
    }
    setSource(c.cr, colour);
    pango_cairo_show_layout(c.cr, layout.get());
}

void Canvas::copyStraightRow(int y, std::uint8_t* dst, ChannelOrder order) const
{
    if (!m_surface || y < 0 || y >= m_height)
        return;
    cairo_surface_flush(m_surface);
    const unsigned char* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    // Cairo keeps native-endian 32-bit words 0xAARRGGBB with the colour premultiplied.
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    const std::uint8_t* straight = unpremultiplyTable();
    for (int x = 0; x < m_width; ++x, dst += 4) {
        const std::uint32_t p = row[x];
        const std::uint32_t a = p >> 24;
        if (a == 0) {
            dst[order.r] = dst[order.g] = dst[order.b] = dst[order.a] = 0;
        } else if (a == 255) {
            dst[order.r] = static_cast<std::uint8_t>(p >> 16);
            dst[order.g] = static_cast<std::uint8_t>(p >> 8);
            dst[order.b] = static_cast<std::uint8_t>(p);
            dst[order.a] = 255;
        } else {
            const std::uint8_t* byAlpha = straight + a * 256;
            dst[order.r] = byAlpha[(p >> 16) & 0xFF];
            dst[order.g] = byAlpha[(p >> 8) & 0xFF];
            dst[order.b] = byAlpha[p & 0xFF];
            dst[order.a] = static_cast<std::uint8_t>(a);
        }
    }
}

Rgba Canvas::pixel(int x, int y) const
{
    if (!m_surface || x < 0 || x >= m_width || y < 0 || y >= m_height)
        return Rgba{0, 0, 0, 0};
    std::uint8_t row[4] = {};
    // Copying one row to read one pixel is fine for checks; keep it out of loops.
    std::vector<std::uint8_t> line(static_cast<std::size_t>(m_width) * 4);
    copyStraightRow(y, line.data(), ChannelOrder{});
    std::copy_n(line.data() + static_cast<std::size_t>(x) * 4, 4, row);
    return Rgba{row[0], row[1], row[2], row[3]};
}

} // namespace platform
