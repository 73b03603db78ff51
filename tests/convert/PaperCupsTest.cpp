// The papers of a real CUPS queue, served by a scheduler the test starts for itself.
// Skipped where the scheduler is not installed.
#include "PaperPrinters.h"
#include "PrivateCupsd.h"

#include "common/Exceptions.h"
#include "components/Other/PrintUtils.h"
#include "convert/PaperList.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace tovra {
namespace {

constexpr const char* Queue = "TovraPaperTest";

// A PostScript driver with six page sizes, the sizes in points as such drivers give them;
// A4 appears twice, once borderless.
constexpr const char* Ppd = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "TOVRATST.PPD"
*Manufacturer: "Tovra"
*Product: "(Paper Test)"
*ModelName: "Tovra Paper Test"
*ShortNickName: "Tovra Paper Test"
*NickName: "Tovra Paper Test"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize A4.Borderless/A4 Borderless: "<</PageSize[595 842]>>setpagedevice"
*PageSize Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageSize Legal/US Legal: "<</PageSize[612 1008]>>setpagedevice"
*PageSize A5/A5: "<</PageSize[420 595]>>setpagedevice"
*PageSize Env10/Envelope #10: "<</PageSize[297 684]>>setpagedevice"
*CloseUI: *PageSize
*DefaultImageableArea: A4
*ImageableArea A4/A4: "18 36 577 806"
*ImageableArea A4.Borderless/A4 Borderless: "0 0 595 842"
*ImageableArea Letter/US Letter: "18 36 594 756"
*ImageableArea Legal/US Legal: "18 36 594 972"
*ImageableArea A5/A5: "18 36 402 559"
*ImageableArea Env10/Envelope #10: "18 36 279 648"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension A4.Borderless/A4 Borderless: "595 842"
*PaperDimension Letter/US Letter: "612 792"
*PaperDimension Legal/US Legal: "612 1008"
*PaperDimension A5/A5: "420 595"
*PaperDimension Env10/Envelope #10: "297 684"
*DefaultFont: Courier
*Font Courier: Standard "(001.005)" Standard ROM
)PPD";

// Sets an environment variable (or removes it, for std::nullopt) until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value->c_str(), 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class CupsPapers : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::PrivateCupsd::Available()) GTEST_SKIP() << test::PrivateCupsd::Program << " is not installed";
        cupsd_ = std::make_unique<test::PrivateCupsd>(Queue, Ppd);
        if (!cupsd_->Running()) GTEST_SKIP() << cupsd_->Problem();
        cupsSetServer(cupsd_->Socket().c_str());
    }
    void TearDown() override {
        cupsSetServer(nullptr);
        cupsd_.reset();
    }

    std::unique_ptr<test::PrivateCupsd> cupsd_;
    ScopedEnv noPrinter_{"PRINTER", std::nullopt};
};

TEST_F(CupsPapers, DefaultQueueFillsTheBoxInItsOrder) {
    const ScopedEnv lpdest("LPDEST", Queue);
    TPaperInfos infos;
    GetPaperInfos(infos, -1);
    ASSERT_EQ(infos.size(), 5u) << "A4 borderless shares the name of A4";
    EXPECT_EQ(infos[0], (TPaperInfo{"A4", 9, 2100, 2970}));
    EXPECT_EQ(infos[1], (TPaperInfo{"Letter", 1, 2159, 2794}));
    EXPECT_EQ(infos[2], (TPaperInfo{"Legal", 5, 2159, 3556}));
    EXPECT_EQ(infos[3], (TPaperInfo{"A5", 11, 1480, 2100}));
    EXPECT_FALSE(infos[4].Name.empty());
    EXPECT_EQ(infos[4].PaperID, 256);
    EXPECT_EQ(infos[4].Width, 1048);  // #10 envelope, 4.125 x 9.5 in
    EXPECT_EQ(infos[4].Height, 2413);

    TPaperList list;
    FillPaperList(list);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.ItemIndex(), 0);
    EXPECT_EQ(list.Object(0), (TPointObj{595, 842}));
    EXPECT_EQ(list.Object(list.IndexOf("letter")), (TPointObj{612, 792}));
}

TEST_F(CupsPapers, QueuesCanBeChosenByIndex) {
    TPaperInfos infos;
    GetPaperInfos(infos, 0);
    ASSERT_FALSE(infos.empty());
    EXPECT_EQ(infos[0].Name, "A4");
    EXPECT_THROW(GetPaperInfos(infos, 1), Exception);
}

TEST_F(CupsPapers, NoDefaultQueueMeansTheBuiltInForms) {
    const ScopedEnv lpdest("LPDEST", std::nullopt);
    TPaperInfos infos;
    GetPaperInfos(infos, -1);
    ASSERT_EQ(infos.size(), 10u);
    EXPECT_EQ(infos[0], (TPaperInfo{"Letter", 1, 2159, 2794}));
}

}  // namespace
}  // namespace tovra
