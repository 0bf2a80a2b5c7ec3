// Each outcome of an append through the real file code: calls that fail, growth, holders, faults.
#include "file_faults.h"
#include "fixtures.h"
#include "sheet_oracle.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>

namespace tallymere::testing {

namespace {

using namespace std::literals;

const std::string earlier = sheetOpening, part = sheet.substr(0, 5);

// A wait that would never end fails the row at once: no row waits a minute in 10 ms steps.
struct TestClock final : Clock {
    TimePoint now() override { return time; }
    void sleepFor(std::chrono::steady_clock::duration duration) override
    {
        time += duration;
        if (++sleeps > 6000) {
            throw std::runtime_error("an endless wait");
        }
    }
    TimePoint time;
    int sleeps = 0;
};

// A file saved again as a word processor or an editor saves it: refused, and left as it is.
Outcome savedAs(const char* name, std::string head, FileFault fault)
{
    return {.name = name, .before = head, .step = Opening, .fault = fault, .after = head};
}

// clang-format off
std::vector<Outcome> outcomes()
{
    const Inject partWritten{Write, diskFull, 5};
    std::vector<Outcome> rows = {
        {.name = "first_sheet", .after = sheet},
        {.name = "lock_fails", .before = earlier, .inject = {{Lock, ioError}}, .step = Opening, .fault = Other, .holds = NothingOfTheSheet, .after = earlier},
        {.name = "lock_of_a_file_it_made_fails", .inject = {{Lock, ioError}}, .step = Opening, .fault = Other, .holds = NoFile},
        {.name = "size_of_a_file_it_made_fails", .inject = {{Size, ioError}}, .step = Opening, .fault = Other, .holds = NoFile},
        {.name = "head_of_a_file_it_made_fails", .inject = {{Head, ioError}}, .step = Opening, .fault = Other, .holds = NoFile},
        {.name = "removal_of_a_file_it_made_fails", .inject = {{Lock, ioError}, {Remove, ioError}}, .step = Opening, .fault = Other, .holds = AnEmptyFile, .after = ""},
        // Another program may write to a new file before its maker does; its bytes stay.
        {.name = "file_it_made_written_by_another", .inject = {{Lock, ioError}}, .grows = Open, .step = Opening, .fault = Other, .holds = NothingOfTheSheet, .after = line},
        {.name = "held_file_it_made", .inject = heldFor(3600ms), .step = Opening, .fault = InUse, .holds = NothingOfTheSheet, .after = ""},
        {.name = "made_where_it_cannot_be_made", .before = earlier, .inject = {{OpenNew, accessDenied}}, .after = earlier + sheet},
        {.name = "write_fails_part_way", .before = earlier, .inject = {partWritten}, .step = Writing, .fault = DiskFull, .holds = WhatItHeld, .after = earlier},
        {.name = "write_writes_nothing", .before = earlier, .inject = {{Write, 0}}, .step = Writing, .fault = Other, .holds = NothingOfTheSheet, .after = earlier},
        {.name = "first_write_fails_part_way", .inject = {partWritten}, .step = Writing, .fault = DiskFull, .holds = NoFile},
        {.name = "flush_fails", .before = earlier, .inject = {{Flush, ioError}}, .step = Writing, .fault = Other, .holds = WhatItHeld, .after = earlier},
        {.name = "cut_back_fails", .before = earlier, .inject = {partWritten, {Truncate, ioError}}, .step = Writing, .fault = DiskFull, .holds = PartOfTheSheet, .after = earlier + part},
        {.name = "recount_fails", .before = earlier, .inject = {partWritten, {SizeAfter, ioError}}, .step = Writing, .fault = DiskFull, .holds = PartOfTheSheet, .after = earlier + part},
        {.name = "removal_fails", .inject = {partWritten, {Remove, ioError}}, .step = Writing, .fault = DiskFull, .holds = AnEmptyFile, .after = ""},
        {.name = "close_fails_after_the_flush", .before = earlier, .inject = {{Close, ioError}}, .after = earlier + sheet},
        {.name = "grows_in_the_write", .before = earlier, .inject = {partWritten}, .grows = Write, .step = Writing, .fault = DiskFull, .holds = PartOfTheSheet, .after = earlier + line + part},
        {.name = "grows_in_a_write_of_nothing", .before = earlier, .inject = {{Write, diskFull}}, .grows = Write, .step = Writing, .fault = DiskFull, .holds = NothingOfTheSheet, .after = earlier + line},
        {.name = "grows_in_the_flush", .before = earlier, .inject = {{Flush, diskFull}}, .grows = Flush, .step = Writing, .fault = DiskFull, .holds = TheWholeSheet, .after = earlier + sheet + line},
        {.name = "grows_as_it_is_made", .inject = {partWritten}, .grows = Open, .step = Writing, .fault = DiskFull, .holds = WhatItHeld, .after = line},
        {.name = "made_anew_after_its_maker_removed_it", .makerRemoves = true, .after = sheet},
        {.name = "held_until_just_in_time", .before = earlier, .inject = heldFor(3400ms), .after = earlier + sheet},
        {.name = "held_too_long", .before = earlier, .inject = heldFor(3600ms), .step = Opening, .fault = InUse, .holds = NothingOfTheSheet, .after = earlier},
        savedAs("saved_as_word_97_2003", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", WordProcessorDocument),
        savedAs("saved_as_docx_or_odt", "PK\x03\x04\x14\x00\x06\x00"s, WordProcessorDocument),
        savedAs("saved_as_rtf", "{\\rtf1\\ansi", WordProcessorDocument),
        savedAs("saved_as_utf16", "\xFF\xFE\x0D\x00"s, UnicodeText),
        savedAs("saved_as_utf16_big_endian", "\xFE\xFF\x00\x0D"s, UnicodeText),
        // Notepad's UTF-8: a GBK sheet after it would turn every earlier motto to garbage.
        savedAs("saved_as_utf8", "\r\n每天5分钟", UnicodeText),
        savedAs("saved_as_utf8_cut_at_the_head", "\r\n" + std::string(61, '-') + "口", UnicodeText), // the head ends inside 口
        {.name = "folder_in_the_files_place", .impose = [](const fs::path& file) -> Lift { fs::create_directory(file); return [file] { fs::remove(file); }; }, .step = Opening, .fault = FolderInTheWay, .holds = NothingOfTheSheet},
        {.name = "read_only_file", .before = earlier, .impose = unwritable, .permission = true, .step = Opening, .fault = ReadOnlyFile, .holds = NothingOfTheSheet, .after = earlier},
        {.name = "read_by_another_process", .before = earlier, .impose = readByAnotherProcess, .step = Opening, .fault = InUse, .holds = NothingOfTheSheet, .after = earlier},
        {.name = "disk_full_part_way", .before = earlier, .fillsTheDisk = true, .step = Writing, .fault = DiskFull, .holds = WhatItHeld, .after = earlier},
    };
    std::ranges::move(systemOutcomes(earlier), std::back_inserter(rows));
    return rows;
}
// clang-format on

class AppendOutcomeTest : public ::testing::TestWithParam<Outcome> {};

TEST_P(AppendOutcomeTest, LeavesTheFileAsTheOutcomeSays)
{
    const Outcome& row = GetParam();
    const char* smallDisk = std::getenv("TALLYMERE_SMALL_DISK");
    if ((row.fillsTheDisk || row.permission) && smallDisk == nullptr) {
        GTEST_SKIP() << "needs small_disk.sh: its small disk, and no power over permissions";
    }
    const TempFolder folder(row.fillsTheDisk ? smallDisk : fs::temp_directory_path());
    if (row.before) {
        std::ofstream(folder.worksheet(), std::ios::binary) << *row.before;
    }
    const Lift lift = row.impose != nullptr ? row.impose(folder.worksheet()) : [] {};
    TestClock clock;
    const auto append = [&] { // the file is closed, as the program closes it, before the check
        const auto calls =
            faultyCalls(std::make_shared<Plan>(Plan{row, clock, folder.worksheet()}));
        PlatformFile file(*calls);
        return appendSheet(file, clock, worksheetPath(folder.text()),
                           row.fillsTheDisk ? std::string(20000, '7') : sheet);
    };
    const std::optional<FileFailure> failure = row.runIn ? row.runIn(append) : append();
    lift();
    ASSERT_EQ(failure.has_value(), row.fault.has_value());
    if (failure) {
        EXPECT_EQ(std::tuple(failure->step, failure->fault, failure->holds),
                  std::tuple(row.step, *row.fault, row.holds));
        // The file as the system names it, and the system's own words where ours are missing.
        EXPECT_EQ(failure->path, pathText(fs::path(folder.worksheet()).make_preferred()));
        EXPECT_EQ(failure->systemWords.empty(), failure->fault != Other);
    }
    EXPECT_EQ(fs::exists(folder.worksheet()) ? Bytes(fileBytes(folder.worksheet())) : Bytes(),
              row.after);
    // A file that another program lets go of is taken one short step later.
    auto letGo = 0ms;
    for (const Inject& held : row.inject) {
        letGo = std::max(letGo, held.until);
    }
    EXPECT_TRUE(failure || clock.now() <= Clock::TimePoint(letGo + 10ms));
}

// Each error code the system's table has words for, through the real table.
TEST(FaultOf, NamesEveryCodeWithWordsOfItsOwn)
{
    const PlatformFile file;
    for (const auto& [code, fault] : systemFaults()) {
        EXPECT_EQ(file.faultOf({code}), fault) << code;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, AppendOutcomeTest, ::testing::ValuesIn(outcomes()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tallymere::testing
