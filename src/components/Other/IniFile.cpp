#include "components/Other/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <fstream>
#include <limits>
#include <optional>
#include <vector>

#include "common/Exceptions.h"

namespace tovra {

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// One line of the file as it was read, with what it means to the reader.
struct IniLine {
    std::string raw;  // without the LF; a CR before it stays part of the line
    enum Kind { Other, Section, Entry } kind = Other;
    std::string name;   // section name or key
    std::string value;  // value of an entry

    bool Blank() const { return Trim(raw) == "" || Trim(raw) == "\r"; }
};

IniLine ParseLine(std::string raw) {
    IniLine line;
    line.raw = std::move(raw);
    std::string text = line.raw;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    text = Trim(text);
    if (text.empty() || text[0] == ';' || text[0] == '#') return line;
    if (text[0] == '[') {
        const auto close = text.find(']');
        if (close != std::string::npos) {
            line.kind = IniLine::Section;
            line.name = Trim(text.substr(1, close - 1));
        }
        return line;
    }
    const auto equals = text.find('=');
    if (equals == std::string::npos) return line;
    line.name = Trim(text.substr(0, equals));
    if (line.name.empty()) return line;
    line.kind = IniLine::Entry;
    line.value = Trim(text.substr(equals + 1));
    return line;
}

const std::string& ResolvePath(const std::string& path) { return path.empty() ? DefaultIniFile() : path; }

// The lines of the file, or nothing when it cannot be read (missing or not readable).
std::optional<std::vector<IniLine>> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<IniLine> lines;
    std::string raw;
    while (std::getline(in, raw)) lines.push_back(ParseLine(std::move(raw)));
    if (in.bad()) return std::nullopt;
    return lines;
}

// Index range [begin, end) of the named section's lines after its header; nothing when absent.
struct SectionRange {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionRange> FindSection(const std::vector<IniLine>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != IniLine::Section || !SameText(lines[i].name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != IniLine::Section) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<IniLine>& lines, const SectionRange& range,
                                   const std::string& key) {
    for (std::size_t i = range.header + 1; i < range.end; ++i)
        if (lines[i].kind == IniLine::Entry && SameText(lines[i].name, key)) return i;
    return std::nullopt;
}

std::optional<std::string> ReadValue(const std::string& section, const std::string& key, const std::string& path) {
    const auto lines = ReadLines(ResolvePath(path));
    if (!lines) return std::nullopt;
    const auto range = FindSection(*lines, section);
    if (!range) return std::nullopt;
    const auto index = FindKey(*lines, *range, key);
    if (!index) return std::nullopt;
    return (*lines)[*index].value;
}

[[noreturn]] void FailWrite(const std::string& path) { throw Exception("Unable to write to " + path); }

std::string OneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    return value;
}

void WriteValue(const std::string& section, const std::string& key, const std::string& value,
                const std::string& givenPath) {
    const std::string& path = ResolvePath(givenPath);
    if (path.empty()) FailWrite(path);
    std::vector<IniLine> lines;
    if (QFileInfo::exists(QString::fromStdString(path))) {
        auto existing = ReadLines(path);
        // Writing over a file we could not read would lose its other values.
        if (!existing) FailWrite(path);
        lines = std::move(*existing);
    }
    const std::string entry = key + "=" + OneLine(value);

    if (const auto range = FindSection(lines, section)) {
        if (const auto index = FindKey(lines, *range, key)) {
            const bool crlf = !lines[*index].raw.empty() && lines[*index].raw.back() == '\r';
            lines[*index] = ParseLine(crlf ? entry + "\r" : entry);
        } else {
            std::size_t insertAt = range->end;
            while (insertAt > range->header + 1 && lines[insertAt - 1].Blank()) --insertAt;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), ParseLine(entry));
        }
    } else {
        if (!lines.empty() && !lines.back().Blank()) lines.push_back(ParseLine(""));
        lines.push_back(ParseLine("[" + section + "]"));
        lines.push_back(ParseLine(entry));
    }

    std::string text;
    for (const IniLine& line : lines) text += line.raw + "\n";

    const QString qpath = QString::fromStdString(path);
    QDir().mkpath(QFileInfo(qpath).absolutePath());
    QSaveFile file(qpath);
    if (!file.open(QIODevice::WriteOnly)) FailWrite(path);
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        FailWrite(path);
    }
    if (!file.commit()) FailWrite(path);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string& DefaultIniFile() {
    static std::string path;
    return path;
}

bool ParseIniInteger(const std::string& given, std::int32_t& value) {
    const std::string text = Trim(given);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';

    std::uint64_t magnitude = 0;
    if (text.compare(pos, 2, "0x") == 0 || text.compare(pos, 2, "0X") == 0 || text.compare(pos, 1, "$") == 0) {
        pos += text[pos] == '$' ? 1 : 2;
        if (pos == text.size()) return false;
        for (; pos < text.size(); ++pos) {
            const int digit = HexDigit(text[pos]);
            if (digit < 0) return false;
            magnitude = magnitude * 16 + static_cast<unsigned>(digit);
            if (magnitude > 0xFFFFFFFFull) return false;
        }
        // Hexadecimal spells the 32 bits themselves: $FFFFFFFF is -1.
        auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
        value = negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(bits)) : bits;
        return true;
    }

    if (pos == text.size()) return false;
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9') return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(text[pos] - '0');
        if (magnitude > 0x80000000ull) return false;
    }
    if (!negative && magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return false;
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return true;
}

std::string IniReadString(const std::string& section, const std::string& key, const std::string& defaultValue,
                          const std::string& path) {
    auto value = ReadValue(section, key, path);
    if (!value) return defaultValue;
    if (value->size() > IniMaxStringLength) {
        std::size_t cut = IniMaxStringLength;
        // Do not leave half a UTF-8 character at the end.
        while (cut > 0 && (static_cast<unsigned char>((*value)[cut]) & 0xC0) == 0x80) --cut;
        value->resize(cut);
    }
    return *value;
}

std::int32_t IniReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue,
                            const std::string& path) {
    const auto text = ReadValue(section, key, path);
    std::int32_t value = 0;
    if (!text || !ParseIniInteger(*text, value)) return defaultValue;
    return value;
}

bool IniReadBool(const std::string& section, const std::string& key, bool defaultValue, const std::string& path) {
    return IniReadInteger(section, key, defaultValue ? 1 : 0, path) != 0;
}

void IniWriteString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& path) {
    WriteValue(section, key, value, path);
}

void IniWriteInteger(const std::string& section, const std::string& key, std::int32_t value, const std::string& path) {
    WriteValue(section, key, std::to_string(value), path);
}

void IniWriteBool(const std::string& section, const std::string& key, bool value, const std::string& path) {
    WriteValue(section, key, value ? "1" : "0", path);
}

}  // namespace tovra
