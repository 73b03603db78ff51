// How failures read in the error box: a full stop is added only after a character that sorts
// after ".".
#include <gtest/gtest.h>

#include "ErrorMessages.h"

namespace tovra {
namespace {

TEST(ErrorBoxText, AddsAFullStopAfterLettersAndDigitsOnly) {
    EXPECT_EQ(ErrorBoxText("Image not loaded properly"), "Image not loaded properly.");
    EXPECT_EQ(ErrorBoxText("Unable to write to /x/tovrapdf.ini"), "Unable to write to /x/tovrapdf.ini.");
    EXPECT_EQ(ErrorBoxText("page 12"), "page 12.");
    EXPECT_EQ(ErrorBoxText("Already ends."), "Already ends.");
    EXPECT_EQ(ErrorBoxText("Image file not found: \"/x/a.jpg\""), "Image file not found: \"/x/a.jpg\"");
    EXPECT_EQ(ErrorBoxText("Which one?"), "Which one?.");  // "?" sorts after "."
    EXPECT_EQ(ErrorBoxText(""), "");
}

}  // namespace
}  // namespace tovra
