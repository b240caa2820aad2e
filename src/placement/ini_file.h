#pragma once
// Our own reader and writer of INI files in the Windows layout: "[section]" lines, "key=value"
// lines, CR LF line ends, names and values as GB bytes. Reads accept CR LF, LF or CR line ends.
// Names match without regard to the case of ASCII letters; double-byte characters match exactly.

#include <string>
#include <string_view>
#include <vector>

#include "app/text.h"
#include "placement/file_contents.h"

namespace sousuo {

/// The longest value a read gives; longer values are cut.
inline constexpr std::size_t MaxIniValueSize = 10239;

/// The value of the key in the first section of that name in the INI text, without the white
/// space around it (and without quotes around all of it); empty when there is none.
Text iniValueIn(std::string_view contents, std::string_view section, std::string_view key);

/// The INI text with the key set to the value: the line of the key replaced where the section
/// has it, a line added to the section where it lacks it, or the section added at the end.
/// Every other line stays as it was, byte for byte.
std::string withIniValue(std::string_view contents, std::string_view section, std::string_view key,
                         std::string_view value);

/// Section and key lose their leading bytes 01 to 20 first; an empty name gives the empty text,
/// as do a missing file, section or key. At most MaxIniValueSize bytes.
Text readIniValue(const std::string& path, const Text& section, const Text& key);

struct IniSetting {
    Text section;
    Text key;
    Text value;
};

/// Sets every key in one replacement of the file (see replaceFileContents): the result is the
/// file that setting them one after the other would give, and a failure leaves the old file
/// whole. A file that exists but cannot be read is left alone. Names are not trimmed; an empty
/// section or key, a key holding "=", or any name or value holding a line break or a zero byte
/// is refused. True when the file was written.
bool writeIniValues(const std::string& path, const std::vector<IniSetting>& settings,
                    const ReplaceStepCheck& check = {});

bool writeIniValue(const std::string& path, const Text& section, const Text& key,
                   const Text& value);

}  // namespace sousuo
