// Entry point of the dialog tests: a widget application on the offscreen platform, with the PDF
// classes entered for the report the properties dialog edits.
#include <gtest/gtest.h>

#include <QApplication>

#include "pdf/PdfClasses.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tovra::TPdfClassesRegistration classes;
    return RUN_ALL_TESTS();
}
