// Entry point of the image-object tests: the PDF classes, image creators included, are
// entered in the class registry for the whole run.
#include <gtest/gtest.h>

#include "pdf/PdfClasses.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tovra::TPdfClassesRegistration classes;
    return RUN_ALL_TESTS();
}
