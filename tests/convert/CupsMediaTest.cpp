// How CUPS media entries become named paper forms in tenths of a millimetre.
#include "components/Other/CupsPapers.h"

#include "PaperPrinters.h"

#include <gtest/gtest.h>

namespace tovra {
namespace {

TEST(CupsMedia, StandardFormsGetTheBuiltInNamesCodesAndNominalSizes) {
    // Sizes as a driver that works in points reports them (595 x 842 pt for A4).
    const TPaperForms forms = FormsFromCupsMedia({
        {"iso_a4_210x297mm", "210 x 297 mm", 20990, 29704},
        {"na_letter_8.5x11in", "US Letter", 21590, 27940},
        {"jis_b5_182x257mm", "", 18200, 25700},
    });
    EXPECT_EQ(forms, (TPaperForms{{"A4", 9, 2100, 2970}, {"Letter", 1, 2159, 2794}, {"B5 (JIS)", 13, 1820, 2570}}));
}

TEST(CupsMedia, OtherMediaAreNamedReadablyAndNumberedFrom256) {
    const TPaperForms forms = FormsFromCupsMedia({
        {"iso_a6_105x148mm", "105 x 148 mm", 10500, 14800},          // size description: traditional name wins
        {"iso_dl_110x220mm", "Envelope DL", 11000, 22000},           // a real localized name is kept
        {"tovra-own-size", "", 12340, 20000},                        // nothing better than the PWG name
        {"om_odd_100x100mm", "Odd", 10250, 10000},                   // more than 1 mm off: its own size
    });
    ASSERT_EQ(forms.size(), 4u);
    EXPECT_EQ(forms[0], (TPaperForm{"A6", 256, 1050, 1480}));
    EXPECT_EQ(forms[1], (TPaperForm{"Envelope DL", 257, 1100, 2200}));
    EXPECT_EQ(forms[2], (TPaperForm{"tovra-own-size", 258, 1234, 2000}));
    EXPECT_EQ(forms[3], (TPaperForm{"Odd", 259, 1025, 1000}));
}

TEST(CupsMedia, RepeatedNamesAndEntriesWithoutSizeAreLeftOut) {
    const TPaperForms forms = FormsFromCupsMedia({
        {"iso_a4_210x297mm", "A4", 21000, 29700},
        {"iso_a4_210x297mm", "A4 (Borderless)", 21000, 29700},  // same standard form again
        {"iso_a4_210x297mm", "a4", 21000, 29700},
        {"na_foolscap_8.5x13in", "Foolscap", 0, 33020},
        {"iso_a5_148x210mm", "A5", 14800, 21000},
    });
    EXPECT_EQ(forms, (TPaperForms{{"A4", 9, 2100, 2970}, {"A5", 11, 1480, 2100}}));
}

}  // namespace
}  // namespace tovra
