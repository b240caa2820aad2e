#include "placement/ini_file.h"

#include <cstdint>
#include <optional>

namespace sousuo {
namespace {

constexpr std::string_view LineEnd = "\r\n";

struct Line {
    std::string_view body;
    std::string_view ending;  // "\r\n", "\n", "\r", or empty on a last line without one
};

enum class LineKind : std::uint8_t { blank, section, entry, other };

struct ParsedLine {
    LineKind kind = LineKind::other;
    std::string_view name;
    std::string_view value;
};

bool isTrimmed(char c) {
    const auto byte = static_cast<std::uint8_t>(c);
    return byte >= 0x01 && byte <= 0x20;
}

std::string_view trimLeading(std::string_view text) {
    while (!text.empty() && isTrimmed(text.front())) text.remove_prefix(1);
    return text;
}

// Trail bytes of GB characters are 30 or above, so no byte of a character is cut here.
std::string_view trim(std::string_view text) {
    text = trimLeading(text);
    while (!text.empty() && isTrimmed(text.back())) text.remove_suffix(1);
    return text;
}

bool isLeadByte(char c) { return static_cast<std::uint8_t>(c) >= 0x80; }

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters match in either case; a double-byte character matches only itself, even where
// its trail byte looks like a letter.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isLeadByte(a[i])) {
            if (a[i] != b[i]) return false;
            if (i + 1 < a.size()) {
                ++i;
                if (a[i] != b[i]) return false;
            }
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// The last "]" that is a character of its own, not the trail byte of a double-byte character.
std::size_t closingBracket(std::string_view text) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (isLeadByte(text[i])) {
            ++i;
        } else if (text[i] == ']') {
            found = i;
        }
    }
    return found;
}

std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

ParsedLine parseLine(std::string_view body) {
    const std::string_view text = trim(body);
    if (text.empty()) return {LineKind::blank, {}, {}};
    if (text.front() == '[') {
        const std::size_t close = closingBracket(text);
        if (close == std::string_view::npos) return {};
        return {LineKind::section, trim(text.substr(1, close - 1)), {}};
    }
    // "=" is below every trail byte, so the first one is always a character of its own.
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return {};
    return {LineKind::entry, trim(text.substr(0, equals)), unquoted(trim(text.substr(equals + 1)))};
}

std::vector<Line> splitLines(std::string_view contents) {
    std::vector<Line> lines;
    while (!contents.empty()) {
        const std::size_t end = contents.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.push_back({contents, {}});
            break;
        }
        const std::size_t endLength =
            contents[end] == '\r' && end + 1 < contents.size() && contents[end + 1] == '\n' ? 2 : 1;
        lines.push_back({contents.substr(0, end), contents.substr(end, endLength)});
        contents.remove_prefix(end + endLength);
    }
    return lines;
}

// Where the first section of that name starts (its header line) and ends (the next header or
// the end of the file).
struct SectionSpan {
    std::size_t header;
    std::size_t end;
};

std::optional<SectionSpan> findSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine line = parseLine(lines[i].body);
        if (line.kind != LineKind::section || !sameName(line.name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && parseLine(lines[end].body).kind != LineKind::section) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const std::vector<Line>& lines, SectionSpan span,
                                   std::string_view key) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const ParsedLine line = parseLine(lines[i].body);
        if (line.kind == LineKind::entry && sameName(line.name, key)) return i;
    }
    return std::nullopt;
}

void appendLine(std::string& out, const Line& line) {
    out += line.body;
    out += line.ending;
}

bool holdsLineBreakOrZero(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool acceptable(const IniSetting& setting) {
    return !setting.section.empty() && !setting.key.empty() &&
           setting.key.find('=') == Text::npos && !holdsLineBreakOrZero(setting.section) &&
           !holdsLineBreakOrZero(setting.key) && !holdsLineBreakOrZero(setting.value);
}

}  // namespace

Text iniValueIn(std::string_view contents, std::string_view section, std::string_view key) {
    const std::vector<Line> lines = splitLines(contents);
    const std::optional<SectionSpan> span = findSection(lines, section);
    if (!span) return {};
    const std::optional<std::size_t> line = findKey(lines, *span, key);
    if (!line) return {};
    std::string_view value = parseLine(lines[*line].body).value;
    value = value.substr(0, value.find('\0'));
    return Text(value.substr(0, MaxIniValueSize));
}

std::string withIniValue(std::string_view contents, std::string_view section, std::string_view key,
                         std::string_view value) {
    std::vector<Line> lines = splitLines(contents);
    std::string out;
    out.reserve(contents.size() + section.size() + key.size() + value.size() + 8);

    const std::optional<SectionSpan> span = findSection(lines, section);
    if (!span) {
        for (const Line& line : lines) appendLine(out, line);
        if (!lines.empty() && lines.back().ending.empty()) out += LineEnd;
        out.append("[").append(section).append("]").append(LineEnd);
        out.append(key).append("=").append(value).append(LineEnd);
        return out;
    }

    if (const std::optional<std::size_t> keyLine = findKey(lines, *span, key)) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i != *keyLine) {
                appendLine(out, lines[i]);
                continue;
            }
            // The key keeps its spelling in the file; the line gets the new value.
            out.append(parseLine(lines[i].body).name).append("=").append(value);
            out += lines[i].ending.empty() ? LineEnd : lines[i].ending;
        }
        return out;
    }

    // A new key goes after the last line of the section that holds anything.
    std::size_t after = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (parseLine(lines[i].body).kind != LineKind::blank) after = i;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        appendLine(out, lines[i]);
        if (i != after) continue;
        if (lines[i].ending.empty()) out += LineEnd;
        out.append(key).append("=").append(value).append(LineEnd);
    }
    return out;
}

Text readIniValue(const std::string& path, const Text& section, const Text& key) {
    const std::string_view sectionName = trimLeading(section);
    const std::string_view keyName = trimLeading(key);
    if (sectionName.empty() || keyName.empty()) return {};
    const FileContents file = readFileContents(path);
    if (file.status != ReadStatus::read) return {};
    return iniValueIn(file.bytes, sectionName, keyName);
}

bool writeIniValues(const std::string& path, const std::vector<IniSetting>& settings,
                    const ReplaceStepCheck& check) {
    for (const IniSetting& setting : settings) {
        if (!acceptable(setting)) return false;
    }
    FileContents file = readFileContents(path);
    // Writing over a file we could not read would throw its other lines away.
    if (file.status == ReadStatus::failed) return false;
    std::string contents = std::move(file.bytes);
    for (const IniSetting& setting : settings) {
        contents = withIniValue(contents, setting.section, setting.key, setting.value);
    }
    return replaceFileContents(path, contents, check);
}

bool writeIniValue(const std::string& path, const Text& section, const Text& key,
                   const Text& value) {
    return writeIniValues(path, {IniSetting{section, key, value}});
}

}  // namespace sousuo
