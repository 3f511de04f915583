#include "image_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

TEST(ImageFile, OpenModesCreateOnlyWhereAllowed) {
    TempDir dir;
    ImageFile file;
    const std::string missing = dir.Path("missing.bin");
    EXPECT_FALSE(OpenImage(&file, missing.c_str(), ImageOpen::ReadExisting));
    EXPECT_FALSE(OpenImage(&file, missing.c_str(), ImageOpen::Watch));
    EXPECT_FALSE(OpenImage(&file, missing.c_str(), ImageOpen::WriteExisting));
    EXPECT_FALSE(std::filesystem::exists(missing));

    ASSERT_TRUE(OpenImage(&file, missing.c_str(), ImageOpen::WriteKeep));
    EXPECT_EQ(ImageSize(&file), 0u);
    CloseImage(&file);
    EXPECT_TRUE(std::filesystem::exists(missing));
    EXPECT_FALSE(IsImageOpen(&file));
    EXPECT_TRUE(OpenImage(&file, missing.c_str(), ImageOpen::WriteExisting));
}

TEST(ImageFile, AFileCanBeCreatedOnlyWhereNothingIsAndTheFolderExists) {
    TempDir dir;
    WriteFileBytes(dir.Path("there.bin"), {1});
    EXPECT_TRUE(CanCreateImage(dir.Path("new.bin").c_str()));
    EXPECT_FALSE(CanCreateImage(dir.Path("there.bin").c_str()));
    EXPECT_FALSE(CanCreateImage(dir.Path("").c_str()));
    EXPECT_FALSE(CanCreateImage(dir.Path("nofolder/new.bin").c_str()));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("new.bin")));
}

TEST(ImageFile, WriteKeepsTheRestOfAnExistingFileAndExtendsPastItsEnd) {
    TempDir dir;
    std::string path = dir.Path("out.bin");
    WriteFileBytes(path, std::vector<std::uint8_t>(16, 0xAA));
    {
        ImageFile file;
        ASSERT_TRUE(OpenImage(&file, path.c_str(), ImageOpen::WriteKeep));
        const std::uint8_t middle[2] = {1, 2};
        EXPECT_TRUE(WriteImageAt(&file, 4, middle, 2));
        const std::uint8_t tail[2] = {3, 4};
        EXPECT_TRUE(WriteImageAt(&file, 20, tail, 2));
    }
    std::vector<std::uint8_t> want(22, 0xAA);
    want[4] = 1;
    want[5] = 2;
    std::fill(want.begin() + 16, want.begin() + 20, 0);
    want[20] = 3;
    want[21] = 4;
    EXPECT_EQ(ReadFileBytes(path), want);
}

TEST(ImageFile, ReadStopsAtTheEndAndLeavesTheRestOfTheBuffer) {
    TempDir dir;
    std::string path = dir.Path("in.bin");
    WriteFileBytes(path, CountingBytes(10));
    ImageFile file;
    ASSERT_TRUE(OpenImage(&file, path.c_str(), ImageOpen::ReadExisting));
    EXPECT_EQ(ImageSize(&file), 10u);
    std::uint8_t buffer[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(ReadImageAt(&file, 6, buffer, 8), 4u);
    EXPECT_EQ(buffer[0], 6);
    EXPECT_EQ(buffer[3], 9);
    EXPECT_EQ(buffer[4], 0xEE);
    EXPECT_EQ(ReadImageAt(&file, 0xFFFFFFFF0ull, buffer, 8), 0u);
}

TEST(ImageFile, AWatchedFileCanStillBeRewrittenInPlace) {
    TempDir dir;
    std::string path = dir.Path("edited.bin");
    WriteFileBytes(path, CountingBytes(4));
    ImageFile watched;
    ASSERT_TRUE(OpenImage(&watched, path.c_str(), ImageOpen::Watch));

    std::FILE* editor = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(editor, nullptr);
    std::fputc(0x77, editor);
    std::fclose(editor);

    std::uint8_t first = 0;
    EXPECT_EQ(ReadImageAt(&watched, 0, &first, 1), 1u);
    EXPECT_EQ(first, 0x77);
}

#ifndef _WIN32
TEST(ImageFile, AFullDiskIsAFailedWrite) {
    ImageFile file;
    ASSERT_TRUE(OpenImage(&file, "/dev/full", ImageOpen::WriteKeep));
    const std::uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_FALSE(WriteImageAt(&file, 0, bytes, sizeof bytes));
}
#endif
