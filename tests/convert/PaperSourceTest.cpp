// Where the paper forms come from: the built-in list when no printer has any, and the checks on
// what a printer reports.
#include "components/Other/PaperForms.h"
#include "components/Other/PrintUtils.h"

#include "PaperPrinters.h"
#include "common/Exceptions.h"

#include <gtest/gtest.h>

#include <optional>

namespace tovra {

namespace {

TPaperInfos InfosFrom(const TPaperSource& source) {
    TPaperInfos infos;
    GetPaperInfos(infos, -1, source);
    return infos;
}

TEST(PaperSource, BuiltInFormsWhenThereIsNoPrinterOrItHasNoForms) {
    const TPaperInfos expected = {
        {"Letter", 1, 2159, 2794},    {"Legal", 5, 2159, 3556},     {"Tabloid", 3, 2794, 4318},
        {"Executive", 7, 1842, 2667}, {"Statement", 6, 1397, 2159}, {"A3", 8, 2970, 4200},
        {"A4", 9, 2100, 2970},        {"A5", 11, 1480, 2100},       {"B4 (JIS)", 12, 2570, 3640},
        {"B5 (JIS)", 13, 1820, 2570},
    };
    EXPECT_EQ(InfosFrom(PaperSourceWithFallback([](int) { return std::optional<TPaperForms>(); })), expected);
    EXPECT_EQ(InfosFrom(PaperSourceWithFallback([](int) { return std::optional<TPaperForms>(TPaperForms{}); })),
              expected);
}

TEST(PaperSource, PrinterFormsReplaceTheBuiltInOnesAndSeeTheIndex) {
    int askedFor = 0;
    const TPaperSource source = PaperSourceWithFallback([&](int index) {
        askedFor = index;
        return std::optional<TPaperForms>(TPaperForms{{"Postcard", 300, 1000, 1480}});
    });
    TPaperNames names;
    GetPaperNames(names, 2, source);
    EXPECT_EQ(askedFor, 2);
    EXPECT_EQ(names, (TPaperNames{{"Postcard", 300}}));
    TPaperSizes sizes;
    GetPaperSizes(sizes, 2, source);
    EXPECT_EQ(sizes, (TPaperSizes{{1000, 1480}}));
}

TEST(PaperSource, NamesStayAsTheyWereWhenThePrinterReportsNone) {
    TPaperNames names = {{"kept", 7}};
    GetPaperNames(names, -1, [](int) { return TPrinterPapers{}; });
    EXPECT_EQ(names, (TPaperNames{{"kept", 7}}));
}

TEST(PaperSource, InconsistentReportsFailWithTheirMessages) {
    auto messageOf = [](const TPaperSource& source) -> std::string {
        try {
            InfosFrom(source);
        } catch (const Exception& e) {
            return e.what();
        }
        return "no exception";
    };
    EXPECT_EQ(messageOf([](int) { return TPrinterPapers{{"A4"}, {}, {{2100, 2970}}}; }),
              "DeviceCapabilities reports different number of papers and paper names!");
    EXPECT_EQ(messageOf([](int) { return TPrinterPapers{{"A4"}, {9}, {}}; }), "Assertion failure");
}

TEST(PaperSource, CutNamesNeverEndInHalfACharacter) {
    // 62 ASCII bytes and a two-byte "é": the 63-byte cut would split it, so it goes entirely.
    const std::string name = std::string(62, 'a') + "\xC3\xA9" + "tail";
    const TPaperInfos infos = InfosFrom([&](int) { return TPrinterPapers{{name}, {1}, {{1, 1}}}; });
    EXPECT_EQ(infos.at(0).Name, std::string(62, 'a'));
}

}  // namespace
}  // namespace tovra
