#include <filesystem>

#include "memo/MemoList.h"
#include "platform/fs/Device.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"

namespace {

std::vector<std::string> Names(const std::vector<MemoEntry>& list) {
    std::vector<std::string> names;
    for (const auto& entry : list) names.push_back(entry.name);
    return names;
}

}  // namespace

TEST(MemoList, SortIsNewestFirst) {
    std::vector<MemoEntry> list{{"a", 100}, {"b", 105}, {"c", 99}, {"d", 200}, {"e", 1}};
    SortMemoList(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"d", "b", "a", "c", "e"}));
}

TEST(MemoList, SameSecondKeepsHeapOrder) {
    std::vector<MemoEntry> three{{"first", 7}, {"second", 7}, {"third", 7}};
    SortMemoList(three);
    EXPECT_EQ(Names(three), (std::vector<std::string>{"second", "third", "first"}));
    std::vector<MemoEntry> empty;
    SortMemoList(empty);
    std::vector<MemoEntry> one{{"only", 1}};
    SortMemoList(one);
    EXPECT_EQ(Names(one), (std::vector<std::string>{"only"}));
}

TEST(MemoList, MixedTimesFollowTheHeapSteps) {
    // A newer memo among two of the same second, in each place it can be found.
    const struct {
        std::vector<MemoEntry> found;
        std::vector<std::string> sorted;
    } cases[] = {
        {{{"a", 7}, {"b", 9}, {"c", 7}}, {"b", "c", "a"}},
        {{{"a", 7}, {"b", 7}, {"c", 9}}, {"c", "b", "a"}},
        {{{"a", 9}, {"b", 7}, {"c", 7}}, {"a", "c", "b"}},
        {{{"a", 3}, {"b", 5}, {"c", 5}, {"d", 4}, {"e", 5}}, {"e", "c", "b", "d", "a"}},
    };
    for (auto c : cases) {
        SortMemoList(c.found);
        EXPECT_EQ(Names(c.found), c.sorted);
    }
}

TEST(MemoList, TitleOfAPath) {
    struct Row {
        const char* path;
        const char* title;
    };
    const Row rows[] = {
        {"\\My Documents\\Quillo\\200901131530.bmp", "200901131530"},
        {"\\a.b\\c", "a"},  // the last "." belongs to the folder
        {"shopping.bmp", "shopping"},
        {"\\dir\\noext", "noext"},
        {"noext", "noext"},
        {"\\x\\y.tar.bmp", "y.tar"},
    };
    for (const auto& row : rows) EXPECT_EQ(MemoTitleOfPath(row.path), row.title) << row.path;
}

using MemoFolder = QuilloScenario;

TEST_F(MemoFolder, ListsBmpFilesOfAnyCaseButNoFolders) {
    ASSERT_TRUE(Start());
    WriteMemo("x.bmp");
    WriteMemo("y.BMP");
    std::filesystem::create_directories(HostSaveFolder() / "z.bmp");
    WriteHostFile(HostSaveFolder() / "notes.txt", "n");
    EXPECT_EQ(app->RefreshMemoList(), 2);
    std::vector<std::string> names = Names(app->m_memoList);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"x.bmp", "y.BMP"}));
    EXPECT_EQ(app->FindMemo("y.bmp"), -1) << "names compare with case counted";
    EXPECT_GE(app->FindMemo("y.BMP"), 0);
}

TEST_F(MemoFolder, OrdersByLastWriteTimeNewestFirst) {
    ASSERT_TRUE(Start());
    for (const char* name : {"ten.bmp", "tenfive.bmp", "nine.bmp"}) WriteMemo(name);
    Touch(HostSaveFolder() / "ten.bmp", 2009, 1, 13, 10, 0, 0);
    Touch(HostSaveFolder() / "tenfive.bmp", 2009, 1, 13, 10, 0, 5);
    Touch(HostSaveFolder() / "nine.bmp", 2009, 1, 13, 9, 59, 59);
    ASSERT_EQ(app->RefreshMemoList(), 3);
    EXPECT_EQ(Names(app->m_memoList),
              (std::vector<std::string>{"tenfive.bmp", "ten.bmp", "nine.bmp"}));
    EXPECT_EQ(app->m_memoList[0].time - app->m_memoList[1].time, 5);
}

TEST_F(MemoFolder, ThreeMemosOfTheSameSecondComeSecondThirdFirst) {
    ASSERT_TRUE(Start());
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
        WriteMemo(name);
        Touch(HostSaveFolder() / name, 2009, 1, 13, 10, 0, 0);
    }
    std::vector<FindEntry> enumerated;
    ASSERT_TRUE(Device::FileSystem().Find("\\My Documents\\Quillo\\*.bmp", enumerated));
    ASSERT_EQ(app->RefreshMemoList(), 3);
    EXPECT_EQ(
        Names(app->m_memoList),
        (std::vector<std::string>{enumerated[1].name, enumerated[2].name, enumerated[0].name}));
}

TEST_F(MemoFolder, NextAndPreviousFollowTheListOfMixedTimes) {
    // Quick saves: two memos of one second and a newer one found between them.
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) WriteMemo(name, 240, 294, 255);
    std::vector<FindEntry> found;
    ASSERT_TRUE(Device::FileSystem().Find("\\My Documents\\Quillo\\*.bmp", found));
    ASSERT_EQ(found.size(), 3u);
    const int seconds[] = {7, 9, 7};
    for (int i = 0; i < 3; ++i)
        Touch(HostSaveFolder() / found[i].name, 2009, 1, 13, 10, 0, seconds[i]);
    ASSERT_TRUE(Start());
    const auto shown = [&] { return doc->GetPathName().substr(doc->GetPathName().rfind('\\') + 1); };
    EXPECT_EQ(shown(), found[1].name) << "the newest opens";
    SendCommand(frame, ID_NEXT_MEMO);
    EXPECT_EQ(shown(), found[2].name);
    SendCommand(frame, ID_NEXT_MEMO);
    EXPECT_EQ(shown(), found[0].name);
    SendCommand(frame, ID_PREV_MEMO);
    EXPECT_EQ(shown(), found[2].name);
}

TEST_F(MemoFolder, PathsAreJoinedAsTheyStand) {
    ASSERT_TRUE(Start());
    app->m_strSaveFolder = "\\";
    EXPECT_EQ(app->GetMemoPath("x.bmp"), "\\\\x.bmp");
    app->m_strSaveFolder = "\\No Such Folder";
    EXPECT_EQ(app->RefreshMemoList(), 0);
}
