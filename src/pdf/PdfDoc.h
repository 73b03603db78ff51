#pragma once
// The PDF document under construction: catalog, information dictionary, page tree, pages
// with their resources and content streams, fonts, image XObjects, and saving the whole.
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "pdf/PdfCanvas.h"
#include "pdf/PdfFonts.h"
#include "pdf/PdfOutlines.h"
#include "pdf/PdfStreamSpooler.h"
#include "pdf/PdfTypes.h"
#include "pdf/PdfWrappers.h"
#include "pdf/PdfXref.h"

namespace tovra {

// Empty base of the report component.
class TAbstractPReport {
public:
    virtual ~TAbstractPReport() = default;
};

class TPdfDoc {
public:
    TPdfDoc();
    ~TPdfDoc();
    TPdfDoc(const TPdfDoc&) = delete;
    TPdfDoc& operator=(const TPdfDoc&) = delete;

    void StartDocument();
    // Starts a document with one page whose canvas writes nothing.
    void StartVirtualDocument();
    void ReleaseDocument();
    void AddPage();
    void SaveToStream(TStream& stream);
    bool HasDoc() const { return hasDocument_; }

    TPdfInfo* GetInfo();
    TPdfCatalog* GetRoot();
    TPdfOutlineRoot* GetOutlineRoot();
    TPdfCanvas* GetCanvas();
    TPdfFont* GetFont(const std::string& name);
    TPdfFont* CreateFont(const std::string& name);
    TPdfDestination* CreateDestination();

    TPdfStream* FindXObject(const std::string& name) const;
    // Registers an XObject that the table already owns under a resource name.
    void RegisterXObject(TPdfObject* object, const std::string& name);
    // Registers a new XObject with the table (which owns it from then on) and under the name.
    // When the type check fails the object stays with the caller.
    TPdfXObject* RegisterXObject(std::unique_ptr<TPdfXObject>&& object, const std::string& name);
    // Takes ownership of a new image and registers it under the name, followed by the streams
    // it refers to (its companions: an ICC profile, a soft mask). On failure the image stays
    // with the caller. From then on the image's data is no longer held in memory: it is
    // encoded (bitmaps and samples on worker threads) and kept in a temporary file until the
    // save. An image that needs a newer PDF than the header names raises the header's version.
    TPdfImage* AddImage(const std::string& name, std::unique_ptr<TPdfImage>&& image);
    // The minor number of the version the header names: 2 ("%PDF-1.2") unless an image needs more.
    int PdfMinorVersion() const;

    // Hands an object to the document, which destroys it with itself (last made, first destroyed).
    template <class T>
    T* AddOwnedObject(std::unique_ptr<T> object) {
        T* raw = object.get();
        ownedObjects_.push_back(std::move(object));
        return raw;
    }

    TPdfXref* Xref() const { return xref_.get(); }
    TPdfDictionary* CurrentPages() const { return currentPages_; }

    TPdfCompressionMethod CompressionMethod = cmNone;
    bool UseOutlines = false;
    uint16_t DefaultPageWidth = 596;
    uint16_t DefaultPageHeight = 842;
    // Gives the date-time written as "ModDate" when saving; the local time unless replaced.
    std::function<TDateTime()> Clock = Now;
    // What the dates of the information dictionary are readings of; read by StartDocument.
    TDateZone DateZone = TDateZone::Local;
    // The folder where image data waits for the save (normally the output's folder); $TMPDIR
    // or /tmp when empty or not writable. Read by StartDocument.
    std::string SpoolFolder;
    // Decoded photos (HEIF, AVIF) as exact Flate pixels instead of one JPEG encode; read by the
    // image items when they make image objects for this document.
    bool LosslessDecoded = false;
    // Image XObjects of unencoded samples get the compact encoding (PdfEncoding.h): smaller, the
    // same pixels. Off keeps the established bytes. Read by StartDocument.
    bool CompactBitmaps = false;

private:
    TPdfDictionary* CreatePagesNode(TPdfDictionary* parent);
    void AddKid(TPdfDictionary& node, TPdfDictionary& kid);
    TPdfInfo* CreateInfo();

    TPdfCatalog* root_ = nullptr;
    TPdfDictionary* currentPages_ = nullptr;
    std::unique_ptr<TPdfHeader> header_;
    std::unique_ptr<TPdfTrailer> trailer_;
    std::unique_ptr<TPdfXref> xref_;
    TPdfInfo* info_ = nullptr;
    bool hasDocument_ = false;
    std::vector<std::unique_ptr<TPdfFont>> fontList_;
    std::vector<std::unique_ptr<TPdfOwnedObject>> ownedObjects_;
    TPdfOutlineRoot* outlineRoot_ = nullptr;
    // The registered XObjects by name, so that a lookup does not walk a list.
    std::unordered_map<std::string, TPdfStream*> xobjectsByName_;
    std::unique_ptr<TStreamSpooler> spooler_;
    std::unique_ptr<TPdfCanvas> canvas_;
};

// The dictionary stored under key ("Font" or "XObject") in the page's "Resources".
TPdfDictionary* ResourceDict(const TPdfDictionary& page, const std::string& key);

}  // namespace tovra
