#include "components/Other/IniFile.h"

#include <limits>

#include "components/Other/IniDocument.h"

namespace tovra {

namespace {

// One value into the file: the file is read, changed and written back whole.
void WriteValue(const std::string& section, const std::string& key, const std::string& value,
                const std::string& path) {
    TIniDocument ini(IniPathOrDefault(path));
    ini.SetValue(section, key, value);
    ini.Save();
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

const std::string& IniPathOrDefault(const std::string& path) { return path.empty() ? DefaultIniFile() : path; }

bool ParseIniInteger(const std::string& given, std::int32_t& value) {
    const std::string text = TrimIniBlanks(given);
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
    return TIniDocument(IniPathOrDefault(path)).ReadString(section, key, defaultValue);
}

std::int32_t IniReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue,
                            const std::string& path) {
    return TIniDocument(IniPathOrDefault(path)).ReadInteger(section, key, defaultValue);
}

bool IniReadBool(const std::string& section, const std::string& key, bool defaultValue, const std::string& path) {
    return TIniDocument(IniPathOrDefault(path)).ReadBool(section, key, defaultValue);
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
