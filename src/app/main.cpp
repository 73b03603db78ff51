// tovrapdf: the desktop program. One window, one thread; errors that reach the event loop are
// shown in a message box and the program carries on.
#include "PDFMain.h"
#include "TovraApplication.h"
#include "pdf/PdfClasses.h"

int main(int argc, char** argv) {
    tovra::TTovraApplication app(argc, argv);
    tovra::TPdfClassesRegistration classes;
    tovra::TfrmPDFMain window;
    window.show();
    return app.exec();
}
