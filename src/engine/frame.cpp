#include "engine/frame.h"

#include "engine/overlays.h"
#include "platform/drawing.h"

#include <algorithm>
#include <array>

namespace engine
{

namespace
{

// Pieces of at most this many pixels keep the drawing memory small even for wide frames.
constexpr long long kMaxPiecePixels = 1 << 22;
constexpr int kMaxPieceSide = 8192;

platform::Rgba opaque(const std::string& colour)
{
    const settings::Rgb c = settings::ParseColor(colour);
    return platform::Rgba{c.r, c.g, c.b, 255};
}

void addPieces(std::vector<PixelRect>& out, PixelRect r)
{
    if (r.width <= 0 || r.height <= 0)
        return;
    for (int x = r.x; x < r.x + r.width; x += kMaxPieceSide) {
        const int w = std::min(kMaxPieceSide, r.x + r.width - x);
        const int rows = static_cast<int>(std::clamp<long long>(kMaxPiecePixels / w, 1, kMaxPieceSide));
        for (int y = r.y; y < r.y + r.height; y += rows)
            out.push_back(PixelRect{x, y, w, std::min(rows, r.y + r.height - y)});
    }
}

} // namespace

std::vector<PixelRect> frameRegions(const settings::FrameSettings& f, int width, int height)
{
    std::vector<PixelRect> out;
    if (width <= 0 || height <= 0)
        return out;
    // Every band lies within its own side's strip, whatever the widths: the top band between
    // y = 0 and y = T, the right band between x = W - R and x = W, and so on.
    const int topEnd = std::clamp(f.solidTop, 0, height);
    const int bottomStart = std::clamp(height - std::max(f.solidBottom, 0), topEnd, height);
    const int leftEnd = std::clamp(f.solidLeft, 0, width);
    const int rightStart = std::clamp(width - std::max(f.solidRight, 0), leftEnd, width);
    addPieces(out, {0, 0, width, topEnd});
    addPieces(out, {0, bottomStart, width, height - bottomStart});
    addPieces(out, {0, topEnd, leftEnd, bottomStart - topEnd});
    addPieces(out, {rightStart, topEnd, width - rightStart, bottomStart - topEnd});
    return out;
}

void drawFrameShapes(platform::Canvas& canvas, const settings::FrameSettings& f, int width, int height)
{
    const double W = width, H = height;
    const double L = f.solidLeft, R = f.solidRight, T = f.solidTop, B = f.solidBottom;
    const platform::Rgba left = opaque(f.solidLeftColor), right = opaque(f.solidRightColor);
    const platform::Rgba top = opaque(f.solidTopColor), bottom = opaque(f.solidBottomColor);

    // Corners first, so that no antialiased seam between two bands lets the picture through.
    canvas.fillRect(0, 0, L, T, top);
    canvas.fillRect(W - R, 0, R, T, right);
    canvas.fillRect(W - R, H - B, R, B, bottom);
    canvas.fillRect(0, H - B, L, B, left);

    // Each band is a trapezoid whose ends follow the corner diagonals.
    const std::array<platform::Point, 4> topBand{{{0, 0}, {W, 0}, {W - R, T}, {L, T}}};
    const std::array<platform::Point, 4> rightBand{{{W, 0}, {W, H}, {W - R, H - B}, {W - R, T}}};
    const std::array<platform::Point, 4> bottomBand{{{W, H}, {0, H}, {L, H - B}, {W - R, H - B}}};
    const std::array<platform::Point, 4> leftBand{{{0, H}, {0, 0}, {L, T}, {L, H - B}}};
    canvas.fillPolygon(topBand, top);
    canvas.fillPolygon(rightBand, right);
    canvas.fillPolygon(bottomBand, bottom);
    canvas.fillPolygon(leftBand, left);
}

Bitmap applyFrame(Bitmap image, const OverlayContext& ctx, int, int)
{
    const settings::FrameSettings& f = ctx.settings.frame;
    if (!image || f.doFrame == 0)
        return image;
    image = toTwentyFourBits(std::move(image));
    if (!image || f.doFrame != 1)
        return image;

    // The bitmap's own size rules, should it ever differ from the size recorded after resizing.
    const int W = static_cast<int>(FreeImage_GetWidth(image.get()));
    const int H = static_cast<int>(FreeImage_GetHeight(image.get()));
    const int opacity = std::clamp(f.solidOpacity, 0, 255);
    if (opacity == 0)
        return image;

    // Draw and blend only the strips along the edges, piece by piece.
    for (const PixelRect& r : frameRegions(f, W, H)) {
        platform::Canvas shapes(r.width, r.height, r.x, r.y);
        if (!shapes.valid())
            return image;
        drawFrameShapes(shapes, f, W, H);
        // The overall opacity fades the finished shapes as one layer, so the corner seams stay closed.
        Bitmap piece = bitmapFromCanvas(shapes);
        if (!piece)
            return image;
        if (!compositeOnto(image.get(), piece.get(), r.x, r.y, opacity))
            return {};
    }
    return image;
}

} // namespace engine
