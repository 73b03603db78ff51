#pragma once
// The PDF value classes and their byte-exact serialization (ISO 32000, section 7.3).
// Values are built in memory as a tree; objects that must be addressable elsewhere are
// registered with an object manager, which numbers and owns them, and appear everywhere
// else as a reference "N 0 R".
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfEncode.h"
#include "pdf/PdfStreams.h"

namespace tovra {

enum TPdfObjectKind : uint8_t { okDirect = 0, okIndirect = 1, okVirtual = 2 };

class TPdfObject;

// Numbers, owns and resolves the indirect objects of one document.
class TPdfObjectMgr {
public:
    virtual ~TPdfObjectMgr() = default;
    // Takes ownership of a direct object and makes it indirect; returns it.
    virtual TPdfObject* AddObject(std::unique_ptr<TPdfObject>&& object) = 0;
    virtual TPdfObject* ObjectByNumber(int32_t number) const = 0;

    template <class T>
    T* Add(std::unique_ptr<T>&& object) {
        T* raw = object.get();
        std::unique_ptr<TPdfObject> base(std::move(object));
        try {
            AddObject(std::move(base));
        } catch (...) {
            object.reset(static_cast<T*>(base.release()));  // a refused object stays with the caller
            throw;
        }
        return raw;
    }
};

class TPdfObject {
public:
    TPdfObject() = default;
    virtual ~TPdfObject() = default;
    TPdfObject(const TPdfObject&) = delete;
    TPdfObject& operator=(const TPdfObject&) = delete;

    TPdfObjectKind ObjectKind() const { return kind_; }
    int32_t ObjectNumber() const { return number_; }
    int32_t GenerationNumber() const { return generation_; }
    // A number above 0 makes the object indirect, 0 or less direct. Only the object manager calls it.
    void SetObjectNumber(int32_t number);

    virtual void WriteValue(TStream& stream);
    void WriteRefOrValue(TStream& stream);
    void WriteIndirect(TStream& stream);

protected:
    // Packed into 8 bytes after the vtable pointer: a document keeps dozens of small objects
    // per page (numbers, references) until it is saved. Generations never exceed 65535.
    TPdfObjectKind kind_ = okDirect;
    uint16_t generation_ = 0;
    int32_t number_ = -1;
};

// Stands in a container for an indirect object, which the object manager owns.
class TPdfVirtualObject : public TPdfObject {
public:
    // Placeholders are only made with a number; the plain constructor always fails.
    TPdfVirtualObject();
    static std::unique_ptr<TPdfVirtualObject> CreateVirtual(int32_t number);

private:
    struct FromNumber {};
    TPdfVirtualObject(FromNumber, int32_t number);
};

class TPdfNull : public TPdfObject {
public:
    void WriteValue(TStream& stream) override;
};

class TPdfBoolean : public TPdfObject {
public:
    explicit TPdfBoolean(bool value = false) : Value(value) {}
    void WriteValue(TStream& stream) override;
    bool Value;
};

class TPdfNumber : public TPdfObject {
public:
    explicit TPdfNumber(int32_t value = 0) : Value(value) {}
    void WriteValue(TStream& stream) override;
    int32_t Value;
};

class TPdfReal : public TPdfObject {
public:
    explicit TPdfReal(double value = 0) : Value(value) {}
    void WriteValue(TStream& stream) override;
    double Value;
};

class TPdfText : public TPdfObject {
public:
    explicit TPdfText(std::string value = {}) : Value(std::move(value)) {}
    void WriteValue(TStream& stream) override;
    std::string Value;
};

class TPdfName : public TPdfObject {
public:
    explicit TPdfName(std::string value = {}) : Value(std::move(value)) {}
    void WriteValue(TStream& stream) override;
    std::string Value;  // without the leading slash
};

class TPdfArray : public TPdfObject {
public:
    explicit TPdfArray(TPdfObjectMgr* objectMgr = nullptr) : objectMgr_(objectMgr) {}
    static std::unique_ptr<TPdfArray> CreateFromIntegers(TPdfObjectMgr* objectMgr,
                                                         const std::vector<int32_t>& values);
    void WriteValue(TStream& stream) override;

    // Appends a direct object (owned from now on) or a reference placeholder. An object the
    // object manager owns is refused with EPdfInvalidValue and left to the manager: add it by
    // reference with the overload below.
    void Add(std::unique_ptr<TPdfObject> item);
    // Appends a reference to a registered object; the array does not own it.
    void Add(TPdfObject& registered);

    // The item at index, a reference resolved through the object manager.
    TPdfObject* Items(int index) const;
    int ItemCount() const { return static_cast<int>(items_.size()); }
    TPdfName* FindName(std::string_view name) const;
    TPdfObjectMgr* ObjectMgr() const { return objectMgr_; }

private:
    TPdfObject* Resolve(TPdfObject* item) const;
    std::vector<std::unique_ptr<TPdfObject>> items_;
    TPdfObjectMgr* objectMgr_;
};

class TPdfStream;
class TPdfDictionary;
class TPdfStreamData;

struct TPdfDictionaryElement {
    std::string Key;
    std::unique_ptr<TPdfObject> Value;
    bool Internal = false;  // kept in memory, never written to the file
};

class TPdfDictionary : public TPdfObject {
public:
    explicit TPdfDictionary(TPdfObjectMgr* objectMgr = nullptr) : objectMgr_(objectMgr) {}
    void WriteValue(TStream& stream) override;

    // Adds or replaces the entry; a replaced key moves to the end. A direct value is owned
    // from now on. An owned pointer to a registered object is refused with EPdfInvalidValue and
    // left to the object manager; a registered object is stored as a reference by the overload
    // taking a reference.
    void Put(const std::string& key, std::unique_ptr<TPdfObject> value);
    void Put(const std::string& key, TPdfObject& registered);
    void PutInternal(const std::string& key, std::unique_ptr<TPdfObject> value);
    void Remove(const std::string& key);

    TPdfObject* ValueByKey(std::string_view key) const;
    TPdfNumber* NumberByKey(std::string_view key) const;
    TPdfReal* RealByKey(std::string_view key) const;
    TPdfName* NameByKey(std::string_view key) const;
    TPdfDictionary* DictionaryByKey(std::string_view key) const;
    TPdfArray* ArrayByKey(std::string_view key) const;
    TPdfStream* StreamByKey(std::string_view key) const;

    int ItemCount() const { return static_cast<int>(elements_.size()); }
    const TPdfDictionaryElement& Items(int index) const;
    TPdfObjectMgr* ObjectMgr() const { return objectMgr_; }

private:
    void PutElement(const std::string& key, std::unique_ptr<TPdfObject> value, bool internal);
    std::vector<TPdfDictionaryElement> elements_;
    TPdfObjectMgr* objectMgr_;
};

class TPdfStream : public TPdfObject {
public:
    explicit TPdfStream(TPdfObjectMgr* objectMgr = nullptr);
    ~TPdfStream() override;
    void WriteValue(TStream& stream) override;

    TPdfDictionary& Dict() { return *dict_; }
    const TPdfDictionary& Dict() const { return *dict_; }
    TMemoryStream& Data() { return data_; }
    const TMemoryStream& Data() const { return data_; }
    // Data already encoded for the file and kept elsewhere (see PdfStreamData.h). When set,
    // it is written instead of Data(), and no filter is applied to it.
    void SetEncodedData(std::unique_ptr<TPdfStreamData> data);
    TPdfStreamData* EncodedData() const { return encoded_.get(); }

    // Bytes still to be encoded that the stream shares with their owner (an image record's
    // samples), used instead of Data() and never copied: the spooler takes them.
    void SetSharedBytes(std::shared_ptr<const std::string> bytes) { shared_ = std::move(bytes); }
    const std::shared_ptr<const std::string>& SharedBytes() const { return shared_; }
    // True when there are bytes still to be encoded (Data() or the shared bytes).
    bool HasUnencodedBytes() const { return UnencodedSize() > 0; }
    std::size_t UnencodedSize() const { return shared_ ? shared_->size() : static_cast<std::size_t>(data_.Size()); }
    // Takes the bytes still to be encoded out of the stream: the shared bytes, or Data()'s.
    std::shared_ptr<const std::string> TakeUnencodedBytes();

    // How the bytes are encoded when written or spooled; ByFilter until set.
    void SetEncoding(TStreamEncoding encoding, const TJpegEncodeSettings& jpeg = {});
    TStreamEncoding Encoding() const { return encoding_; }
    const TJpegEncodeSettings& JpegSettings() const { return jpeg_; }
    // The encoding with ByFilter resolved: Flate when /Filter names FlateDecode, else AsIs.
    TStreamEncoding EffectiveEncoding() const;

private:
    std::unique_ptr<TPdfDictionary> dict_;
    TMemoryStream data_;
    std::unique_ptr<TPdfStreamData> encoded_;
    std::shared_ptr<const std::string> shared_;
    TJpegEncodeSettings jpeg_;
    TStreamEncoding encoding_ = TStreamEncoding::ByFilter;
};

class TPdfXObject : public TPdfStream {
public:
    using TPdfStream::TPdfStream;
};

class TPdfImage : public TPdfXObject {
public:
    using TPdfXObject::TPdfXObject;

    // A stream the image refers to that is not in a document yet (an ICC profile, a soft
    // mask): the document registers it together with the image (TPdfDoc::AddImage), then
    // appends its reference to AppendTo, or puts it under Key in the image's dictionary.
    struct TCompanion {
        std::unique_ptr<TPdfStream> Stream;
        TPdfArray* AppendTo = nullptr;  // an array inside the image's dictionary
        std::string Key;
    };
    void AddCompanion(std::unique_ptr<TPdfStream> stream, TPdfArray& appendTo);
    void AddCompanion(std::unique_ptr<TPdfStream> stream, const std::string& key);
    std::vector<TCompanion> TakeCompanions() { return std::move(companions_); }
    bool HasCompanions() const { return !companions_.empty(); }

    // The lowest PDF 1.x version (its minor number) whose features the image and its
    // companions use; a document's header names the highest of its images'.
    int RequiredMinorVersion = 2;

private:
    std::vector<TCompanion> companions_;
};

// Raw bytes written to the file exactly as stored.
class TPdfBinary : public TPdfObject {
public:
    void WriteValue(TStream& stream) override;
    TMemoryStream& Data() { return data_; }

private:
    TMemoryStream data_;
};

// Free helpers.
void WriteText(TStream& stream, std::string_view bytes);
std::string EscapeText(std::string_view bytes);
std::string EscapeName(std::string_view bytes);
bool HasMultiByteChars(std::string_view bytes);
std::string TextToUtf16Hex(std::string_view utf8);
std::string BytesToHex(std::string_view bytes);
std::string LanguagePrefix();
using TDateTime = double;  // days since 1899-12-30, local time; the fraction is the time of day
// What a date-time is a reading of: the local clock (the default), or UTC (reproducible files).
enum class TDateZone : uint8_t { Local, Utc };
// "D:YYYYMMDDHHmmSS" and the offset from UTC (ISO 32000, 7.9.4): "Z" for UTC, else "+HH'mm'"
// or "-HH'mm'". A local date-time gets the offset the time zone had at that moment, daylight
// saving time included.
std::string PdfDateString(TDateTime value, TDateZone zone = TDateZone::Local);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second);
TDateTime Now();
std::string FloatToPdfText(double value);  // the real-number format of TPdfReal
std::string RealToText(double value);      // two-decimal numbers of content streams
std::string TypeNameOf(const TPdfDictionary& dictionary);

}  // namespace tovra
