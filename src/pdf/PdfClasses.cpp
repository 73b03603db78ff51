#include "pdf/PdfClasses.h"

#include "pdf/PdfFonts.h"

// The image creators live in the image-object unit when it is part of the build.
#if __has_include("pdf/PdfImages.h")
#include "pdf/PdfImages.h"
#define TOVRA_HAVE_IMAGE_CREATORS 1
#endif

namespace tovra {

void RegisterPdfClasses() {
    RegisterStandardFonts();
#ifdef TOVRA_HAVE_IMAGE_CREATORS
    RegisterImageCreators();
#endif
}

void UnregisterPdfClasses() {
#ifdef TOVRA_HAVE_IMAGE_CREATORS
    UnregisterImageCreators();
#endif
    UnregisterStandardFonts();
}

}  // namespace tovra
