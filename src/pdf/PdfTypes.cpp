#include "pdf/PdfTypes.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "common/Exceptions.h"

namespace tovra {

namespace {

void WriteNumber(TStream& stream, int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    stream.Write(buffer, static_cast<size_t>(result.ptr - buffer));
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// An owning pointer to an object the object manager numbered is a second owner: taking it would
// destroy the object under the manager. The pointer is let go, so the manager stays its only
// owner, and the call is refused; a registered object is added by reference.
void RefuseRegistered(std::unique_ptr<TPdfObject>& object, const char* operation) {
    if (object->ObjectKind() != okIndirect) return;
    const int32_t number = object->ObjectNumber();
    static_cast<void>(object.release());
    throw EPdfInvalidValue(std::string(operation) + " --object " + std::to_string(number) +
                           " is owned by the cross-reference table; add it by reference.");
}

}  // namespace

// ---- TPdfObject ---------------------------------------------------------------------------

void TPdfObject::SetObjectNumber(int32_t number) {
    number_ = number;
    kind_ = number > 0 ? okIndirect : okDirect;
}

void TPdfObject::WriteValue(TStream&) {}

void TPdfObject::WriteRefOrValue(TStream& stream) {
    if (kind_ == okDirect) {
        WriteValue(stream);
        return;
    }
    WriteNumber(stream, number_);
    WriteText(stream, " ");
    WriteNumber(stream, generation_);
    WriteText(stream, " R");
}

void TPdfObject::WriteIndirect(TStream& stream) {
    if (kind_ != okIndirect) throw EPdfInvalidOperation("internal error wrong object type");
    WriteNumber(stream, number_);
    WriteText(stream, " ");
    WriteNumber(stream, generation_);
    WriteText(stream, " obj\r\n");
    WriteValue(stream);
    WriteText(stream, "\r\nendobj\r\n");
}

TPdfVirtualObject::TPdfVirtualObject() {
    throw Exception("virtualObject must be create by CreateVirtual method.");
}

TPdfVirtualObject::TPdfVirtualObject(FromNumber, int32_t number) {
    kind_ = okVirtual;
    number_ = number;
}

std::unique_ptr<TPdfVirtualObject> TPdfVirtualObject::CreateVirtual(int32_t number) {
    return std::unique_ptr<TPdfVirtualObject>(new TPdfVirtualObject(FromNumber{}, number));
}

// ---- simple values --------------------------------------------------------------------------

void TPdfNull::WriteValue(TStream& stream) { WriteText(stream, "null"); }

void TPdfBoolean::WriteValue(TStream& stream) { WriteText(stream, Value ? "true" : "false"); }

void TPdfNumber::WriteValue(TStream& stream) { WriteNumber(stream, Value); }

void TPdfReal::WriteValue(TStream& stream) { WriteText(stream, FloatToPdfText(Value)); }

void TPdfText::WriteValue(TStream& stream) {
    if (HasMultiByteChars(Value)) {
        WriteText(stream, "<FEFF" + TextToUtf16Hex(Value) + ">");
    } else {
        WriteText(stream, "(" + EscapeText(Value) + ")");
    }
}

void TPdfName::WriteValue(TStream& stream) { WriteText(stream, "/" + EscapeName(Value)); }

void TPdfBinary::WriteValue(TStream& stream) { WriteText(stream, data_.Bytes()); }

// ---- TPdfArray ------------------------------------------------------------------------------

std::unique_ptr<TPdfArray> TPdfArray::CreateFromIntegers(TPdfObjectMgr* objectMgr,
                                                         const std::vector<int32_t>& values) {
    auto array = std::make_unique<TPdfArray>(objectMgr);
    array->items_.reserve(values.size());
    for (int32_t value : values) array->Add(std::make_unique<TPdfNumber>(value));
    return array;
}

void TPdfArray::WriteValue(TStream& stream) {
    WriteText(stream, "[");
    for (auto& item : items_) {
        item->WriteRefOrValue(stream);
        WriteText(stream, " ");
    }
    WriteText(stream, "]");
}

void TPdfArray::Add(std::unique_ptr<TPdfObject> item) {
    if (!item) throw EPdfInvalidValue("internal error. wrong object.");
    RefuseRegistered(item, "Add");
    if (item->ObjectKind() == okDirect) {
        items_.push_back(std::move(item));
    } else {
        items_.push_back(TPdfVirtualObject::CreateVirtual(item->ObjectNumber()));
    }
}

void TPdfArray::Add(TPdfObject& registered) {
    if (registered.ObjectKind() == okDirect) throw EPdfInvalidValue("internal error. wrong object.");
    items_.push_back(TPdfVirtualObject::CreateVirtual(registered.ObjectNumber()));
}

TPdfObject* TPdfArray::Resolve(TPdfObject* item) const {
    if (item->ObjectKind() != okVirtual) return item;
    return objectMgr_ ? objectMgr_->ObjectByNumber(item->ObjectNumber()) : nullptr;
}

TPdfObject* TPdfArray::Items(int index) const {
    if (index < 0 || index >= ItemCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return Resolve(items_[static_cast<size_t>(index)].get());
}

TPdfName* TPdfArray::FindName(std::string_view name) const {
    for (const auto& item : items_) {
        auto* found = dynamic_cast<TPdfName*>(Resolve(item.get()));
        if (found && found->Value == name) return found;
    }
    return nullptr;
}

// ---- TPdfDictionary -------------------------------------------------------------------------

void TPdfDictionary::WriteValue(TStream& stream) {
    WriteText(stream, "<<\r\n");
    for (auto& element : elements_) {
        if (element.Internal) continue;
        WriteText(stream, "/" + EscapeName(element.Key) + " ");
        element.Value->WriteRefOrValue(stream);
        WriteText(stream, "\r\n");
    }
    WriteText(stream, ">>");
}

void TPdfDictionary::PutElement(const std::string& key, std::unique_ptr<TPdfObject> value, bool internal) {
    if (!value) throw EPdfInvalidValue("internal error. wrong object.");
    RefuseRegistered(value, internal ? "PutInternal" : "Put");
    Remove(key);
    if (value->ObjectKind() != okDirect) value = TPdfVirtualObject::CreateVirtual(value->ObjectNumber());
    // A document holds several small dictionaries per page until it is saved: grow them one
    // entry at a time, so that each holds exactly its entries and a long batch carries no
    // slack. Moving a few dozen entries on each insertion costs next to nothing.
    constexpr std::size_t kSmallDictionary = 32;
    if (elements_.size() == elements_.capacity() && elements_.size() < kSmallDictionary)
        elements_.reserve(elements_.size() + 1);
    elements_.push_back(TPdfDictionaryElement{key, std::move(value), internal});
}

void TPdfDictionary::Put(const std::string& key, std::unique_ptr<TPdfObject> value) {
    PutElement(key, std::move(value), false);
}

void TPdfDictionary::Put(const std::string& key, TPdfObject& registered) {
    if (registered.ObjectKind() == okDirect) throw EPdfInvalidValue("internal error. wrong object.");
    PutElement(key, TPdfVirtualObject::CreateVirtual(registered.ObjectNumber()), false);
}

void TPdfDictionary::PutInternal(const std::string& key, std::unique_ptr<TPdfObject> value) {
    PutElement(key, std::move(value), true);
}

void TPdfDictionary::Remove(const std::string& key) {
    for (auto it = elements_.begin(); it != elements_.end(); ++it) {
        if (it->Key == key) {
            elements_.erase(it);
            return;
        }
    }
}

TPdfObject* TPdfDictionary::ValueByKey(std::string_view key) const {
    for (const auto& element : elements_) {
        if (element.Key != key) continue;
        TPdfObject* value = element.Value.get();
        if (value->ObjectKind() != okVirtual) return value;
        return objectMgr_ ? objectMgr_->ObjectByNumber(value->ObjectNumber()) : nullptr;
    }
    return nullptr;
}

TPdfNumber* TPdfDictionary::NumberByKey(std::string_view key) const { return dynamic_cast<TPdfNumber*>(ValueByKey(key)); }
TPdfReal* TPdfDictionary::RealByKey(std::string_view key) const { return dynamic_cast<TPdfReal*>(ValueByKey(key)); }
TPdfName* TPdfDictionary::NameByKey(std::string_view key) const { return dynamic_cast<TPdfName*>(ValueByKey(key)); }
TPdfDictionary* TPdfDictionary::DictionaryByKey(std::string_view key) const {
    return dynamic_cast<TPdfDictionary*>(ValueByKey(key));
}
TPdfArray* TPdfDictionary::ArrayByKey(std::string_view key) const { return dynamic_cast<TPdfArray*>(ValueByKey(key)); }
TPdfStream* TPdfDictionary::StreamByKey(std::string_view key) const { return dynamic_cast<TPdfStream*>(ValueByKey(key)); }

const TPdfDictionaryElement& TPdfDictionary::Items(int index) const {
    if (index < 0 || index >= ItemCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return elements_[static_cast<size_t>(index)];
}

// ---- free helpers ---------------------------------------------------------------------------

void WriteText(TStream& stream, std::string_view bytes) { stream.Write(bytes); }

std::string EscapeText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        switch (c) {
            case '(': out += "\\("; break;
            case ')': out += "\\)"; break;
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default: out += c;
        }
    }
    return out;
}

std::string EscapeName(std::string_view bytes) {
    static constexpr std::string_view kDelimiters = "#%()/<>[]{}";
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x21 || byte > 0x7E || kDelimiters.find(c) != std::string_view::npos) {
            out += '#';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

// Decodes UTF-8 into code points; false when the bytes are not well-formed UTF-8.
bool DecodeUtf8(std::string_view bytes, std::vector<char32_t>* codePoints) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra;
        char32_t cp;
        char32_t minimum;
        if (lead < 0x80) { extra = 0; cp = lead; minimum = 0; }
        else if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; minimum = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; minimum = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; minimum = 0x10000; }
        else return false;
        if (i + static_cast<size_t>(extra) >= bytes.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (codePoints) codePoints->push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

void AppendHex16(std::string& out, unsigned value) {
    for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(value >> shift) & 0x0F];
}

}  // namespace

bool HasMultiByteChars(std::string_view bytes) {
    bool high = false;
    for (char c : bytes) high |= static_cast<unsigned char>(c) >= 0x80;
    return high && DecodeUtf8(bytes, nullptr);
}

std::string TextToUtf16Hex(std::string_view utf8) {
    std::vector<char32_t> codePoints;
    if (!DecodeUtf8(utf8, &codePoints)) {
        // Not UTF-8: take each byte as Latin-1 so nothing is lost.
        codePoints.assign(utf8.begin(), utf8.end());
        for (auto& cp : codePoints) cp &= 0xFF;
    }
    std::string out;
    out.reserve(codePoints.size() * 4);
    for (char32_t cp : codePoints) {
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            AppendHex16(out, 0xD800 + (v >> 10));
            AppendHex16(out, 0xDC00 + (v & 0x3FF));
        } else {
            AppendHex16(out, cp);
        }
    }
    return out;
}

std::string BytesToHex(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0x0F];
    }
    return out;
}

std::string LanguagePrefix() { return "FEFF001B" + BytesToHex("en") + "001B"; }

std::string FloatToPdfText(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
    // Round to 15 significant digits, then lay the digits out without an exponent.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    const size_t ePos = text.find('e');
    std::string digits;
    digits += text[0];
    digits += text.substr(2, ePos - 2);
    int exponent = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out;
    const int pointAfter = exponent + 1;  // number of digits before the decimal point
    if (pointAfter <= 0) {
        out = "0." + std::string(static_cast<size_t>(-pointAfter), '0') + digits;
    } else if (static_cast<size_t>(pointAfter) >= digits.size()) {
        out = digits + std::string(static_cast<size_t>(pointAfter) - digits.size(), '0');
    } else {
        out = digits.substr(0, static_cast<size_t>(pointAfter)) + "." + digits.substr(static_cast<size_t>(pointAfter));
    }
    return negative ? "-" + out : out;
}

std::string RealToText(double value) {
    // Hundredths, halves upwards (negative values included), then the real-number format.
    // Kept in floating point: a 64-bit integer would overflow for very large operands.
    const double hundredths = std::floor(value * 100.0 + 0.5);
    return FloatToPdfText(hundredths / 100.0);
}

std::string TypeNameOf(const TPdfDictionary& dictionary) {
    const TPdfName* name = dictionary.NameByKey("Type");
    return name ? name->Value : std::string();
}

}  // namespace tovra
