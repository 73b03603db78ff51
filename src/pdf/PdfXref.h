#pragma once
// The cross-reference table (object manager), the file header and the trailer.
#include <deque>
#include <memory>

#include "pdf/PdfTypes.h"

namespace tovra {

// The widest byte offset a cross-reference line can hold: ten decimal digits.
inline constexpr int64_t kMaxXrefOffset = 9999999999LL;

// Ordered so that no padding sits between the fields: a long batch holds three per page.
struct TPdfXrefEntry {
    int64_t Offset = -1;                 // where "N 0 obj" starts; -1 until written
    std::unique_ptr<TPdfObject> Target;  // the registered object, owned
    int32_t Generation = 0;
    char Mark = 'f';                     // 'n' in use, 'f' free
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
    // A deque grows in fixed blocks: no doubling slack and no copy of the whole table as the
    // batch grows, and entries stay where they are.
    std::deque<TPdfXrefEntry> entries_;
};

class TPdfHeader {
public:
    static constexpr int kBaseMinorVersion = 2;
    // "%PDF-1.<MinorVersion> " and CR LF.
    void WriteTo(TStream& stream) const;
    int MinorVersion = kBaseMinorVersion;
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
