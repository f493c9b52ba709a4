#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>
#include <pango/pango.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace platform
{

namespace
{

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// fontconfig's own generic names are aliases by definition.
bool isGenericFamily(std::string_view family)
{
    for (std::string_view g : {"sans-serif", "sans", "serif", "monospace", "mono", "system-ui"})
        if (sameName(family, g))
            return true;
    return false;
}

struct PatternDeleter {
    void operator()(FcPattern* p) const noexcept { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

} // namespace

bool isFontLoadable(std::string_view family)
{
    if (family.empty() || family.find('\0') != std::string_view::npos)
        return false;
    if (isGenericFamily(family))
        return true;
    if (!FcInit())
        return false;

    Pattern pattern(FcPatternCreate());
    if (!pattern)
        return false;
    const std::string name(family);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern))
        return false;
    FcDefaultSubstitute(pattern.get());

    // The configuration binds real aliases strongly (binding="same" or "strong"); the generic
    // fallback it appends for every unknown name is bound weakly.
    std::vector<std::string> accepted;
    FcPatternIter it;
    FcPatternIterStart(pattern.get(), &it);
    if (FcPatternFindIter(pattern.get(), &it, FC_FAMILY)) {
        const int count = FcPatternIterValueCount(pattern.get(), &it);
        for (int i = 0; i < count; ++i) {
            FcValue value;
            FcValueBinding binding;
            if (FcPatternIterGetValue(pattern.get(), &it, i, &value, &binding) != FcResultMatch)
                continue;
            if (value.type == FcTypeString && binding != FcValueBindingWeak)
                accepted.emplace_back(reinterpret_cast<const char*>(value.u.s));
        }
    }

    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || result != FcResultMatch)
        return false;
    // A face may carry several family names (localised or with a style suffix); any will do.
    FcChar8* matched = nullptr;
    for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &matched) == FcResultMatch; ++i) {
        const std::string_view m(reinterpret_cast<const char*>(matched));
        if (sameName(m, family))
            return true;
        for (const std::string& a : accepted)
            if (sameName(m, a))
                return true;
    }
    return false;
}

Font::Font(const FontRequest& request) : m_request(request)
{
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, request.family.c_str());
    pango_font_description_set_size(d, request.sizePoints * PANGO_SCALE);
    pango_font_description_set_weight(d, request.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d, request.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    m_description = d;
}

Font::~Font()
{
    pango_font_description_free(m_description);
}

bool FontRegistry::load(int slot, const FontRequest& request)
{
    m_slots.erase(slot);
    // Windows fonts top out far below this; the cap keeps a typo from asking for a huge glyph cache.
    constexpr int kMaxPoints = 4000;
    if (request.sizePoints <= 0 || request.sizePoints > kMaxPoints)
        return false;
    if (!isFontLoadable(request.family))
        return false;
    m_slots[slot] = std::make_unique<Font>(request);
    return true;
}

bool FontRegistry::isLoaded(int slot) const
{
    return m_slots.contains(slot);
}

void FontRegistry::free(int slot)
{
    m_slots.erase(slot);
}

const Font* FontRegistry::font(int slot) const
{
    const auto it = m_slots.find(slot);
    return it == m_slots.end() ? nullptr : it->second.get();
}

} // namespace platform
