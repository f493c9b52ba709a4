// The table of every settings key: its group, its name as users see it, the field of the record
// it stands for, and when the settings file carries it. The file reader, the file writer and the
// command-line options all reach the record's fields through this one table.
#pragma once

#include "settings/conversion_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace settings
{

enum class KeyKind { Flag, Integer, Real, Text };

// Accessors of one field each. The variant's alternative is the field's kind, in KeyKind order.
using FlagField = Flag& (*)(ConversionSettings&);
using IntegerField = std::int32_t& (*)(ConversionSettings&);
using RealField = float& (*)(ConversionSettings&);
using TextField = std::string& (*)(ConversionSettings&);
using FieldAccessor = std::variant<FlagField, IntegerField, RealField, TextField>;

// When the settings file carries a key. Every key is read whatever this says.
enum class Written {
    Always,
    WithWindowPosition, // only when Save Window Position is not 0
    ForInputFormat,     // only when `format` is on the input-format list
    ForOutputFormat,    // only when `format` is on the output-format list
    Never,              // read from older files, dropped at the next save
};

struct SettingsKey {
    std::string_view group; // "Output"
    std::string_view key;   // "JPG Quality", exactly as in the file
    FieldAccessor field;
    Written written = Written::Always;
    std::string_view format; // lower-case format name for ForInputFormat / ForOutputFormat

    KeyKind kind() const { return static_cast<KeyKind>(field.index()); }

    // Marks a per-format key: written only while `name` is on the matching edition list.
    SettingsKey& onlyForInput(std::string_view name);
    SettingsKey& onlyForOutput(std::string_view name);
    SettingsKey& onlyWithWindowPosition();
    SettingsKey& neverWritten();
};

// Collects the rows of describeKeys(); the row functions return the new row for the markers above.
class KeyTable
{
  public:
    SettingsKey& flag(std::string_view group, std::string_view key, FlagField f);
    SettingsKey& integer(std::string_view group, std::string_view key, IntegerField f);
    SettingsKey& real(std::string_view group, std::string_view key, RealField f);
    SettingsKey& text(std::string_view group, std::string_view key, TextField f);

    std::vector<SettingsKey> rows;

  private:
    SettingsKey& add(std::string_view group, std::string_view key, FieldAccessor f);
};

// Fills `t` with every key of every group, groups and keys in the order the file is written.
void describeKeys(KeyTable& t);

// The table built by describeKeys(), built once; rows live for the whole process.
const std::vector<SettingsKey>& settingsKeys();

// The groups in the order the file is written: "General", "Window", ... "Privacy".
const std::vector<std::string_view>& settingsGroups();

// The row of `key` in `group`, letter case ignored; null when there is none.
const SettingsKey* findKey(std::string_view group, std::string_view key);
// The row of a field name as the rest of the program writes it: "JPG Quality", or
// "Output/Format" for the four keys that occur in two groups ("Format" alone is null).
const SettingsKey* findKey(std::string_view name);

// "JPG Quality", or "Watermark/Image Rotation" for a key that occurs in two groups.
std::string fieldName(const SettingsKey& k);

// The value as the settings file writes it: flags as signed 8-bit numbers, reals with six
// decimals, text with CR and LF turned into spaces.
std::string formatValue(const ConversionSettings& s, const SettingsKey& k);

// Sets the field from a value as the settings file holds it: numbers read up to the first
// character that is not part of one (flags keep the low 8 bits, integers the low 32), text
// loses its leading and trailing spaces and TABs. No range check.
void setFromText(ConversionSettings& s, const SettingsKey& k, std::string_view value);

// Sets a numeric field to `n` as the file reader would (low 8 or 32 bits; a real takes the
// value); a text field gets its decimal form.
void setNumber(ConversionSettings& s, const SettingsKey& k, std::int64_t n);

} // namespace settings
