// Entry point of the tovrapdf-cli tests. The PDF classes are entered in the class registry for
// the in-process runs; no CUPS scheduler is reachable, so the tool and the programs the tests
// start offer the built-in paper list whatever printers the machine has.
#include <gtest/gtest.h>

#include <cstdlib>

#include "pdf/PdfClasses.h"

int main(int argc, char** argv) {
    setenv("CUPS_SERVER", "/nonexistent/tovra-tests/cups.sock", 1);
    // Letter, whatever /etc/papersize says; tests of the system's paper set their own.
    setenv("PAPERSIZE", "letter", 1);
    unsetenv("SOURCE_DATE_EPOCH");
    ::testing::InitGoogleTest(&argc, argv);
    tovra::TPdfClassesRegistration classes;
    return RUN_ALL_TESTS();
}
