// How the desktop window feels with large inputs, measured on the offscreen platform:
//  - adding 1,000 files to the list (no picture may be read);
//  - selecting the row of a 6000x4000 JPEG photo until its preview is painted (the photo must be
//    decoded scaled down for the screen, never at full size), and the check of its data for
//    damage, which runs on a worker thread meanwhile;
//  - reading and writing the preferences when the INI file is as large as is read (1 MB).
// Prints the median of several runs and the size the photo was decoded at.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include "DialogService.h"
#include "PDFMain.h"
#include "components/Other/IniDocument.h"
#include "components/Other/IniFile.h"
#include "imaging/JpegDamage.h"
#include "imaging/JpegImage.h"
#include "PreviewView.h"
#include "pdf/PdfClasses.h"
#include "report/PRJpegImage.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers no dialog: nothing in the measured steps asks one.
class TSilentDialogs : public tovra::TDialogService {
public:
    bool Question(QWidget*, const QString&, const QString&) override { return false; }
    bool WarningYesNo(QWidget*, const QString&, const QString&) override { return false; }
    void Error(QWidget*, const QString&, const QString& text) override {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    }
    QStringList OpenFiles(QWidget*, const tovra::TOpenFilesRequest&) override { return {}; }
    QString SaveFile(QWidget*, const tovra::TSaveFileRequest&) override { return {}; }
    QString PickFolder(QWidget*, const QString&, const QString&) override { return {}; }
    std::unique_ptr<tovra::TRunProgress> StartProgress(QWidget*, const QString&, int) override {
        return std::make_unique<TSilentProgress>();
    }

private:
    // Shows nothing and is never cancelled, so a measured run is only the run.
    class TSilentProgress : public tovra::TRunProgress {
    public:
        void Step(int, int, const QString&) override {}
        bool WasCancelled() override { return false; }
    };
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A photo-like picture: smooth gradients with noise, so it compresses like a photograph.
std::string MakePhoto(const std::filesystem::path& folder, int width, int height) {
    const auto path = folder / "photo-6000x4000.jpg";
    if (std::filesystem::exists(path)) return path.string();
    QImage image(width, height, QImage::Format_RGB32);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(random->bounded(24));
            line[x] = qRgb((x * 255 / width + noise) % 256, (y * 255 / height + noise) % 256, ((x + y) / 40 + noise) % 256);
        }
    }
    image.save(QString::fromStdString(path.string()), "JPEG", 90);
    return path.string();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tovra::TPdfClassesRegistration classes;
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "tovra-gui-bench";
    std::filesystem::create_directories(work);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    tovra::TMainWindowServices services;
    services.Dialogs = std::make_shared<TSilentDialogs>();
    services.ExecutablePath = (work / "tovrapdf").string();
    tovra::TfrmPDFMain window(services);

    // 1,000 names of files that do not even exist: adding must not touch them.
    QStringList names;
    for (int i = 0; i < 1000; ++i) names << QString("%1/missing-%2.jpg").arg(QString::fromStdString(work.string())).arg(i);
    std::vector<double> adding;
    for (int run = 0; run < runs; ++run) {
        window.ClearImageList();
        const auto start = Clock::now();
        window.AddImageFiles(names);
        adding.push_back(MillisecondsSince(start));
    }
    std::printf("add 1000 files to the list: median %.1f ms over %d runs\n", Median(adding), runs);

    window.ClearImageList();
    const std::string photo = MakePhoto(work, 6000, 4000);
    const std::string small = (work / "small.jpg").string();
    QImage(64, 48, QImage::Format_RGB32).save(QString::fromStdString(small), "JPEG");
    window.AddImageFiles({QString::fromStdString(small), QString::fromStdString(photo)});
    std::vector<double> selecting;
    QSize decoded;
    for (int run = 0; run < runs; ++run) {
        while (window.CheckingShownPicture()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        window.ShowImage(0);
        const auto start = Clock::now();
        window.ShowImage(1);
        const QImage painted = window.prpViewWidget->Grab();  // the preview as the screen gets it
        selecting.push_back(MillisecondsSince(start));
        decoded = window.priViewJPG->ScreenImageSize();
    }
    std::printf("select the 6000x4000 JPEG row and paint its preview: median %.1f ms over %d runs\n", Median(selecting),
                runs);
    std::printf("the photo was decoded for the screen at %dx%d (shown %dx%d)\n", decoded.width(), decoded.height(),
                window.priViewJPG->Width(), window.priViewJPG->Height());

    const QByteArray photoBytes = window.priViewJPG->Picture().Jpeg()->Data();
    std::vector<double> checking;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        tovra::JpegDataIsDamaged({reinterpret_cast<const std::uint8_t*>(photoBytes.constData()),
                                  static_cast<std::size_t>(photoBytes.size())});
        checking.push_back(MillisecondsSince(start));
    }
    std::printf("check the photo's data for damage (on a worker thread): median %.1f ms over %d runs\n",
                Median(checking), runs);

    // An INI file of just under 1 MB: other sections the program keeps, then its own.
    std::string big;
    for (int i = 0; big.size() < tovra::IniMaxFileBytes - 4096; ++i)
        big += "[Other" + std::to_string(i) + "]\nKey=value\n";
    std::vector<double> prefs;
    for (int run = 0; run < runs; ++run) {
        std::FILE* file = std::fopen(tovra::DefaultIniFile().c_str(), "wb");
        std::fwrite(big.data(), 1, big.size(), file);
        std::fclose(file);
        const auto start = Clock::now();
        window.ReadPrefsIntoWindow();
        window.WritePrefsShowingFailure();
        prefs.push_back(MillisecondsSince(start));
    }
    std::printf("read and write the preferences in a %zu-byte INI file: median %.1f ms over %d runs\n", big.size(),
                Median(prefs), runs);
    return 0;
}
