#include "engine/watermark.h"

#include "engine/naming.h"
#include "engine/overlays.h"
#include "platform/drawing.h"
#include "platform/fonts.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace engine
{

namespace
{

platform::Rgba colourWithOpacity(const std::string& colour, int opacity)
{
    const settings::Rgb c = settings::ParseColor(colour);
    return platform::Rgba{c.r, c.g, c.b, static_cast<std::uint8_t>(std::clamp(opacity, 0, 255))};
}

bool startsWithEol(std::string_view text, std::size_t at)
{
    static constexpr std::string_view kEol = "%eol%";
    if (text.size() - at < kEol.size())
        return false;
    for (std::size_t i = 0; i < kEol.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != kEol[i])
            return false;
    return true;
}

// Settings of the kind in hand: the text ones for a text watermark, the image ones otherwise.
struct Placing {
    int boundary, anchor, offsetX, offsetY, rotation;
};

Placing placingFor(const settings::WatermarkSettings& s)
{
    if (s.doWatermark == 1)
        return {s.textBoundary, s.textPosition, s.textXOffset, s.textYOffset, s.textRotation};
    return {s.imageBoundary, s.imagePosition, s.imageXOffset, s.imageYOffset, s.imageRotation};
}

} // namespace

OverlayArea watermarkArea(const settings::FrameSettings& frame, int boundary, int width, int height)
{
    if (boundary != 1 || frame.doFrame == 0)
        return OverlayArea{0, 0, width, height};
    return OverlayArea{frame.solidLeft, frame.solidTop, width - frame.solidLeft - frame.solidRight,
                       height - frame.solidTop - frame.solidBottom};
}

OverlayPlacement placeOverlay(const OverlayArea& area, int overlayWidth, int overlayHeight, int anchor,
                              int offsetX, int offsetY)
{
    const int W = area.width, H = area.height, X = offsetX, Y = offsetY;
    const int w = std::min(overlayWidth, W - X);
    const int h = std::min(overlayHeight, H - Y);
    if (anchor < 0 || anchor > 8)
        return OverlayPlacement{area.left, area.top, w, h};
    // Anchors run row by row: left, centre, right at the top, then the middle, then the bottom.
    const int column = anchor % 3, row = anchor / 3;
    const int x = column == 0 ? X : column == 1 ? (W - w) / 2 : W - w - X;
    const int y = row == 0 ? Y : row == 1 ? (H - h) / 2 : H - h - Y;
    return OverlayPlacement{area.left + x, area.top + y, w, h};
}

std::vector<std::string> splitWatermarkLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (startsWithEol(text, i)) {
            lines.emplace_back(text.substr(start, i - start));
            i += 5;
            start = i;
        } else {
            ++i;
        }
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

TextBoxLayout layoutTextBox(std::span<const LineSize> lines, int padding, int leading, int alignment)
{
    TextBoxLayout box;
    if (lines.empty())
        return box;
    if (lines.size() == 1) {
        box.width = lines[0].width + 2 * padding;
        box.height = lines[0].height + 2 * padding;
        box.pitch = lines[0].height + leading;
        box.lineX = {padding};
        box.lineY = {padding};
        return box;
    }
    int textWidth = 10, lineHeight = 10;
    for (const LineSize& l : lines) {
        textWidth = std::max(textWidth, l.width);
        lineHeight = std::max(lineHeight, l.height);
    }
    const int breaks = static_cast<int>(lines.size()) - 1;
    box.pitch = lineHeight + leading;
    box.width = textWidth + 2 * padding;
    box.height = lineHeight + breaks * box.pitch + 2 * padding;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lw = lines[i].width;
        int x = padding;
        if (alignment == 1)
            x = static_cast<int>(std::lround((box.width - lw) / 2.0));
        else if (alignment == 2)
            x = box.width - lw - padding;
        box.lineX.push_back(x);
        box.lineY.push_back(padding + static_cast<int>(i) * box.pitch);
    }
    return box;
}

Bitmap renderTextOverlay(std::string_view text, const settings::WatermarkSettings& s,
                         const platform::Font& font)
{
    using platform::TextRendering;
    const TextRendering rendering = s.textAntialiasing ? TextRendering::Antialiased : TextRendering::Aliased;
    const std::vector<std::string> lines = splitWatermarkLines(text);
    std::vector<LineSize> sizes;
    sizes.reserve(lines.size());
    for (const std::string& line : lines) {
        const platform::TextExtent e = platform::measureText(font, line, rendering);
        // Vector text is aligned by its outline width rounded to whole pixels.
        const int width =
            rendering == TextRendering::Antialiased ? static_cast<int>(std::lround(e.exactWidth)) : e.width;
        sizes.push_back(LineSize{width, e.height});
    }
    const TextBoxLayout box = layoutTextBox(sizes, s.textPadding, s.fontLeading, s.textAlignment);
    // A box beyond 64 megapixels (a huge font size by mistake) would need gigabytes of drawing
    // memory for a watermark that cannot fit any picture; leave it out instead.
    constexpr long long kMaxBoxPixels = 1LL << 26;
    if (box.width <= 0 || box.height <= 0 || static_cast<long long>(box.width) * box.height > kMaxBoxPixels)
        return {};

    const platform::Rgba back = colourWithOpacity(s.backColor, s.backOpacity);
    const platform::Rgba fore = colourWithOpacity(s.fontColor, s.textOpacity);
    platform::Canvas overlay(box.width, box.height);
    if (!overlay.valid())
        return {};

    if (rendering == TextRendering::Aliased) {
        // Written straight into the pixels: the box in the back colour, the glyphs in the font
        // colour, each with its own opacity and no blending between them.
        overlay.fill(back);
        for (std::size_t i = 0; i < lines.size(); ++i)
            overlay.drawText(font, lines[i], box.lineX[i], box.lineY[i], fore, rendering, &back);
        return bitmapFromCanvas(overlay);
    }

    // Box and text are drawn opaque on layers of their own and then laid down at their opacities.
    platform::Canvas boxLayer(box.width, box.height);
    platform::Canvas textLayer(box.width, box.height);
    if (!boxLayer.valid() || !textLayer.valid())
        return {};
    boxLayer.fill(platform::Rgba{back.r, back.g, back.b, 255});
    const platform::Rgba opaqueFore{fore.r, fore.g, fore.b, 255};
    for (std::size_t i = 0; i < lines.size(); ++i)
        textLayer.drawText(font, lines[i], box.lineX[i], box.lineY[i], opaqueFore, rendering);
    overlay.drawCanvas(boxLayer, back.a);
    overlay.drawCanvas(textLayer, fore.a);
    return bitmapFromCanvas(overlay);
}

Bitmap renderImageOverlay(const settings::WatermarkSettings& s)
{
    if (s.image.empty())
        return {};
    const char* path = s.image.c_str();
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path, 0);
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFIFFromFilename(path);
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return {};
    Bitmap loaded(FreeImage_Load(fif, path, 0));
    if (!loaded || !FreeImage_HasPixels(loaded.get()))
        return {};

    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(loaded.get());
    // A palette image with a transparent entry has transparency too, not only 32-bit ones.
    const bool hasAlpha = (type == FIT_BITMAP && FreeImage_GetBPP(loaded.get()) == 32) ||
                          type == FIT_RGBA16 || type == FIT_RGBAF || FreeImage_IsTransparent(loaded.get());
    if (type != FIT_BITMAP && type != FIT_RGB16 && type != FIT_RGBA16) {
        Bitmap standard(FreeImage_ConvertToStandardType(loaded.get(), TRUE));
        if (!standard)
            return {};
        loaded = std::move(standard);
    }
    Bitmap pixels(FreeImage_ConvertTo32Bits(loaded.get()));
    if (!pixels)
        return {};
    loaded.reset();

    const int opacity = std::clamp(s.imageOpacity, 0, 255);
    const unsigned w = FreeImage_GetWidth(pixels.get());
    const unsigned h = FreeImage_GetHeight(pixels.get());
    for (unsigned y = 0; y < h; ++y) {
        BYTE* p = FreeImage_GetScanLine(pixels.get(), static_cast<int>(y));
        for (unsigned x = 0; x < w; ++x, p += 4) {
            unsigned r = p[FI_RGBA_RED], g = p[FI_RGBA_GREEN], b = p[FI_RGBA_BLUE];
            const unsigned a = hasAlpha ? p[FI_RGBA_ALPHA] : 255;
            if (s.imageGreyscale)
                r = g = b = (77 * r + 150 * g + 29 * b) / 256;
            const unsigned drawn = (a * opacity + 127) / 255;
            if (hasAlpha) {
                // Over a transparent canvas the colour stays and only the coverage changes.
                if (drawn == 0)
                    r = g = b = 0;
                p[FI_RGBA_ALPHA] = static_cast<BYTE>(drawn);
            } else {
                // Over opaque black: the colour fades toward black and the pixel stays opaque.
                r = (r * drawn + 127) / 255;
                g = (g * drawn + 127) / 255;
                b = (b * drawn + 127) / 255;
                p[FI_RGBA_ALPHA] = 255;
            }
            p[FI_RGBA_RED] = static_cast<BYTE>(r);
            p[FI_RGBA_GREEN] = static_cast<BYTE>(g);
            p[FI_RGBA_BLUE] = static_cast<BYTE>(b);
        }
    }
    return pixels;
}

Bitmap rotateOverlay(Bitmap overlay, int degrees)
{
    if (!overlay || degrees <= 0 || degrees >= 360)
        return overlay;
    return Bitmap(FreeImage_Rotate(overlay.get(), static_cast<double>(degrees), nullptr));
}

Bitmap applyWatermark(Bitmap image, const OverlayContext& ctx, int, int)
{
    const settings::WatermarkSettings& s = ctx.settings.watermark;
    if (!image || s.doWatermark == 0)
        return image;
    image = toTwentyFourBits(std::move(image));
    if (!image)
        return image;

    Bitmap overlay;
    if (s.doWatermark == 1) {
        const platform::Font* font = ctx.fonts ? ctx.fonts->font(platform::kWatermarkFontSlot) : nullptr;
        if (!font)
            return image;
        const std::string text = expandWatermarkText(s.text, TokenSource{ctx.job, ctx.current, ctx.counters});
        overlay = renderTextOverlay(text, s, *font);
    } else if (s.doWatermark == 2) {
        overlay = renderImageOverlay(s);
    }
    const Placing p = placingFor(s);
    overlay = rotateOverlay(std::move(overlay), p.rotation);
    if (!overlay)
        return image;

    // The bitmap's own size rules, should it ever differ from the size recorded after resizing.
    const int W = static_cast<int>(FreeImage_GetWidth(image.get()));
    const int H = static_cast<int>(FreeImage_GetHeight(image.get()));
    const OverlayArea area = watermarkArea(ctx.settings.frame, p.boundary, W, H);
    const int ow = static_cast<int>(FreeImage_GetWidth(overlay.get()));
    const int oh = static_cast<int>(FreeImage_GetHeight(overlay.get()));
    const OverlayPlacement at = placeOverlay(area, ow, oh, p.anchor, p.offsetX, p.offsetY);
    if (at.width <= 0 || at.height <= 0)
        return image;
    if (at.width != ow || at.height != oh) {
        overlay.reset(FreeImage_Copy(overlay.get(), 0, 0, at.width, at.height));
        if (!overlay)
            return image;
    }
    if (!compositeOnto(image.get(), overlay.get(), at.x, at.y))
        return {};
    return image;
}

} // namespace engine
