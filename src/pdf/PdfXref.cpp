#include "pdf/PdfXref.h"

#include <string>

#include "common/Exceptions.h"

namespace tovra {

namespace {
std::string Padded(int64_t value, size_t width) {
    std::string digits = std::to_string(value < 0 ? 0 : value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}
}  // namespace

TPdfXref::TPdfXref() {
    entries_.push_back(TPdfXrefEntry{.Offset = -1, .Target = nullptr, .Generation = 65535, .Mark = 'f'});
}

TPdfObject* TPdfXref::AddObject(std::unique_ptr<TPdfObject>&& object) {
    if (!object || object->ObjectKind() != okDirect) throw EPdfInvalidOperation("AddObject --wrong object type.");
    TPdfObject* raw = object.get();
    const int32_t generation = raw->GenerationNumber();
    entries_.push_back(TPdfXrefEntry{.Offset = -1, .Target = std::move(object), .Generation = generation, .Mark = 'n'});
    raw->SetObjectNumber(static_cast<int32_t>(entries_.size() - 1));
    return raw;
}

TPdfObject* TPdfXref::ObjectByNumber(int32_t number) const {
    if (number < 0 || number >= EntryCount()) throw EListError("List index out of bounds (" + std::to_string(number) + ")");
    return entries_[static_cast<size_t>(number)].Target.get();
}

TPdfXrefEntry& TPdfXref::Entries(int index) {
    if (index < 0 || index >= EntryCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return entries_[static_cast<size_t>(index)];
}

void TPdfXref::WriteTo(TStream& stream) const {
    std::string section = "xref\r\n0 " + std::to_string(entries_.size()) + "\r\n";
    section.reserve(section.size() + entries_.size() * 20);
    for (const auto& entry : entries_) {
        section += Padded(entry.Offset, 10);
        section += ' ';
        section += Padded(entry.Generation, 5);
        section += ' ';
        section += entry.Mark;
        section += "\r\n";
    }
    WriteText(stream, section);
}

void TPdfHeader::WriteTo(TStream& stream) const {
    WriteText(stream, "%PDF-1." + std::to_string(MinorVersion) + " \r\n");
}

TPdfTrailer::TPdfTrailer(TPdfObjectMgr* objectMgr) : dict_(std::make_unique<TPdfDictionary>(objectMgr)) {
    dict_->Put("Size", std::make_unique<TPdfNumber>(0));
}

void TPdfTrailer::WriteTo(TStream& stream) {
    WriteText(stream, "trailer\r\n");
    dict_->WriteValue(stream);
    WriteText(stream, "\r\nstartxref\r\n" + std::to_string(XrefOffset) + "\r\n%%EOF\r\n");
}

}  // namespace tovra
