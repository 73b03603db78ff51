#pragma once
// The cross-reference table (object manager), the file header and the trailer.
#include <memory>
#include <vector>

#include "pdf/PdfTypes.h"

namespace tovra {

// The widest byte offset a cross-reference line can hold: ten decimal digits.
inline constexpr int64_t kMaxXrefOffset = 9999999999LL;

struct TPdfXrefEntry {
    char Mark = 'f';                     // 'n' in use, 'f' free
    int64_t Offset = -1;                 // where "N 0 obj" starts; -1 until written
    int32_t Generation = 0;
    std::unique_ptr<TPdfObject> Target;  // the registered object, owned
};

class TPdfXref : public TPdfObjectMgr {
public:
    TPdfXref();
    TPdfObject* AddObject(std::unique_ptr<TPdfObject>&& object) override;
    TPdfObject* ObjectByNumber(int32_t number) const override;
    TPdfXrefEntry& Entries(int index);
    int EntryCount() const { return static_cast<int>(entries_.size()); }
    void WriteTo(TStream& stream) const;

private:
    std::vector<TPdfXrefEntry> entries_;
};

class TPdfHeader {
public:
    void WriteTo(TStream& stream) const;
};

class TPdfTrailer {
public:
    explicit TPdfTrailer(TPdfObjectMgr* objectMgr);
    void WriteTo(TStream& stream);
    TPdfDictionary& Dict() { return *dict_; }
    int64_t XrefOffset = 0;

private:
    std::unique_ptr<TPdfDictionary> dict_;
};

}  // namespace tovra
