// Loading, saving, drawing into and shrinking an 800 x 600 memo, each beside its floor
// (the same bytes through plain file calls) or its peer (Qt's QImage doing the same job).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchDevice.h"
#include "bench/BenchMemos.h"
#include "memo/DefaultColorTable.h"
#include "memo/MemoBitmap.h"
#include "memo/MemoHistory.h"
#include "memo/RecoveryCopy.h"
#include "platform/fs/Device.h"
#include "platform/fs/RecoveryFolder.h"
#include "platform/fs/RecoveryWriter.h"
#include "platform/gdi/DC.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;

// One device for the whole run, with a written memo in it.
struct Fixture {
    Fixture() {
        host = Device::HostRoot() + "/memo.bmp";
        MakeMemo(memo, kWidth, kHeight, 222, true);
        memo.SaveFile("\\memo.bmp");
        bytes.resize(std::filesystem::file_size(host));
        const int fd = ::open(host.c_str(), O_RDONLY);
        (void)!::read(fd, bytes.data(), bytes.size());
        ::close(fd);
    }
    BenchDevice device;
    std::string host;
    std::string bytes;
    CMemoBitmap memo;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_LoadMemo(benchmark::State& state) {
    auto& f = Shared();
    for (auto _ : state) {
        CMemoBitmap memo;
        benchmark::DoNotOptimize(memo.LoadFile("\\memo.bmp"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_LoadFloor_ReadBytes(benchmark::State& state) {
    auto& f = Shared();
    std::vector<char> buffer(f.bytes.size());
    for (auto _ : state) {
        const int fd = ::open(f.host.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void BM_LoadPeer_QImage(benchmark::State& state) {
    auto& f = Shared();
    for (auto _ : state) {
        QImage image(QString::fromStdString(f.host));
        benchmark::DoNotOptimize(image.bits());
    }
}

void BM_SaveMemo(benchmark::State& state) {
    auto& f = Shared();
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.memo.SaveFile("\\saved.bmp"));
    }
}

// The same bytes replaced as safely: temporary, write, fsync, rename, folder fsync.
void BM_SaveFloor_WriteFsyncRename(benchmark::State& state) {
    auto& f = Shared();
    const std::string folder = std::filesystem::path(f.host).parent_path().string();
    const std::string temp = folder + "/.plain-tmp";
    const std::string target = folder + "/plain.bmp";
    for (auto _ : state) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        (void)!::write(fd, f.bytes.data(), f.bytes.size());
        ::fsync(fd);
        ::close(fd);
        ::rename(temp.c_str(), target.c_str());
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        ::fsync(dir);
        ::close(dir);
    }
}

void BM_SaveFloor_WriteOnly(benchmark::State& state) {
    auto& f = Shared();
    const std::string target = std::filesystem::path(f.host).parent_path().string() + "/plain.bmp";
    for (auto _ : state) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        (void)!::write(fd, f.bytes.data(), f.bytes.size());
        ::close(fd);
    }
}

void BM_SavePeer_QImage(benchmark::State& state) {
    auto& f = Shared();
    const QImage image(QString::fromStdString(f.host));
    const QString target = QString::fromStdString(f.host + ".qt.bmp");
    for (auto _ : state) {
        benchmark::DoNotOptimize(image.save(target, "BMP"));
    }
}

void DrawStroke(CMemoBitmap& memo, const std::vector<CPoint>& points, CPen& pen) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(memo.GetBitmap());
    CPen* oldPen = dc.SelectObject(&pen);
    dc.MoveTo(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) dc.LineTo(points[i].x, points[i].y);
    dc.SelectObject(oldPen);
    dc.SelectObject(old);
}

// A commit as the memo's history sees it: each stroke a step to undo, the oldest dropped
// once they hold 64 MiB.
void BM_CommitStroke1000Points5px(benchmark::State& state) {
    auto& f = Shared();
    const auto points = LongStroke();
    CPen pen(PS_SOLID, 5, RGB(0, 0, 0));
    CMemoHistory history;
    for (auto _ : state) {
        history.BeforeChange(f.memo, StrokeArea(points, 5));
        DrawStroke(f.memo, points, pen);
    }
}

// Undo, then redo, of that stroke once committed.
void BM_UndoStroke1000Points5px(benchmark::State& state) {
    const auto points = LongStroke();
    CMemoBitmap memo;
    MakeMemo(memo, kWidth, kHeight, 222, true);
    CPen pen(PS_SOLID, 5, RGB(0, 0, 0));
    CMemoHistory history;
    history.BeforeChange(memo, StrokeArea(points, 5));
    DrawStroke(memo, points, pen);
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.Undo(memo));
        benchmark::DoNotOptimize(history.Redo(memo));
    }
}

void BM_ThumbnailStretch85x100(benchmark::State& state) {
    auto& f = Shared();
    auto cell = Surface::CreateTrueColor(85, 100);
    CDC target;
    target.AttachSurface(cell.get());
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.memo.StretchDraw(&target, 0, 0, 85, 100));
    }
}

void BM_DrawMemoToWindow(benchmark::State& state) {
    auto& f = Shared();
    auto window = Surface::CreateTrueColor(kWidth, kHeight);
    CDC target;
    target.AttachSurface(window.get());
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.memo.Draw(&target, 0, 0));
    }
}

void BM_DrawPeer_QImageConvert(benchmark::State& state) {
    auto& f = Shared();
    const QImage image(QString::fromStdString(f.host));
    for (auto _ : state) {
        QImage shown = image.convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(shown.bits());
    }
}

void BM_ThumbnailPeer_QImageSmooth(benchmark::State& state) {
    auto& f = Shared();
    const QImage image(QString::fromStdString(f.host));
    for (auto _ : state) {
        QImage thumb = image.scaled(85, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(thumb.bits());
    }
}

void BM_ThumbnailPeer_QImageFast(benchmark::State& state) {
    auto& f = Shared();
    const QImage image(QString::fromStdString(f.host));
    for (auto _ : state) {
        QImage thumb = image.scaled(85, 100, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        benchmark::DoNotOptimize(thumb.bits());
    }
}

// The recovery copy of the modified memo made durable: encoded on the writer's thread,
// written, fsynced, renamed, folder fsynced; the floor above does the same bytes by hand.
void BM_RecoveryWrite(benchmark::State& state) {
    auto& f = Shared();
    auto folder = RecoveryFolder::Claim();
    RecoveryWriter writer(folder->FolderFd(), std::chrono::milliseconds(0));
    const auto snapshot =
        std::make_shared<const MemoSnapshot>(f.memo, "\\memo.bmp", FileIdentity{});
    for (auto _ : state) {
        writer.Write(
            [snapshot](const RecoveryWriter::Sink& sink) { return snapshot->WriteTo(sink); });
        writer.Flush();
    }
}

// What a change leaves on the user's thread: the canvas taken, the write asked for.
void BM_RecoverySnapshot(benchmark::State& state) {
    auto& f = Shared();
    auto folder = RecoveryFolder::Claim();
    RecoveryWriter writer(folder->FolderFd());
    for (auto _ : state) {
        auto snapshot = std::make_shared<const MemoSnapshot>(f.memo, "\\memo.bmp", FileIdentity{});
        writer.Write(
            [snapshot](const RecoveryWriter::Sink& sink) { return snapshot->WriteTo(sink); });
    }
    writer.Remove();
}

}  // namespace

BENCHMARK(BM_LoadMemo);
BENCHMARK(BM_LoadFloor_ReadBytes);
BENCHMARK(BM_LoadPeer_QImage);
BENCHMARK(BM_SaveMemo);
BENCHMARK(BM_SaveFloor_WriteFsyncRename);
BENCHMARK(BM_SaveFloor_WriteOnly);
BENCHMARK(BM_SavePeer_QImage);
BENCHMARK(BM_CommitStroke1000Points5px);
BENCHMARK(BM_UndoStroke1000Points5px);
BENCHMARK(BM_RecoveryWrite);
BENCHMARK(BM_RecoverySnapshot);
BENCHMARK(BM_ThumbnailStretch85x100);
BENCHMARK(BM_DrawMemoToWindow);
BENCHMARK(BM_DrawPeer_QImageConvert);
BENCHMARK(BM_ThumbnailPeer_QImageSmooth);
BENCHMARK(BM_ThumbnailPeer_QImageFast);

BENCHMARK_MAIN();
