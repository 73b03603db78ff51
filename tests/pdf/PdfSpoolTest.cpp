// Image data out of memory once the image joins the document: compressed on worker threads
// or on the caller's, kept in a spool file, and copied into the saved file in object order
// with the same bytes whatever the thread count.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <atomic>
#include <future>
#include <optional>
#include <cstdlib>
#include <thread>

#include "PdfTestUtil.h"
#include "common/Exceptions.h"
#include "imaging/Bitmap.h"
#include "pdf/PdfImages.h"
#include "pdf/PdfStreamData.h"
#include "pdf/PdfWorkers.h"

namespace tovra::test {
namespace {

// Sets an environment variable for as long as it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TPicture Noise(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    unsigned state = static_cast<unsigned>(seed) * 2654435761u + 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            image.setPixel(x, y, qRgb(x & 0xFF, (state >> 16) & 0xFF, y & 0xFF));
        }
    return TPicture(std::make_unique<TBitmap>(std::move(image)));
}

// A document of `pages` pages, each with its own bitmap, saved to memory.
std::string SavedWithImages(int pages, const std::string& spoolFolder, std::vector<TPdfImage*>* images = nullptr) {
    TPdfDoc doc;
    FixClock(doc);
    doc.SpoolFolder = spoolFolder;
    doc.StartDocument();
    for (int i = 0; i < pages; ++i) {
        doc.AddPage();
        const std::string name = "Im" + std::to_string(i);
        TPdfImage* image = doc.AddImage(name, CreatePdfImage(Noise(200 + i, 90, i), "Pdf-Bitmap"));
        if (images) images->push_back(image);
        doc.GetCanvas()->DrawXObject(0, 0, 200, 90, name);
    }
    return Saved(doc);
}

TEST(PdfSpool, SameBytesWhateverTheThreadsAndNothingLeftInMemory) {
    TempDir dir;
    std::string single;
    {
        ScopedEnv threads("TOVRA_THREADS", "1");
        std::vector<TPdfImage*> images;
        TPdfDoc doc;
        doc.SpoolFolder = dir.Path().string();
        doc.StartDocument();
        doc.AddPage();
        TPdfImage* image = doc.AddImage("A", CreatePdfImage(Noise(50, 50, 1), "Pdf-Bitmap"));
        EXPECT_EQ(image->Data().Size(), 0);  // handed to the spool
        EXPECT_NE(image->EncodedData(), nullptr);
        single = SavedWithImages(9, dir.Path().string());
    }
    for (const char* count : {"2", "3", "8"}) {
        ScopedEnv threads("TOVRA_THREADS", count);
        EXPECT_EQ(SavedWithImages(9, dir.Path().string()), single) << count << " threads";
    }
    // Nothing stays behind in the spool folder: the file was unlinked when made.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 0);
    ExpectQpdfClean(single);
}

TEST(PdfSpool, ThreadCountFollowsTheEnvironment) {
    {
        ScopedEnv threads("TOVRA_THREADS", "3");
        EXPECT_EQ(CompressionThreadCount(), 3);
    }
    for (const char* unusable : {"0", "-2", "many", ""}) {
        ScopedEnv threads("TOVRA_THREADS", unusable);
        EXPECT_EQ(CompressionThreadCount(), std::max(1, static_cast<int>(std::thread::hardware_concurrency())));
    }
}

TEST(PdfSpool, AFullDiskFailsTheSaveWithAMessage) {
    TempDir dir;
    // A file size limit stands in for a full disk: writes past it fail as they would there.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    for (const char* count : {"1", "2"}) {
        ScopedEnv threads("TOVRA_THREADS", count);
        try {
            SavedWithImages(4, dir.Path().string());
        } catch (const Exception& e) {
            message = e.what();
        }
        EXPECT_EQ(message, "Cannot store image data in a temporary file in " + dir.Path().string() + ": File too large");
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
}

TEST(PdfWorkers, EveryJobRunsOnceAndWithoutWorkersOnTheCaller) {
    {
        TWorkerPool inline_(0);
        std::thread::id ranOn;
        inline_.Run([&ranOn] { ranOn = std::this_thread::get_id(); });
        EXPECT_EQ(ranOn, std::this_thread::get_id());
    }
    std::atomic<int> sum{0};
    {
        TWorkerPool pool(3);
        for (int i = 1; i <= 200; ++i) pool.Run([&sum, i] { sum += i; });
        // Leaving the scope waits for the running jobs and drops the queued one at most.
    }
    EXPECT_GE(sum.load(), 200 * 201 / 2 - 200);
    std::atomic<int> all{0};
    {
        TWorkerPool pool(2);
        std::promise<void> last;
        for (int i = 0; i < 50; ++i) pool.Run([&all] { ++all; });
        pool.Run([&last] { last.set_value(); });
        last.get_future().wait();
    }
    EXPECT_EQ(all.load(), 50);
}

// Raw pixels waiting for compression are held to a budget in bytes, whatever the thread count.
TEST(PdfWorkers, BytesInFlightStayWithinTheBudgetAndALargerJobRunsAlone) {
    TWorkerPool pool(4, 100);
    std::promise<void> releaseFirst, releaseSecond;
    pool.Run([held = releaseFirst.get_future().share()] { held.wait(); }, 60);
    pool.Run([held = releaseSecond.get_future().share()] { held.wait(); }, 40);
    EXPECT_EQ(pool.BytesInFlight(), 100u);

    // Ten more bytes would go beyond: the thread handing them in waits for a job to end.
    std::thread small([&pool] { pool.Run([] {}, 10); });
    while (pool.WaitingJobs() == 0) std::this_thread::yield();
    EXPECT_EQ(pool.BytesInFlight(), 100u);
    releaseFirst.set_value();
    small.join();

    // More than the whole budget waits until nothing else is in flight, then runs alone.
    std::promise<std::uint64_t> seenByLarge;
    std::thread large([&] { pool.Run([&] { seenByLarge.set_value(pool.BytesInFlight()); }, 500); });
    while (pool.WaitingJobs() == 0) std::this_thread::yield();
    EXPECT_LE(pool.BytesInFlight(), 50u);
    releaseSecond.set_value();
    large.join();
    EXPECT_EQ(seenByLarge.get_future().get(), 500u);
}

}  // namespace
}  // namespace tovra::test
