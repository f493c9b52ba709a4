#include "engine_dng_fixture.h"

#include <FreeImage.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace fixtures {

namespace {

// TIFF field types.
constexpr std::uint16_t kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kSRational = 10;

// Linear patch values on the 16-bit sensor scale, per quadrant: (red, green, blue).
constexpr std::array<std::array<std::uint16_t, 3>, 4> kLinear = {{
    {52000, 4000, 4000},   // red
    {4000, 52000, 4000},   // green
    {4000, 4000, 52000},   // blue
    {46000, 46000, 46000}, // white
}};

Quadrant quadrantAt(int x, int y, int width, int height)
{
    const bool right = x >= width / 2;
    const bool bottom = y >= height / 2;
    if (bottom) return right ? Quadrant::BottomRight : Quadrant::BottomLeft;
    return right ? Quadrant::TopRight : Quadrant::TopLeft;
}

struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::vector<std::uint8_t> data;   // little-endian value bytes
};

class Bytes {
public:
    void u8(std::uint8_t v) { m_b.push_back(v); }
    void u16(std::uint16_t v) { u8(v & 0xFF); u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void append(const std::vector<std::uint8_t>& v) { m_b.insert(m_b.end(), v.begin(), v.end()); }
    std::vector<std::uint8_t>& data() { return m_b; }

private:
    std::vector<std::uint8_t> m_b;
};

Entry shorts(std::uint16_t tag, std::initializer_list<std::uint16_t> values)
{
    Bytes b;
    for (auto v : values) b.u16(v);
    return {tag, kShort, static_cast<std::uint32_t>(values.size()), b.data()};
}

Entry longs(std::uint16_t tag, std::initializer_list<std::uint32_t> values)
{
    Bytes b;
    for (auto v : values) b.u32(v);
    return {tag, kLong, static_cast<std::uint32_t>(values.size()), b.data()};
}

Entry bytes(std::uint16_t tag, std::initializer_list<std::uint8_t> values)
{
    return {tag, kByte, static_cast<std::uint32_t>(values.size()), std::vector<std::uint8_t>(values)};
}

Entry ascii(std::uint16_t tag, const std::string& text)
{
    std::vector<std::uint8_t> d(text.begin(), text.end());
    d.push_back(0);
    return {tag, kAscii, static_cast<std::uint32_t>(d.size()), d};
}

Entry rationals(std::uint16_t tag, std::uint16_t type, std::initializer_list<std::pair<std::int32_t, std::int32_t>> values)
{
    Bytes b;
    for (auto [n, d] : values) {
        b.u32(static_cast<std::uint32_t>(n));
        b.u32(static_cast<std::uint32_t>(d));
    }
    return {tag, type, static_cast<std::uint32_t>(values.size()), b.data()};
}

// One IFD placed at `offset`: the entry table, then the values that do not fit in four bytes.
std::vector<std::uint8_t> serializeIfd(std::vector<Entry> entries, std::uint32_t offset)
{
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    const std::uint32_t tableSize = 2 + 12 * static_cast<std::uint32_t>(entries.size()) + 4;
    Bytes table, extra;
    table.u16(static_cast<std::uint16_t>(entries.size()));
    for (const Entry& e : entries) {
        table.u16(e.tag);
        table.u16(e.type);
        table.u32(e.count);
        if (e.data.size() <= 4) {
            std::vector<std::uint8_t> inl = e.data;
            inl.resize(4, 0);
            table.append(inl);
        } else {
            table.u32(offset + tableSize + static_cast<std::uint32_t>(extra.data().size()));
            extra.append(e.data);
            if (extra.data().size() % 2) extra.u8(0);
        }
    }
    table.u32(0);   // no next IFD
    table.append(extra.data());
    return table.data();
}

// The preview: the picture as the sensor stored it, scaled to the preview size; JPEG, or
// uncompressed RGB bytes, top row first.
std::vector<std::uint8_t> encodePreview(const TestDngOptions& dng, int storedW, int storedH, int& pw, int& ph)
{
    const double scale = static_cast<double>(dng.previewLongSide) / std::max(storedW, storedH);
    pw = std::max(1, static_cast<int>(storedW * scale + 0.5));
    ph = std::max(1, static_cast<int>(storedH * scale + 0.5));
    FIBITMAP* dib = FreeImage_Allocate(pw, ph, 24);
    if (!dib) return {};
    for (int y = 0; y < ph; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib, ph - 1 - y);   // FreeImage rows run bottom-up
        for (int x = 0; x < pw; ++x) {
            const int sx = std::min(storedW - 1, static_cast<int>((x + 0.5) / scale));
            const int sy = std::min(storedH - 1, static_cast<int>((y + 0.5) / scale));
            int ux = 0, uy = 0;
            storedToUpright(dng.orientation, dng.width, dng.height, sx, sy, ux, uy);
            const PatchColour c = patchColour(quadrantAt(ux, uy, dng.width, dng.height));
            line[FI_RGBA_RED] = c.r;
            line[FI_RGBA_GREEN] = c.g;
            line[FI_RGBA_BLUE] = c.b;
            line += 3;
        }
    }
    std::vector<std::uint8_t> out;
    if (!dng.previewJpeg) {
        for (int y = 0; y < ph; ++y) {
            const BYTE* line = FreeImage_GetScanLine(dib, ph - 1 - y);
            for (int x = 0; x < pw; ++x, line += 3) {
                out.push_back(line[FI_RGBA_RED]);
                out.push_back(line[FI_RGBA_GREEN]);
                out.push_back(line[FI_RGBA_BLUE]);
            }
        }
        FreeImage_Unload(dib);
        return out;
    }
    FIMEMORY* mem = FreeImage_OpenMemory();
    if (mem && FreeImage_SaveToMemory(FIF_JPEG, dib, mem, 90)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        if (FreeImage_AcquireMemory(mem, &data, &size)) out.assign(data, data + size);
    }
    if (mem) FreeImage_CloseMemory(mem);
    FreeImage_Unload(dib);
    return out;
}

} // namespace

PatchColour patchColour(Quadrant q)
{
    switch (q) {
    case Quadrant::TopLeft: return {220, 30, 30};
    case Quadrant::TopRight: return {30, 220, 30};
    case Quadrant::BottomLeft: return {30, 30, 220};
    case Quadrant::BottomRight: return {230, 230, 230};
    }
    return {0, 0, 0};
}

void storedToUpright(int orientation, int width, int height, int sx, int sy, int& ux, int& uy)
{
    // The tag tells which side of the upright picture the stored first row and first column show.
    switch (orientation) {
    case 2: ux = width - 1 - sx; uy = sy; break;
    case 3: ux = width - 1 - sx; uy = height - 1 - sy; break;
    case 4: ux = sx; uy = height - 1 - sy; break;
    case 5: ux = sy; uy = sx; break;
    case 6: ux = width - 1 - sy; uy = sx; break;
    case 7: ux = width - 1 - sy; uy = height - 1 - sx; break;
    case 8: ux = sy; uy = height - 1 - sx; break;
    default: ux = sx; uy = sy; break;
    }
}

bool writeTestDng(const std::string& path, const TestDngOptions& dng)
{
    const bool swapped = dng.orientation >= 5 && dng.orientation <= 8;
    const int storedW = swapped ? dng.height : dng.width;
    const int storedH = swapped ? dng.width : dng.height;

    // The mosaic: each sensor pixel keeps the one channel of the RGGB pattern at its place.
    Bytes mosaic;
    for (int sy = 0; sy < storedH; ++sy) {
        for (int sx = 0; sx < storedW; ++sx) {
            int ux = 0, uy = 0;
            storedToUpright(dng.orientation, dng.width, dng.height, sx, sy, ux, uy);
            const auto& rgb = kLinear[static_cast<int>(quadrantAt(ux, uy, dng.width, dng.height))];
            const int channel = (sy & 1) == 0 ? ((sx & 1) == 0 ? 0 : 1) : ((sx & 1) == 0 ? 1 : 2);
            mosaic.u16(rgb[channel]);
        }
    }

    int pw = 0, ph = 0;
    std::vector<std::uint8_t> preview;
    if (dng.previewLongSide > 0) {
        preview = encodePreview(dng, storedW, storedH, pw, ph);
        if (preview.empty()) return false;
    }

    // Layout: header, mosaic, preview, EXIF IFD, raw sub-IFD (with a preview), IFD0.
    const std::uint32_t mosaicOffset = 8;
    const std::uint32_t mosaicSize = static_cast<std::uint32_t>(mosaic.data().size());
    std::uint32_t next = mosaicOffset + mosaicSize;
    const std::uint32_t previewOffset = next;
    next += static_cast<std::uint32_t>(preview.size());
    next += next % 2;

    std::vector<std::uint8_t> exifIfd;
    std::uint32_t exifOffset = 0;
    if (!dng.dateTimeOriginal.empty()) {
        exifOffset = next;
        exifIfd = serializeIfd({ascii(36867, dng.dateTimeOriginal), ascii(36868, dng.dateTimeOriginal),
                                {36864, 7, 4, {'0', '2', '3', '1'}}},
                               exifOffset);
        next += static_cast<std::uint32_t>(exifIfd.size());
    }

    std::vector<Entry> rawEntries = {
        longs(254, {0}),
        longs(256, {static_cast<std::uint32_t>(storedW)}),
        longs(257, {static_cast<std::uint32_t>(storedH)}),
        shorts(258, {16}),
        shorts(259, {1}),
        shorts(262, {32803}),
        longs(273, {mosaicOffset}),
        shorts(277, {1}),
        longs(278, {static_cast<std::uint32_t>(storedH)}),
        longs(279, {mosaicSize}),
        shorts(284, {1}),
        shorts(33421, {2, 2}),
        bytes(33422, {0, 1, 1, 2}),
        bytes(50710, {0, 1, 2}),
        shorts(50711, {1}),
        longs(50717, {65535}),
    };
    // The camera sees linear sRGB: ColorMatrix1 is the XYZ (D65) to linear sRGB matrix.
    std::vector<Entry> descriptive = {
        ascii(271, dng.make),
        ascii(272, dng.model),
        shorts(274, {static_cast<std::uint16_t>(dng.orientation)}),
        ascii(305, "make_test_dng"),
        bytes(50706, {1, 4, 0, 0}),
        bytes(50707, {1, 1, 0, 0}),
        ascii(50708, dng.make + " " + dng.model),
        rationals(50721, kSRational,
                  {{32406, 10000}, {-15372, 10000}, {-4986, 10000}, {-9689, 10000}, {18758, 10000}, {415, 10000},
                   {557, 10000}, {-2040, 10000}, {10570, 10000}}),
        shorts(50778, {21}),
        rationals(50728, kRational, {{1, 1}, {1, 1}, {1, 1}}),
    };
    if (exifOffset) descriptive.push_back(longs(34665, {exifOffset}));

    std::vector<std::uint8_t> rawIfd, ifd0;
    std::uint32_t ifd0Offset = 0;
    if (preview.empty()) {
        ifd0Offset = next;
        std::vector<Entry> all = rawEntries;
        all.insert(all.end(), descriptive.begin(), descriptive.end());
        ifd0 = serializeIfd(all, ifd0Offset);
    } else {
        const std::uint32_t rawOffset = next;
        rawIfd = serializeIfd(rawEntries, rawOffset);
        next += static_cast<std::uint32_t>(rawIfd.size());
        ifd0Offset = next;
        std::vector<Entry> all = {
            longs(254, {1}),
            longs(256, {static_cast<std::uint32_t>(pw)}),
            longs(257, {static_cast<std::uint32_t>(ph)}),
            shorts(258, {8, 8, 8}),
            shorts(259, {static_cast<std::uint16_t>(dng.previewJpeg ? 7 : 1)}),
            shorts(262, {static_cast<std::uint16_t>(dng.previewJpeg ? 6 : 2)}),
            longs(273, {previewOffset}),
            shorts(277, {3}),
            longs(278, {static_cast<std::uint32_t>(ph)}),
            longs(279, {static_cast<std::uint32_t>(preview.size())}),
            shorts(284, {1}),
            longs(330, {rawOffset}),
        };
        all.insert(all.end(), descriptive.begin(), descriptive.end());
        ifd0 = serializeIfd(all, ifd0Offset);
    }

    Bytes file;
    file.u8('I');
    file.u8('I');
    file.u16(42);
    file.u32(ifd0Offset);
    file.append(mosaic.data());
    file.append(preview);
    if (file.data().size() % 2) file.u8(0);
    file.append(exifIfd);
    file.append(rawIfd);
    file.append(ifd0);

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(file.data().data()), static_cast<std::streamsize>(file.data().size()));
    out.close();
    if (!out) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

} // namespace fixtures
