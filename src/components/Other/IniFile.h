#pragma once
// Single values of an INI file. Each call opens the file, reads or writes one value and closes
// it again; nothing is cached between calls. To read or write many values at once, use one
// TIniDocument (IniDocument.h), which reads and writes the file once.
//
// The file holds "[Section]" lines and "Key=Value" lines. Sections and keys are matched without
// regard to (ASCII) case; keys before the first section and lines starting with ";" or "#" are
// ignored when reading. Values are read with surrounding blanks removed.
//
// Encoding of values:
//   - Booleans are written "1"/"0" and read as integers: anything but 0 is true.
//   - Integers are written in decimal and read in decimal or, after "0x", "0X" or "$", in
//     hexadecimal (an optional sign first). A value that is not a whole number, or that does not
//     fit 32 bits, gives the default.
//   - Strings are written unchanged and read up to IniMaxStringLength bytes (never splitting a
//     UTF-8 sequence). A missing key gives the default; a present but empty one gives "".
//
// Writing replaces a key's line in place, appends a missing key after the last entry of its
// section and appends a missing section at the end of the file; every other line is kept as it
// is, line ending included. New lines end in LF, and a new section is separated from what comes
// before it by one blank line. A value's line breaks would start new lines in the file, so they
// are written as spaces. The file is replaced atomically (a temporary file in the same folder,
// renamed over it), so a failed write leaves the previous file whole; a missing parent folder
// is created. A failed write throws tovra::Exception "Unable to write to <path>". A file larger
// than IniMaxFileBytes (1 MB) is not read: its values count as missing, and a write replaces it.
//
// An empty path means DefaultIniFile().
#include <cstddef>
#include <cstdint>
#include <string>

namespace tovra {

inline constexpr std::size_t IniMaxStringLength = 2047;

// The path the helpers use when they are given an empty path. Empty at program start; the main
// window sets it to the program's INI file and clears it when it goes.
std::string& DefaultIniFile();
// `path`, or DefaultIniFile() when it is empty.
const std::string& IniPathOrDefault(const std::string& path);

std::string IniReadString(const std::string& section, const std::string& key, const std::string& defaultValue,
                          const std::string& path = {});
std::int32_t IniReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue,
                            const std::string& path = {});
bool IniReadBool(const std::string& section, const std::string& key, bool defaultValue, const std::string& path = {});

void IniWriteString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& path = {});
void IniWriteInteger(const std::string& section, const std::string& key, std::int32_t value,
                     const std::string& path = {});
void IniWriteBool(const std::string& section, const std::string& key, bool value, const std::string& path = {});

// Parses an INI integer as described above; false when the text is not one.
bool ParseIniInteger(const std::string& text, std::int32_t& value);

}  // namespace tovra
