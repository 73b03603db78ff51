// Test entry point: a widgets application on the offscreen platform (no display needed), with
// the PDF classes entered in the class registry for the whole run.
#include <gtest/gtest.h>

#include <QApplication>

#include "pdf/PdfClasses.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Letter, whatever /etc/papersize says; tests of the system's paper set their own.
    qputenv("PAPERSIZE", "letter");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    tovra::TPdfClassesRegistration classes;
    return RUN_ALL_TESTS();
}
