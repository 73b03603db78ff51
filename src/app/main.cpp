// tovrapdf: the desktop program. One window, one thread; errors that reach the event loop are
// shown in a message box and the program carries on. Image files named on the command line are
// put into the list as if they had been dropped on it.
#include <iostream>

#include "CommandLineFiles.h"
#include "PDFMain.h"
#include "ProgramOptions.h"
#include "TovraApplication.h"
#include "pdf/PdfClasses.h"
#include "report/ProcessSetup.h"

int main(int argc, char** argv) {
    tovra::GuardStandardDescriptors();
    tovra::IgnoreFileSizeSignal();
    // Before the application object, which needs a display.
    if (const auto status = tovra::RunInfoOption({argv + 1, argv + argc}, std::cout)) {
        std::cout.flush();
        return std::cout ? *status : 1;
    }
    tovra::TTovraApplication app(argc, argv);
    tovra::TPdfClassesRegistration classes;
    tovra::TfrmPDFMain window;
    window.show();
    tovra::AddCommandLineFiles(window, app.arguments().mid(1));
    return app.exec();
}
