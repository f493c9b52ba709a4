// Fonts for drawn text: which faces the system can supply, and the registry of loaded fonts that
// a run keeps under small slot numbers (the watermark font lives in slot 2). A registry belongs
// to whoever runs the conversion; nothing here is global.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

struct _PangoFontDescription;

namespace platform
{

// The slot the conversion run loads the text watermark's font into.
inline constexpr int kWatermarkFontSlot = 2;

// A face asked for by name, size and style, as the settings store it.
struct FontRequest {
    std::string family;  // e.g. "Arial"
    int sizePoints = 14; // points, at 96 pixels per inch
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
};

// True when fontconfig resolves `family` to a face of that family, or to a face it declares a
// strong alias of it (Arial to Liberation Sans, Helvetica to Nimbus Sans). A name that would only
// fall back to the default face (say "Tahoma" on a system without it) is not loadable, so a
// watermark never comes out silently in some other typeface.
[[nodiscard]] bool isFontLoadable(std::string_view family);

// A loaded font: immutable once made, safe to hand from the thread that loaded it to the worker.
class Font
{
  public:
    explicit Font(const FontRequest& request);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const FontRequest& request() const { return m_request; }
    // The Pango description of the face, for the drawing code.
    const _PangoFontDescription* description() const { return m_description; }

  private:
    FontRequest m_request;
    _PangoFontDescription* m_description = nullptr;
};

// Fonts under numbers. Loading into a slot replaces what it held; freeing an empty slot does nothing.
class FontRegistry
{
  public:
    // Loads `request` into `slot`. False (and the slot left empty) when the face is not loadable
    // (see isFontLoadable) or the size is not a positive number of points.
    [[nodiscard]] bool load(int slot, const FontRequest& request);
    [[nodiscard]] bool isLoaded(int slot) const;
    void free(int slot);
    // The font in `slot`, or nullptr when it is empty. Owned by the registry.
    [[nodiscard]] const Font* font(int slot) const;

  private:
    std::map<int, std::unique_ptr<Font>> m_slots;
};

} // namespace platform
