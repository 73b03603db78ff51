#pragma once
// A whole INI file in memory: read and parsed once, its values looked up and changed, and
// written back once, atomically. The single-value helpers of IniFile.h are made of it, and so
// is the preferences file, which reads or writes all its keys in one go.
//
// The format and the encoding of values are those described in IniFile.h. A file larger than
// IniMaxFileBytes is not read at all (its values count as missing); saving replaces it with the
// values set since. A file that exists but cannot be read is never replaced: its other values
// would be lost.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovra {

inline constexpr std::uintmax_t IniMaxFileBytes = 1024 * 1024;

// What loading found at the path.
enum class TIniLoad {
    Read,        // the file was read and parsed
    Missing,     // there is no file: every value is missing
    TooLarge,    // larger than IniMaxFileBytes: not read, every value is missing
    Unreadable,  // there, but not a regular file or not readable: every value is missing
};

class TIniDocument {
public:
    TIniDocument() = default;
    // Reads the file at `path` (see TIniLoad); the document then holds its lines.
    explicit TIniDocument(std::string path);

    const std::string& Path() const { return path_; }
    TIniLoad LoadResult() const { return load_; }

    // The value of a key, blanks around it removed; nothing when the key or its section is missing.
    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    // Replaces the key's line in place, or adds the key at the end of its section, or the section
    // at the end of the file. Line breaks in the value become spaces.
    void SetValue(const std::string& section, const std::string& key, const std::string& value);

    // Typed reads and writes with the encoding of IniFile.h.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Writes the document to its path through a temporary file in the same folder renamed over
    // it (a missing folder is made first). Throws tovra::Exception "Unable to write to <path>"
    // when it cannot, and for a file that was there but could not be read; the file on disk is
    // then as it was.
    void Save() const;

private:
    struct TLine {
        std::string Raw;  // without the LF; a CR before it stays part of the line
        enum TKind { Other, Section, Entry } Kind = Other;
        std::string Name;   // section name or key
        std::string Value;  // value of an entry
    };
    static TLine ParseLine(std::string raw);
    static bool Blank(const TLine& line);
    // Index of the section's header line, or nothing; `end` receives the index after its lines.
    std::optional<std::size_t> FindSection(const std::string& section, std::size_t& end) const;
    std::optional<std::size_t> FindKey(std::size_t header, std::size_t end, const std::string& key) const;

    std::string path_;
    TIniLoad load_ = TIniLoad::Missing;
    std::vector<TLine> lines_;
};

// The text without the spaces and tabs around it, as names and values are read.
std::string TrimIniBlanks(const std::string& text);

}  // namespace tovra
