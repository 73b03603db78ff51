// Test entry point: the PDF classes are entered in the class registry for the whole run, and a
// GUI application object exists for painting and image decoding (offscreen, no display).
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "pdf/PdfClasses.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    tovra::TPdfClassesRegistration classes;
    return RUN_ALL_TESTS();
}
