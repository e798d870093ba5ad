// The preview's costs: one paint of four thumbnails from real files against Qt doing the
// same job, and listing a folder of 10,000 memos against plain readdir, fstatat and sort.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/QuilloApp.h"
#include "dialogs/ThumbnailCtrl.h"
#include "bench/BenchDevice.h"
#include "bench/BenchMemos.h"
#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"

namespace {

constexpr int kMemoWidth = 800;
constexpr int kMemoHeight = 600;
constexpr int kControlWidth = 200;
constexpr int kControlHeight = 240;

// A device with a save folder; memos are written into it on demand.
struct Fixture {
    Fixture() {
        app.m_strSaveFolder = "\\Memos";
        app.m_strMemoExt = ".bmp";
        Device::FileSystem().CreateFolder("\\Memos");
        hostFolder = Device::HostRoot() + "/Memos";
    }

    void WriteMemos(int count) {
        CMemoBitmap memo;
        MakeMemo(memo, kMemoWidth, kMemoHeight, 222, true);
        for (int i = static_cast<int>(app.m_memoList.size()); i < count; ++i) {
            const std::string name = Format("2026120710%04d.bmp", i);
            if (i < 4) {
                memo.SaveFile("\\Memos\\" + name);
            } else {
                // Listing reads names and times only: small files do.
                const int fd = ::open((hostFolder + "/" + name).c_str(), O_WRONLY | O_CREAT, 0644);
                ::close(fd);
            }
            app.m_memoList.push_back({name, 0});
        }
    }

    BenchDevice device;
    CQuilloApp app;
    std::string hostFolder;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_PreviewPaint4Memos(benchmark::State& state) {
    Fixture& f = Shared();
    f.WriteMemos(4);
    f.app.RefreshMemoList();
    auto screen = Surface::CreateTrueColor(kControlWidth, kControlHeight);
    CDC dc;
    dc.AttachSurface(screen.get());
    CThumbnailCtrl control;
    control.m_pMemoList = &f.app.m_memoList;
    control.m_nSelected = 1;
    for (auto _ : state) {
        control.Paint(dc, CRect(0, 0, kControlWidth, kControlHeight));
        benchmark::ClobberMemory();
    }
}

void BM_PreviewPeer_QImage4Memos(benchmark::State& state) {
    Fixture& f = Shared();
    f.WriteMemos(4);
    f.app.RefreshMemoList();
    QImage screen(kControlWidth, kControlHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&screen);
        for (int i = 0; i < 4; ++i) {
            const QImage memo(
                QString::fromStdString(f.hostFolder + "/" + f.app.m_memoList[i].name));
            const QImage cell = memo.scaled(kControlWidth / 2, kControlHeight / 2,
                                            Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            painter.drawImage((i % 2) * kControlWidth / 2, (i / 2) * kControlHeight / 2, cell);
        }
        painter.end();
        benchmark::ClobberMemory();
    }
}

void BM_RefreshMemoList(benchmark::State& state) {
    Fixture& f = Shared();
    f.WriteMemos(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(f.app.RefreshMemoList());
}

// What listing costs at the least: the names, each one's time, and the sort.
void BM_RefreshMemoListFloor(benchmark::State& state) {
    Fixture& f = Shared();
    f.WriteMemos(static_cast<int>(state.range(0)));
    struct Entry {
        std::string name;
        int64_t time;
    };
    for (auto _ : state) {
        std::vector<Entry> entries;
        DIR* folder = ::opendir(f.hostFolder.c_str());
        while (const dirent* entry = ::readdir(folder)) {
            struct stat st {};
            if (entry->d_name[0] == '.' ||
                ::fstatat(::dirfd(folder), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
                !S_ISREG(st.st_mode)) {
                continue;
            }
            entries.push_back({entry->d_name, st.st_mtim.tv_sec});
        }
        ::closedir(folder);
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.time > b.time; });
        benchmark::DoNotOptimize(entries.data());
    }
}

long ResidentKilobytes() {
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm != nullptr) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Every row of a folder of 10,000 small memos painted in turn, as scrolling to the bottom
// does; reports how much the resident memory grew.
void BM_PreviewScroll10000Memos(benchmark::State& state) {
    Fixture& f = Shared();
    CQuilloApp& app = f.app;
    const std::string folder = app.m_strSaveFolder;
    app.m_strSaveFolder = "\\Many";
    Device::FileSystem().CreateFolder(app.m_strSaveFolder);
    CMemoBitmap memo;
    MakeMemo(memo, 240, 294, 222, false);
    for (int i = 0; i < 10000; ++i) memo.SaveFile(Format("\\Many\\%05d.bmp", i));
    app.RefreshMemoList();
    auto screen = Surface::CreateTrueColor(kControlWidth, kControlHeight);
    CDC dc;
    dc.AttachSurface(screen.get());
    CThumbnailCtrl control;
    control.m_pMemoList = &app.m_memoList;
    const CRect client(0, 0, kControlWidth, kControlHeight);
    control.Paint(dc, client);
    const long before = ResidentKilobytes();
    long grown = 0;
    for (auto _ : state) {
        for (int row = 0; row <= 4999; ++row) {
            control.m_nFirstRow = row;
            control.Paint(dc, client);
        }
        grown = std::max(grown, ResidentKilobytes() - before);
    }
    state.counters["resident_growth_kB"] = static_cast<double>(grown);
    std::filesystem::remove_all(Device::HostRoot() + "/Many");
    app.m_strSaveFolder = folder;
    app.RefreshMemoList();
}

}  // namespace

BENCHMARK(BM_PreviewScroll10000Memos)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewPaint4Memos)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreviewPeer_QImage4Memos)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RefreshMemoList)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshMemoListFloor)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
