// Saving to and loading from "data.dat": the byte format, the limits of a
// load, and failures that leave both the queue and the old file as they were.
// Each test runs in a fresh temporary folder that it makes its working
// directory.
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "SqQueue.h"
#include "queue_file.h"
#include "capture.h"

namespace fs = std::filesystem;

namespace {

class DataFile : public testing::Test {
  protected:
    void SetUp() override {
        old_cwd_ = fs::current_path();
        std::random_device rd;
        do /* a name no other test run holds */
            dir_ = fs::temp_directory_path() / ("queue_file_test_" + std::to_string(rd()));
        while (!fs::create_directory(dir_));
        fs::current_path(dir_);
        ASSERT_EQ(InitQueue(Q), OK);
    }
    void TearDown() override {
        DestroyQueue(Q);
        fs::current_path(old_cwd_);
        fs::remove_all(dir_);
    }

    static void WriteBytes(const std::string &bytes, const char *name = "data.dat") {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const char *name = "data.dat") {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The queue's elements, head first.
    std::vector<int> Elements() {
        std::vector<int> v;
        for (int i = Q.front; i != Q.rear; i = (i + 1) % MAXQSIZE)
            v.push_back(Q.base[i]);
        return v;
    }
    void Fill(const std::vector<int> &values) {
        for (int e : values)
            ASSERT_EQ(EnQueue(Q, e), OK);
    }

    SqQueue Q = {nullptr, 0, 0};
    fs::path old_cwd_, dir_;
};

// n little-endian elements 0, 1, 2, ... as file bytes.
std::string Counting(int n) {
    std::string s;
    for (int i = 0; i < n; i++)
        s += std::string{char(i), 0, 0, 0};
    return s;
}

TEST_F(DataFile, SavesLittleEndianHeadFirst) {
    Fill({1, -2});
    EXPECT_EQ(Output([&] { EXPECT_EQ(SaveFile(Q), OK); }), "");
    EXPECT_EQ(ReadBytes(), std::string("\x01\x00\x00\x00\xFE\xFF\xFF\xFF", 8));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 1) << "data.dat alone";
}

TEST_F(DataFile, RoundTripKeepsExtremesAndLineEndBytes) {
    // 0x0A, 0x0D and 0x1A are what a text-mode stream would alter.
    std::vector<int> values = {INT_MIN, INT_MAX, -1, 0, 0x0A, 0x0D0A, 0x1A, 0x0A0D1A0D, -0x0A0D1A};
    Fill(values);
    int e;
    DeQueue(Q, e);
    EnQueue(Q, INT_MIN);
    values.erase(values.begin());
    values.push_back(INT_MIN);
    ASSERT_EQ(SaveFile(Q), OK);
    EXPECT_EQ(ReadBytes().substr(0, 8), std::string("\xFF\xFF\xFF\x7F\xFF\xFF\xFF\xFF", 8));
    EXPECT_EQ(ReadBytes().size(), 4 * values.size());

    ClearQueue(Q);
    Fill({7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
    EXPECT_EQ(ReadF(Q), OK);
    EXPECT_EQ(Q.front, 0);
    EXPECT_EQ(Q.rear, (int)values.size());
    EXPECT_EQ(Elements(), values);
}

TEST_F(DataFile, WrappedQueueSavedInQueueOrder) {
    for (int i = 0; i < 95; i++) {
        int e;
        EnQueue(Q, i);
        DeQueue(Q, e);
    }
    Fill({1, 2, 3, 4, 5, 6, 7, 8}); // slots 95..99, then 0..2
    ASSERT_LT(Q.rear, Q.front);
    ASSERT_EQ(SaveFile(Q), OK);
    std::string want;
    for (int i = 1; i <= 8; i++)
        want += std::string{char(i), 0, 0, 0};
    EXPECT_EQ(ReadBytes(), want);
}

TEST_F(DataFile, EmptyQueueSavesEmptyFileThatLoadsAsEmptyQueue) {
    WriteBytes("previous contents, longer than nothing");
    EXPECT_EQ(SaveFile(Q), OK);
    EXPECT_TRUE(fs::exists("data.dat"));
    EXPECT_EQ(ReadBytes(), "");
    Fill({4, 5});
    EXPECT_EQ(ReadF(Q), OK);
    EXPECT_EQ(QueueEmpty(Q), TRUE);
    EXPECT_EQ(Q.rear, 0);
}

TEST_F(DataFile, LoadIgnoresTrailingPartialElement) {
    WriteBytes(std::string("\x05\x00\x00\x00\x01\x02\x03", 7));
    EXPECT_EQ(ReadF(Q), OK);
    EXPECT_EQ(Elements(), std::vector<int>{5});
}

TEST_F(DataFile, LoadsUpToNinetyNineElements) {
    for (int extra : {0, 1, 3}) {
        WriteBytes(Counting(99) + std::string(extra, '\x7F'));
        ASSERT_EQ(ReadF(Q), OK) << 396 + extra << " bytes";
        EXPECT_EQ(Q.front, 0);
        EXPECT_EQ(Q.rear, 99);
        EXPECT_EQ(EnQueue(Q, 1), ERROR) << "a full queue";
        EXPECT_EQ(Q.base[98], 98);
    }
}

// Loading 100 elements would need the slot the queue keeps free, and more
// would run past the block: the file is refused and the queue kept.
TEST_F(DataFile, RefusesHundredOrMoreElementsKeepingQueue) {
    Fill({10, 20, 30});
    int e;
    DeQueue(Q, e);
    Q.base[3] = -99; // a slot outside the queue
    for (int n : {100, 101, 150}) {
        WriteBytes(Counting(n));
        EXPECT_EQ(Output([&] { EXPECT_EQ(ReadF(Q), ERROR); }), "") << n << " elements";
        EXPECT_EQ(Q.front, 1);
        EXPECT_EQ(Q.rear, 3);
        EXPECT_EQ(Q.base[0], 10);
        EXPECT_EQ(Q.base[3], -99);
    }
}

TEST_F(DataFile, AbsentFileReportedAndQueueKept) {
    Fill({1, 2});
    EXPECT_EQ(Output([&] { EXPECT_EQ(ReadF(Q), ERROR); }), "FILE OPEN ERROR\n");
    EXPECT_EQ(Elements(), (std::vector<int>{1, 2}));
}

TEST_F(DataFile, FolderNamedDataDatRefusedForLoadAndSave) {
    fs::create_directory("data.dat");
    Fill({1, 2});
    EXPECT_EQ(Output([&] { EXPECT_EQ(ReadF(Q), ERROR); }), "FILE OPEN ERROR\n");
    EXPECT_EQ(Elements(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Output([&] { EXPECT_EQ(SaveFile(Q), ERROR); }), "File open error\n");
    EXPECT_TRUE(fs::is_directory("data.dat"));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 1) << "nothing left beside it";
}

// A name goes into a message with its control characters shown as '?', a
// long one cut short before a whole character.
TEST_F(DataFile, NameShownWithoutControlCharacters) {
    const struct {
        std::string name, shown;
    } rows[] = {{"a\x1b[2Jb\nc\x7f", "a?[2Jb?c?"},
                {"我的队列.dat", "我的队列.dat"},
                {std::string(4090, 'x') + "队列", std::string(4090, 'x') + "..."}};
    for (const auto &row : rows) {
        queue_file = row.name.c_str();
        EXPECT_EQ(QueueFileName(), row.shown) << row.name;
    }
    queue_file = QUEUE_FILE;
}

TEST_F(DataFile, NoQueueTouchesNoFile) {
    DestroyQueue(Q);
    EXPECT_EQ(Output([&] { EXPECT_EQ(SaveFile(Q), INFEASIBLE); }), "");
    EXPECT_EQ(Output([&] { EXPECT_EQ(ReadF(Q), INFEASIBLE); }), "") << "no open attempted";
    EXPECT_TRUE(fs::is_empty("."));
}

} // namespace
