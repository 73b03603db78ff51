#include "pdf/PdfClasses.h"

#include "pdf/PdfFonts.h"
#include "pdf/PdfImages.h"

namespace tovra {

void RegisterPdfClasses() {
    RegisterStandardFonts();
    RegisterImageCreators();
}

void UnregisterPdfClasses() {
    UnregisterImageCreators();
    UnregisterStandardFonts();
}

}  // namespace tovra
