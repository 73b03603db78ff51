#include "components/Other/IniDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <filesystem>
#include <fstream>

#include "common/Exceptions.h"
#include "components/Other/IniFile.h"

namespace tovra {

namespace {

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string OneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    return value;
}

// The file's bytes, read at most IniMaxFileBytes + 1 of them, so a file that grows while it is
// read (or a device that never ends) still counts as too large.
TIniLoad ReadCapped(const std::string& path, std::string& bytes) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return TIniLoad::Missing;
    if (error || status.type() != fs::file_type::regular) return TIniLoad::Unreadable;
    if (fs::file_size(path, error) > IniMaxFileBytes && !error) return TIniLoad::TooLarge;
    std::ifstream in(path, std::ios::binary);
    if (!in) return TIniLoad::Unreadable;
    bytes.resize(IniMaxFileBytes + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) return TIniLoad::Unreadable;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes.size() > IniMaxFileBytes ? TIniLoad::TooLarge : TIniLoad::Read;
}

[[noreturn]] void FailWrite(const std::string& path) { throw Exception("Unable to write to " + path); }

}  // namespace

TIniDocument::TIniDocument(std::string path) : path_(std::move(path)) {
    std::string bytes;
    load_ = ReadCapped(path_, bytes);
    if (load_ != TIniLoad::Read) return;
    // Lines as std::getline splits them: a last line without LF still counts, a final LF adds none.
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        lines_.push_back(ParseLine(bytes.substr(start, end - start)));
        start = end + 1;
    }
}

TIniDocument::TLine TIniDocument::ParseLine(std::string raw) {
    TLine line;
    line.Raw = std::move(raw);
    std::string text = line.Raw;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    text = TrimIniBlanks(text);
    if (text.empty() || text[0] == ';' || text[0] == '#') return line;
    if (text[0] == '[') {
        const auto close = text.find(']');
        if (close != std::string::npos) {
            line.Kind = TLine::Section;
            line.Name = TrimIniBlanks(text.substr(1, close - 1));
        }
        return line;
    }
    const auto equals = text.find('=');
    if (equals == std::string::npos) return line;
    line.Name = TrimIniBlanks(text.substr(0, equals));
    if (line.Name.empty()) return line;
    line.Kind = TLine::Entry;
    line.Value = TrimIniBlanks(text.substr(equals + 1));
    return line;
}

bool TIniDocument::Blank(const TLine& line) {
    const std::string text = TrimIniBlanks(line.Raw);
    return text.empty() || text == "\r";
}

std::optional<std::size_t> TIniDocument::FindSection(const std::string& section, std::size_t& end) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].Kind != TLine::Section || !SameText(lines_[i].Name, section)) continue;
        end = i + 1;
        while (end < lines_.size() && lines_[end].Kind != TLine::Section) ++end;
        return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> TIniDocument::FindKey(std::size_t header, std::size_t end, const std::string& key) const {
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines_[i].Kind == TLine::Entry && SameText(lines_[i].Name, key)) return i;
    return std::nullopt;
}

std::optional<std::string> TIniDocument::Value(const std::string& section, const std::string& key) const {
    std::size_t end = 0;
    const auto header = FindSection(section, end);
    if (!header) return std::nullopt;
    const auto index = FindKey(*header, end, key);
    if (!index) return std::nullopt;
    return lines_[*index].Value;
}

void TIniDocument::SetValue(const std::string& section, const std::string& key, const std::string& value) {
    const std::string entry = key + "=" + OneLine(value);
    std::size_t end = 0;
    const auto header = FindSection(section, end);
    if (!header) {
        if (!lines_.empty() && !Blank(lines_.back())) lines_.push_back(ParseLine(""));
        lines_.push_back(ParseLine("[" + section + "]"));
        lines_.push_back(ParseLine(entry));
        return;
    }
    if (const auto index = FindKey(*header, end, key)) {
        // The line keeps its own line ending.
        const bool crlf = !lines_[*index].Raw.empty() && lines_[*index].Raw.back() == '\r';
        lines_[*index] = ParseLine(crlf ? entry + "\r" : entry);
        return;
    }
    // After the section's last entry, before the blank lines that separate it from the next.
    std::size_t insertAt = end;
    while (insertAt > *header + 1 && Blank(lines_[insertAt - 1])) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), ParseLine(entry));
}

std::string TIniDocument::ReadString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) const {
    auto value = Value(section, key);
    if (!value) return defaultValue;
    if (value->size() > IniMaxStringLength) {
        std::size_t cut = IniMaxStringLength;
        // Do not leave half a UTF-8 character at the end.
        while (cut > 0 && (static_cast<unsigned char>((*value)[cut]) & 0xC0) == 0x80) --cut;
        value->resize(cut);
    }
    return *value;
}

std::int32_t TIniDocument::ReadInteger(const std::string& section, const std::string& key,
                                       std::int32_t defaultValue) const {
    const auto text = Value(section, key);
    std::int32_t value = 0;
    if (!text || !ParseIniInteger(*text, value)) return defaultValue;
    return value;
}

bool TIniDocument::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniDocument::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    SetValue(section, key, value);
}

void TIniDocument::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    SetValue(section, key, std::to_string(value));
}

void TIniDocument::WriteBool(const std::string& section, const std::string& key, bool value) {
    SetValue(section, key, value ? "1" : "0");
}

void TIniDocument::Save() const {
    if (path_.empty() || load_ == TIniLoad::Unreadable) FailWrite(path_);
    std::string text;
    for (const TLine& line : lines_) {
        text += line.Raw;
        text += '\n';
    }
    const QString qpath = QString::fromStdString(path_);
    QDir().mkpath(QFileInfo(qpath).absolutePath());
    QSaveFile file(qpath);
    if (!file.open(QIODevice::WriteOnly)) FailWrite(path_);
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        FailWrite(path_);
    }
    if (!file.commit()) FailWrite(path_);
}

std::string TrimIniBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace tovra
