// Every outcome of an append through the real file code: each system call fails in turn with the
// system's own codes, the file grows behind the run, another program holds it, real faults.
#include "file_faults.h"
#include "fixtures.h"
#include "messages.h"
#include "sheet_oracle.h"
#include "system_file.h"

#include <gtest/gtest.h>
#include <map>

namespace tallymere::testing {

std::string toldBeforeWriting(FileFault fault)
{
    using enum FileFault;
    const std::string moveIt = "请把这个文件改名或移走，本程序会新建一个“口算题.doc”",
                      saveAsText = moveIt +
                                   "；或者把它另存为纯文本：保存类型选“纯文本”，编码选“简体"
                                   "中文(GB2312)”，文件名连同英文引号输入\"口算题.doc\"，"
                                   "否则Word会把它存成.txt文件。";
    // What happened, and what to do.
    // clang-format off
    const std::map<FileFault, std::pair<std::string, std::string>> words = {
        {NoPermission, {"没有写入权限", "请把本程序复制到“桌面”或“文档”，从那里运行。"}},
        {ReadOnlyFile, {"文件带有“只读”标记", moveIt + "；或者在它的“属性”里去掉“只读”，再按“生成Word”。"}},
        {ReadOnlyDisk, {"所在的磁盘只能读取", "请把本程序复制到“桌面”或“文档”，从那里运行。"}},
        {FolderMissing, {"所在的文件夹不存在", "请把本程序放进一个文件夹，从那里运行。"}},
        {FolderInTheWay, {"同名的文件夹占用了这个位置", "请把名叫“口算题.doc”的文件夹改名或移走，再按“生成Word”。"}},
        {DiskFull, {"磁盘已满", "请删除一些不需要的文件，再按“生成Word”。"}},
        {QuotaUsed, {"磁盘配额已用完", "请删除一些不需要的文件，再按“生成Word”。"}},
        {TooLarge, {"文件已达到允许的最大长度", moveIt + "。"}},
        {InUse, {"文件正被其他程序使用", "请在Word或WPS里关闭“口算题.doc”，再按“生成Word”。"}},
        {NotAFile, {"它不是普通文件", moveIt + "。"}},
        {WordProcessorDocument, {"它已被Word、WPS或LibreOffice另存为文档格式，加在后面的练习打开时看不到", saveAsText}},
        {UnicodeText, {"它已被另存为Unicode文本，加在后面的练习打开时会是乱码", saveAsText}},
    };
    // clang-format on
    const auto& [happened, toDo] = words.at(fault);
    return "”：" + happened + "。这次没有写入任何内容。" + toDo;
}

namespace {

using namespace std::literals;
using enum FileFault;

const std::string earlier = sheetOpening, part = sheet.substr(0, 5),
                  cutUtf8 = "\r\n" + std::string(61, '-') + "口"; // the head ends inside 口

struct TestClock final : Clock {
    TimePoint now() override { return time; }
    void sleepFor(std::chrono::steady_clock::duration duration) override { time += duration; }
    TimePoint time;
};

// clang-format off
std::vector<Outcome> outcomes()
{
    std::vector<Outcome> rows = {
        {"appended_after_a_sheet", earlier, earlier + sheet, ""},
        {"first_sheet", {}, sheet, ""},
        {"open_fails", earlier, earlier, toldBeforeWriting(NoPermission), "o", accessDenied},
        {"lock_fails", earlier, earlier, "。这次没有写入任何内容。请再按一次", "l", ioError},
        {"lock_of_a_file_it_made_fails", {}, {}, "。没有留下文件。请再按一次", "l", ioError},
        {"size_of_a_file_it_made_fails", {}, {}, "。没有留下文件。", "s", ioError},
        {"head_of_a_file_it_made_fails", {}, {}, "。没有留下文件。", "h", ioError},
        {"removal_of_a_file_it_made_fails", {}, "", "。留下了一个空文件", "ld", ioError},
        {"held_file_it_made", {}, "", toldBeforeWriting(InUse), "", 0, 0, ' ', false, 3600ms},
        {"made_where_it_cannot_be_made", earlier, earlier + sheet, "", "x", accessDenied},
        {"write_fails_part_way", earlier, earlier, "失败：磁盘已满。文件保持原样。请删除一些不需要的文件，再按“生成Word”。",
            "w", diskFull, 5},
        {"write_writes_nothing", earlier, earlier, "。这次没有写入任何内容。请再按一次", "w", 0},
        {"first_write_fails_part_way", {}, {}, "磁盘已满。没有留下文件。", "w", diskFull, 5},
        {"flush_fails", earlier, earlier, "。文件保持原样。", "f", ioError},
        {"cut_back_fails", earlier, earlier + part, "磁盘已满。未能撤销写入了一半的内容", "wt", diskFull, 5},
        {"recount_fails", earlier, earlier + part, "磁盘已满。未能撤销写入了一半的内容", "wr", diskFull, 5},
        {"removal_fails", {}, "", "磁盘已满。留下了一个空文件", "wd", diskFull, 5},
        {"close_fails_after_the_flush", earlier, earlier + sheet, "", "c", ioError},
        {"grows_in_the_write", earlier, earlier + line + part, "未能撤销写入了一半", "w", diskFull, 5, 'w'},
        {"grows_in_a_write_of_nothing", earlier, earlier + line, "磁盘已满。这次没有写入任何内容。", "w", diskFull, 0, 'w'},
        {"grows_in_the_flush", earlier, earlier + sheet + line, "整张练习已写入文件", "f", diskFull, 0, 'f'},
        {"grows_as_it_is_made", {}, line, "磁盘已满。文件保持原样。", "w", diskFull, 5, 'o'},
        {"made_anew_after_its_maker_removed_it", {}, sheet, "", "n"},
        {"held_for_a_moment", earlier, earlier + sheet, "", "", 0, 0, ' ', false, 1000ms},
        {"held_until_just_in_time", earlier, earlier + sheet, "", "", 0, 0, ' ', false, 3400ms},
        {"held_too_long", earlier, earlier, toldBeforeWriting(InUse), "", 0, 0, ' ', false, 3600ms},
        {"saved_as_word_97_2003", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1",
            toldBeforeWriting(WordProcessorDocument)},
        {"saved_as_utf16", "\xFF\xFE\x0D", "\xFF\xFE\x0D", toldBeforeWriting(UnicodeText)},
        // Notepad's UTF-8: a GBK sheet after it would turn every earlier motto to garbage.
        {"saved_as_utf8", "\r\n每天5分钟", "\r\n每天5分钟", toldBeforeWriting(UnicodeText)},
        {"saved_as_utf8_cut_at_the_head", cutUtf8, cutUtf8, toldBeforeWriting(UnicodeText)},
        {.name = "folder_in_the_files_place", .told = toldBeforeWriting(FolderInTheWay),
            .impose = [](const fs::path& file) -> Lift {
                fs::create_directory(file);
                return [file] { fs::remove(file); };
            }},
        {.name = "disk_full_part_way", .before = earlier, .after = earlier,
            .told = "”失败：磁盘已满。文件保持原样。请删除一些不需要的文件", .fillsTheDisk = true},
    };
    for (Outcome& row : systemOutcomes(earlier)) {
        rows.push_back(std::move(row));
    }
    return rows;
}
// clang-format on

} // namespace

// A failing row says its name.
void PrintTo(const Outcome& row, std::ostream* out)
{
    *out << row.name;
}

namespace {

class AppendOutcomeTest : public ::testing::TestWithParam<Outcome> {};

TEST_P(AppendOutcomeTest, TellsTheUserAndLeavesTheFileAsItSays)
{
    const Outcome& row = GetParam();
    const char* smallDisk = std::getenv("TALLYMERE_SMALL_DISK");
    if (row.fillsTheDisk && smallDisk == nullptr) {
        GTEST_SKIP() << "needs the small disk that tests/generation/small_disk.sh mounts";
    }
    const TempFolder folder(row.fillsTheDisk ? smallDisk : fs::temp_directory_path());
    if (row.before) {
        std::ofstream(folder.worksheet(), std::ios::binary) << *row.before;
    }
    const Lift lift = row.impose != nullptr ? row.impose(folder.worksheet()) : [] {};
    if (row.permission && std::ofstream(folder.worksheet(), std::ios::app)) {
        lift();
        GTEST_SKIP() << "can write where permissions forbid, a power small_disk.sh drops";
    }
    TestClock clock;
    std::optional<FileFailure> failure;
    { // the file is closed, as the program closes it, before the folder is looked at
        const auto calls = faultyCalls(row, clock, folder.worksheet());
        PlatformFile file(*calls);
        failure = appendSheet(file, clock, worksheetPath(folder.text()),
                              row.fillsTheDisk ? std::string(20000, '7') : sheet);
    }
    lift();
    const std::string told =
        failure ? form::fileMessage(*failure) : std::string(form::completionMessage);
    EXPECT_NE(told.find(row.told.empty() ? form::completionMessage : row.told), told.npos) << told;
    // A message shows the file as the system names it: on Windows with "\" alone.
    const std::string path = pathText(fs::path(folder.worksheet()).make_preferred());
    EXPECT_TRUE(!failure || told.find("“" + path + "”") != told.npos) << told;
    const Bytes after =
        fs::exists(folder.worksheet()) ? Bytes(fileBytes(folder.worksheet())) : Bytes();
    EXPECT_EQ(after, row.after);
    // A file that another program lets go of is taken one short step later.
    EXPECT_TRUE(failure || clock.now() <= Clock::TimePoint(row.heldFor + 10ms));
}

INSTANTIATE_TEST_SUITE_P(Rows, AppendOutcomeTest, ::testing::ValuesIn(outcomes()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tallymere::testing
