#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "BmpBytes.h"
#include "memo/DefaultColorTable.h"
#include "memo/MemoBitmap.h"
#include "platform/fs/FileIdentity.h"
#include "support/TempDevice.h"

namespace {

std::string DefaultTableBytes() {
    const auto& table = DefaultColorTable();
    return std::string(reinterpret_cast<const char*>(table.data()), 1024);
}

// An 8-bit memo with the default table and `rows` x `width` pixels counting up.
BmpBytes EightBitMemo(int32_t width, int32_t height) {
    BmpBytes bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.table = DefaultTableBytes();
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    for (size_t i = 0; i < stride * static_cast<size_t>(std::abs(height)); ++i) {
        bmp.pixels += static_cast<char>(i * 31 % 251);
    }
    bmp.imageSize = static_cast<uint32_t>(bmp.pixels.size());
    return bmp;
}

class MemoFile : public ::testing::Test {
  protected:
    // Writes `bytes` as \m.bmp and loads it into a reset canvas.
    bool Load(const std::string& bytes) {
        WriteHostFile(device.Host("m.bmp"), bytes);
        canvas.Reset();
        return canvas.LoadFile("\\m.bmp");
    }
    std::string Save() {
        EXPECT_TRUE(canvas.SaveFile("\\saved.bmp"));
        return ReadHostFile(device.Host("saved.bmp"));
    }
    void ExpectEmpty(const std::string& why) {
        EXPECT_EQ(canvas.GetBitmap(), nullptr) << why;
        EXPECT_EQ(canvas.Width(), 0) << why;
        EXPECT_EQ(canvas.Height(), 0) << why;
        EXPECT_EQ(canvas.ColorCount(), 0u) << why;
        EXPECT_EQ(canvas.Bits(), nullptr) << why;
    }

    TempDevice device;
    CMemoBitmap canvas;
};

}  // namespace

// An 8-bit working picture whose colour table holds `colors`, pixel x showing colour x.
CBitmap WorkingPicture(int32_t width, int32_t height, const std::vector<COLORREF>& colors) {
    std::vector<RGBQUAD> table;
    for (const COLORREF c : colors) table.push_back({GetBValue(c), GetGValue(c), GetRValue(c), 0});
    CBitmap picture;
    EXPECT_TRUE(picture.CreateDIBSection({40, width, height, 1, 8, BI_RGB, 0, 0, 0, 0, 0}, table));
    Surface& surface = *picture.GetSurface();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            surface.SetPixelValue(x, y,
                                  static_cast<uint32_t>(x % static_cast<int32_t>(colors.size())));
    return picture;
}

TEST_F(MemoFile, NewCanvasFileLayoutByteForByte) {
    CBitmap source = WorkingPicture(241, 100, {RGB(255, 255, 255)});
    ASSERT_TRUE(canvas.CreateFromBitmap(&source));
    EXPECT_EQ(CMemoBitmap::RowStride(241, 8), 244u);
    EXPECT_EQ(canvas.Header().biSizeImage, 24400u);

    const std::string file = Save();
    ASSERT_EQ(file.size(), 25478u);
    BmpBytes expected;
    expected.width = 241;
    expected.height = 100;
    expected.imageSize = 24400;
    expected.table = DefaultTableBytes();
    const std::string headers = expected.Build();  // no pixels: the headers and the table
    EXPECT_EQ(ReadLe32(headers, 2), 1078u) << "header size field without pixels";
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(ReadLe32(file, 2), 25478u);
    EXPECT_EQ(ReadLe32(file, 10), 1078u);
    EXPECT_EQ(file.substr(6, 4), std::string(4, '\0'));
    EXPECT_EQ(file.substr(14, 1064), headers.substr(14));
    for (size_t row = 0; row < 100; ++row) {
        for (size_t x = 0; x < 241; ++x) {
            ASSERT_EQ(static_cast<uint8_t>(file[1078 + row * 244 + x]), 222)
                << "white is entry 222, the first white of the table";
        }
    }
}

TEST_F(MemoFile, ColoursAreMatchedIntoTheDefaultTable) {
    CBitmap source = WorkingPicture(6, 1,
                                    {RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 255),
                                     RGB(128, 128, 128), RGB(200, 200, 200), RGB(255, 0, 0)});
    ASSERT_TRUE(canvas.CreateFromBitmap(&source));
    EXPECT_EQ(canvas.ColorCount(), 256u);
    EXPECT_TRUE(std::equal(canvas.ColorTable().begin(), canvas.ColorTable().end(),
                           DefaultColorTable().begin()))
        << "the source's own table is not carried over";
    // Pure blue stands both at 14 (in the cube) and at 249; the lowest index wins.
    const uint8_t expected[] = {222, 0, 14, 248, 241, 188};
    for (size_t x = 0; x < 6; ++x) {
        EXPECT_EQ(canvas.Bits()[x], expected[x]) << "colour " << x;
    }
}

TEST_F(MemoFile, MalformedHeadersAreRejectedWithTheCanvasEmpty) {
    struct Row {
        const char* what;
        std::function<void(BmpBytes&)> spoil;
        size_t truncateTo = std::string::npos;
    };
    const Row rows[] = {
        {"type BA", [](BmpBytes& b) { b.type = 0x4142; }},
        {"core header of 12 bytes", [](BmpBytes& b) { b.headerSize = 12; }},
        {"header of 108 bytes", [](BmpBytes& b) { b.headerSize = 108; }},
        {"header of 124 bytes", [](BmpBytes& b) { b.headerSize = 124; }},
        {"pixel offset beyond the file", [](BmpBytes& b) { b.pixelOffset = 100000; }},
        {"file size below the pixel offset", [](BmpBytes& b) { b.fileSize = 1000; }},
        {"file size beyond the file", [](BmpBytes& b) { b.fileSize = 1 << 30; }},
        {"width 0", [](BmpBytes& b) { b.width = 0; }},
        {"height 0", [](BmpBytes& b) { b.height = 0; }},
        {"negative width", [](BmpBytes& b) { b.width = -4; }},
        {"huge width", [](BmpBytes& b) { b.width = 0x7FFFFFFF; }},
        {"huge height", [](BmpBytes& b) { b.height = 0x7FFFFFFF; }},
        {"height INT32_MIN", [](BmpBytes& b) { b.height = INT32_MIN; }},
        {"bits 0", [](BmpBytes& b) { b.bits = 0; }},
        {"bits 3", [](BmpBytes& b) { b.bits = 3; }},
        {"bits 30000", [](BmpBytes& b) { b.bits = 30000; }},
        {"compression 1 (RLE8)", [](BmpBytes& b) { b.compression = 1; }},
        {"compression 2 (RLE4)", [](BmpBytes& b) { b.compression = 2; }},
        {"compression 3 at 24 bits",
         [](BmpBytes& b) { b.bits = 24, b.compression = 3, b.table.clear(); }},
        {"compression 3 at 8 bits", [](BmpBytes& b) { b.compression = 3; }},
        {"pixel block one byte short", [](BmpBytes& b) { b.pixels.pop_back(); }},
        {"no pixels at all", [](BmpBytes& b) { b.pixels.clear(); }},
        {"empty file", [](BmpBytes&) {}, 0},
        {"file header cut", [](BmpBytes&) {}, 10},
        {"info header cut", [](BmpBytes&) {}, 40},
        {"colour table cut", [](BmpBytes&) {}, 54 + 1000},
    };
    for (const auto& row : rows) {
        BmpBytes bmp = EightBitMemo(4, 3);
        row.spoil(bmp);
        std::string bytes = bmp.Build();
        if (row.truncateTo != std::string::npos) bytes.resize(row.truncateTo);
        EXPECT_FALSE(Load(bytes)) << row.what;
        ExpectEmpty(row.what);
    }
    EXPECT_TRUE(Load(EightBitMemo(4, 3).Build())) << "the unspoilt file loads";
}

TEST_F(MemoFile, MissingFileFailsToLoad) {
    canvas.Reset();
    EXPECT_FALSE(canvas.LoadFile("\\no such memo.bmp"));
    ExpectEmpty("missing file");
}

TEST_F(MemoFile, FourBitFileReadsSixteenEntriesWhateverColoursUsedSays) {
    BmpBytes bmp;
    bmp.width = 3;
    bmp.height = 2;
    bmp.bits = 4;
    bmp.colorsUsed = 2;
    for (int i = 0; i < 16; ++i) bmp.table += std::string{static_cast<char>(i * 16), 0, 0, 0};
    bmp.gap = "GAPGAP";
    bmp.pixels = std::string("\x12\x30\0\0\x45\x60\0\0", 8);
    ASSERT_TRUE(Load(bmp.Build()));
    EXPECT_EQ(canvas.ColorCount(), 16u);
    EXPECT_EQ(canvas.ColorTable()[15].rgbBlue, 240);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(canvas.Bits()), 8), bmp.pixels)
        << "pixels come from the pixel offset, not from the end of the table";
    EXPECT_EQ(canvas.Header().biClrUsed, 2u) << "taken over unchanged";

    const std::string saved = Save();
    EXPECT_EQ(ReadLe32(saved, 10), 54u + 64u) << "the gap is closed";
    EXPECT_EQ(ReadLe32(saved, 46), 2u);
    BmpBytes expected = bmp;
    expected.gap.clear();
    expected.imageSize = 8;
    EXPECT_EQ(saved, expected.Build());
}

TEST_F(MemoFile, ImageSizeFieldIsReplacedByThePixelBlock) {
    for (const uint32_t claimed : {0u, 12345u, 1u}) {
        BmpBytes bmp = EightBitMemo(5, 2);
        bmp.imageSize = claimed;
        ASSERT_TRUE(Load(bmp.Build())) << claimed;
        EXPECT_EQ(canvas.Header().biSizeImage, 16u);
        const std::string saved = Save();
        EXPECT_EQ(ReadLe32(saved, 34), 16u);
        EXPECT_EQ(saved.size(), 1078u + 16u);
        EXPECT_EQ(saved.substr(1078), bmp.pixels);
    }
}

TEST_F(MemoFile, LongerPixelBlockIsCutToThePicture) {
    BmpBytes bmp = EightBitMemo(4, 2);
    const std::string exact = bmp.pixels;
    bmp.pixels += "trailing bytes of another program";
    ASSERT_TRUE(Load(bmp.Build()));
    const std::string saved = Save();
    EXPECT_EQ(saved.size(), 1078u + 8u);
    EXPECT_EQ(saved.substr(1078), exact);
}

TEST_F(MemoFile, GapBetweenTableAndPixelsIsClosedOnSave) {
    BmpBytes bmp = EightBitMemo(4, 4);
    bmp.gap = std::string(10, '\x77');
    ASSERT_TRUE(Load(bmp.Build()));
    const std::string saved = Save();
    EXPECT_EQ(ReadLe32(saved, 10), 1078u);
    EXPECT_EQ(ReadLe32(saved, 2), 1078u + 16u);
    EXPECT_EQ(saved.substr(1078), bmp.pixels);
}

TEST_F(MemoFile, TrueColourFilesKeepTheirMasksInPlace) {
    struct Row {
        uint16_t bits;
        uint32_t compression;
        std::string table;
    };
    const std::string masks565 = Le32(0xF800) + Le32(0x07E0) + Le32(0x001F);
    const std::string masks32 = Le32(0x00FF0000) + Le32(0x0000FF00) + Le32(0x000000FF);
    const Row rows[] = {{24, 0, ""}, {16, 0, ""}, {32, 0, ""}, {16, 3, masks565}, {32, 3, masks32}};
    for (const auto& row : rows) {
        BmpBytes bmp;
        bmp.width = 3;
        bmp.height = -2;
        bmp.bits = row.bits;
        bmp.compression = row.compression;
        bmp.table = row.table;
        const size_t stride = (3 * row.bits / 8 + 3) & ~size_t{3};
        for (size_t i = 0; i < 2 * stride; ++i) bmp.pixels += static_cast<char>(i * 7 + 1);
        bmp.imageSize = static_cast<uint32_t>(bmp.pixels.size());
        ASSERT_TRUE(Load(bmp.Build())) << row.bits << "/" << row.compression;
        EXPECT_EQ(canvas.ColorCount(), row.table.size() / 4);
        EXPECT_EQ(canvas.Height(), -2) << "a top-down picture keeps its sign";
        EXPECT_EQ(Save(), bmp.Build()) << row.bits << "/" << row.compression;
    }
}

TEST_F(MemoFile, EverySavedFileLoadsBackUnchanged) {
    for (const uint16_t bits : {uint16_t{1}, uint16_t{4}, uint16_t{8}}) {
        BmpBytes bmp;
        bmp.width = 13;
        bmp.height = 5;
        bmp.bits = bits;
        bmp.xResolution = 2835;
        bmp.colorsImportant = 3;
        for (uint32_t i = 0; i < (1u << bits); ++i) bmp.table += Le32(i * 0x010203);
        const size_t stride = (13 * bits + 31) / 32 * 4;
        for (size_t i = 0; i < stride * 5; ++i) bmp.pixels += static_cast<char>(i * 13);
        bmp.imageSize = static_cast<uint32_t>(bmp.pixels.size());
        ASSERT_TRUE(Load(bmp.Build())) << bits;
        const std::string first = Save();
        EXPECT_EQ(first, bmp.Build()) << bits << " bits, resolutions and counts taken over";
        ASSERT_TRUE(Load(first));
        EXPECT_EQ(Save(), first);
    }
}

TEST_F(MemoFile, EmptyCanvasNeverReplacesAMemo) {
    WriteHostFile(device.Host("saved.bmp"), "the memo the user wrote");
    canvas.Reset();
    EXPECT_FALSE(canvas.SaveFile("\\saved.bmp"));
    EXPECT_EQ(ReadHostFile(device.Host("saved.bmp")), "the memo the user wrote");
}

TEST_F(MemoFile, SaveIntoAMissingFolderFails) {
    ASSERT_TRUE(Load(EightBitMemo(4, 4).Build()));
    EXPECT_FALSE(canvas.SaveFile("\\No Folder\\x.bmp"));
    EXPECT_FALSE(canvas.SaveFile("\\bad|name.bmp"));
}

TEST_F(MemoFile, AFailedWriteIsToldAndKeepsTheOldMemo) {
    ASSERT_TRUE(Load(EightBitMemo(200, 200).Build()));
    const std::string old = EightBitMemo(3, 3).Build();
    WriteHostFile(device.Host("saved.bmp"), old);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A file size limit makes the disk look full part way through the write.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{20000, 20000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        // Both ways of saving: over any file, and over the file only as it was.
        const bool saved = canvas.SaveFile("\\saved.bmp");
        const auto replaced = canvas.SaveFileIfUnchanged("\\saved.bmp",
                                                         FileIdentityAt("\\saved.bmp"), nullptr);
        ::_exit(!saved && replaced == CReplacingFile::Outcome::Failed ? 42 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 42) << "the write failure reaches the caller";
    EXPECT_EQ(ReadHostFile(device.Host("saved.bmp")), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(device.Root()), {}), 4)
        << "My Documents, Windows, m.bmp and saved.bmp: no temporary is left";
}
