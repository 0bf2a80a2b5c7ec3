#include "fixtures.h"
#include "leading_number.h"
#include "messages.h"
#include "run.h"
#include "sheet_oracle.h"
#include "worksheet.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace tallymere {
namespace {

constexpr auto single = DifficultyMode::SingleStep;
constexpr auto chained = DifficultyMode::ChainedSteps;

// Texts that a general number parser (strtod, std::stod, QString::toDouble) reads otherwise.
TEST(LeadingNumber, ReadsOnlyTheNumberAtTheStart)
{
    // clang-format off
    const std::pair<std::string, double> readings[] = {
        {"15以内", 15}, {"-5", -5}, {"1e5", 1}, {"0x10", 0}, {"inf", 0}, {"nan", 0}, {"1 000", 1},
        {".5", 0.5}, {"+-5", 0}, {"\u3000１２", 12}, {"－３", -3}, {"5。5", 5}, {"\u200B5", 0},
        {"\u00A0\u2009\u205F20", 20}, {std::string(400, '9'), HUGE_VAL}};
    // clang-format on
    for (const auto& [text, value] : readings) {
        EXPECT_EQ(leadingNumber(text), value) << text;
    }
}

// Every problem within 6 turns up (48 of one step and 336 of two, counted by hand), and no other:
// a bound one too narrow loses some, one too wide brings more.
TEST(DrawProblem, DrawsEveryProblemWithinTheRange)
{
    for (const auto mode : {single, chained}) {
        EngineRandom random(20101113);
        std::set<std::string> cells;
        for (int i = 0; i < 100000; ++i) {
            cells.insert(formatCell(1, drawProblem(mode, 6, random), mode));
        }
        EXPECT_EQ(cells.size(), mode == single ? 48u : 336u);
    }
}

// Every message whole, each failure opening with its own words. The note at the window's foot
// warns of the temporary folder, where Windows runs a program opened inside a .zip.
TEST(Messages, SayWhatHappenedWhatTheFileHoldsAndWhatToDo)
{
    using enum FileFault;
    using enum FileHolds;
    using enum FileStep;
    using enum SettingsFault;
    const auto file = [](FileStep step, FileFault fault, FileHolds holds, const char* words = "") {
        return form::fileMessage({"D:\\口算题.doc", step, fault, words, holds});
    };
    const auto settings = [](SettingsFault fault, const form::Control& option = form::startOption) {
        return form::settingsMessage(fault, option);
    };
    // clang-format off
    const std::string moveIt = "请把这个文件改名或移走，本程序会新建一个“口算题.doc”",
        saveAsText = "；或者把它另存为纯文本：保存类型选“纯文本”，编码选“简体中文(GB2312)”，文件名连同英文引号输入\"口算题.doc\"，否则Word会把它存成.txt文件。",
        copyIt = "请把本程序复制到“桌面”或“文档”，从那里运行。", tryAgain = "请再按一次“生成Word”；如果还是不行，" + copyIt,
        freeSpace = "请删除一些不需要的文件，再按“生成Word”。", temp = "C:\\Users\\老师\\AppData\\Local\\Temp\\",
        warning = "程序在临时文件夹里，练习会丢失，请先解压到桌面";
    const std::pair<std::string, std::string> messages[] = {
        {file(Opening, NoPermission, NothingOfTheSheet), "无法打开文件“D:\\口算题.doc”：没有写入权限。这次没有写入任何内容。" + copyIt},
        {file(Opening, ReadOnlyFile, NothingOfTheSheet), "无法打开文件“D:\\口算题.doc”：文件带有“只读”标记。这次没有写入任何内容。" + moveIt + "；或者在它的“属性”里去掉“只读”，再按“生成Word”。"},
        {file(Opening, ReadOnlyDisk, NothingOfTheSheet), "无法打开文件“D:\\口算题.doc”：所在的磁盘只能读取。这次没有写入任何内容。" + copyIt},
        {file(Opening, FolderMissing, NothingOfTheSheet), "无法打开文件“D:\\口算题.doc”：所在的文件夹不存在。这次没有写入任何内容。请把本程序放进一个文件夹，从那里运行。"},
        {file(Opening, FolderInTheWay, NothingOfTheSheet), "无法打开文件“D:\\口算题.doc”：同名的文件夹占用了这个位置。这次没有写入任何内容。请把名叫“口算题.doc”的文件夹改名或移走，再按“生成Word”。"},
        {file(Writing, DiskFull, WhatItHeld), "写入文件“D:\\口算题.doc”失败：磁盘已满。文件保持原样。" + freeSpace},
        {file(Writing, QuotaUsed, NoFile), "写入文件“D:\\口算题.doc”失败：磁盘配额已用完。没有留下文件。" + freeSpace},
        {file(Writing, TooLarge, AnEmptyFile), "写入文件“D:\\口算题.doc”失败：文件已达到允许的最大长度。留下了一个空文件，可以把它删除。" + moveIt + "。"},
        {file(Opening, InUse, NothingOfTheSheet), "无法打开文件“D:\\口算题.doc”：文件正被其他程序使用。这次没有写入任何内容。请在Word或WPS里关闭“口算题.doc”，再按“生成Word”。"},
        {file(Opening, NotAFile, NothingOfTheSheet), "无法打开文件“D:\\口算题.doc”：它不是普通文件。这次没有写入任何内容。" + moveIt + "。"},
        {file(Opening, WordProcessorDocument, NothingOfTheSheet), "无法使用文件“D:\\口算题.doc”：它已被Word、WPS或LibreOffice另存为文档格式，加在后面的练习打开时看不到。这次没有写入任何内容。" + moveIt + saveAsText},
        {file(Opening, UnicodeText, NothingOfTheSheet), "无法使用文件“D:\\口算题.doc”：它已被另存为Unicode文本，加在后面的练习打开时会是乱码。这次没有写入任何内容。" + moveIt + saveAsText},
        {file(Opening, Other, NoFile, "设备未就绪"), "无法打开文件“D:\\口算题.doc”：设备未就绪。没有留下文件。" + tryAgain},
        {file(Writing, Other, PartOfTheSheet, "Input/output error"), "写入文件“D:\\口算题.doc”失败：Input/output error。未能撤销写入了一半的内容：请打开文件，删掉末尾那张不完整的练习。" + tryAgain},
        {file(Writing, DiskFull, TheWholeSheet), "写入文件“D:\\口算题.doc”失败：磁盘已满。整张练习已写入文件，但未能确认它已保存到磁盘上：请打开文件看看最后一张练习。" + freeSpace},
        {settings(NoRange), "请输入1或更大的口算范围，例如10。"},
        {settings(RangeTooLarge), "口算范围太大：选“加减”时最大是1000000。请输入1000000或更小的数。"},
        {settings(RangeTooLarge, form::controlNamed(form::modeButtons, 1)), "口算范围太大：选“连加减”时最大是9999。请输入9999或更小的数。"},
        {settings(NoCount), "请输入题数：一次可以生成1到999道题。"},
        {settings(TooManyProblems), "题数太多：一次最多生成999道题。请输入999或更小的题数。"},
        {form::outOfMemoryMessage(), "内存不足，未能生成练习。请关闭一些别的程序，再按“生成Word”。"},
        {form::sheetsNote(temp + "Temp1_口算.zip", temp), warning},
        {form::sheetsNote("c:\\users\\老师\\appdata\\local\\TEMP", temp), warning},
        {form::sheetsNote("C:\\Users\\老师\\AppData\\Local\\Temp2", temp), "练习保存在：C:\\Users\\老师\\AppData\\Local\\Temp2\\口算题.doc"},
        {form::sheetsNote("/tmp/x", "/tmp"), warning},
        {form::sheetsNote("/home/x", "/tmp"), "练习保存在：/home/x/口算题.doc"},
        {form::sheetsNote("/x", ""), "练习保存在：/x/口算题.doc"},
    };
    // clang-format on
    for (const auto& [told, expected] : messages) {
        EXPECT_EQ(told, expected);
    }
}

// Every run appends one whole sheet within the whole part of the range, up to the largest that
// fits the cells, or writes nothing. A second process with the same settings draws another drill.
TEST(Run, EverySettingAppendsAWholeSheetOrNothing)
{
    const testing::TempFolder folder;
    EngineRandom random;
    // On Windows through the long-path prefix, after which "/" is no separator.
    const bool windows = std::filesystem::path::preferred_separator == '\\';
    const auto run = [&](const WorksheetSettings& settings, RandomSource& source) {
        generateWorksheet(settings, (windows ? "\\\\?\\" : "") + folder.text(), source);
        return testing::fileBytes(folder.worksheet());
    };
    const char* counts[] = {"8", "1", "10", "10.5", "999"};
    // clang-format off
    const std::tuple<const char*, double, DifficultyMode> ranges[] = {{"10", 10, single},
        {"10", 10, chained}, {"1", 1, single}, {"1", 1, chained}, {"10.5", 10, chained},
        {"１０", 10, single}, {"1000000", 1000000, single}, {"9999", 9999, chained}};
    using enum SettingsFault;
    const std::tuple<std::string, const char*, DifficultyMode, SettingsFault> refusals[] = {
        {"", "10", single, NoRange}, {"abc", "10", single, NoRange}, {"二十", "10", single, NoRange},
        {"0.9", "10", single, NoRange}, {"-0", "10", single, NoRange}, {"-10", "10", chained, NoRange},
        {"-" + std::string(400, '9'), "10", single, NoRange},
        {"1000001", "10", single, RangeTooLarge}, {"10000", "10", chained, RangeTooLarge},
        {std::string(400, '9'), "10", single, RangeTooLarge},
        {"10", "", single, NoCount}, {"10", "0", single, NoCount}, {"10", "0.5", single, NoCount},
        {"10", "二十", chained, NoCount}, {"10", "-3", single, NoCount},
        {"10", "1000", single, TooManyProblems}};
    // clang-format on
    std::string before, first;
    for (const auto& [rangeText, range, mode] : ranges) {
        for (const char* count : counts) {
            const std::string after = run({rangeText, count, mode}, random);
            ASSERT_EQ(after.substr(0, before.size()), before);
            ASSERT_EQ(testing::worksheetFault(after.substr(before.size()),
                                              {std::atoi(count), range, mode}),
                      "")
                << "range " << rangeText << ", count " << count;
            before = after;
            first = first.empty() ? after : first;
        }
    }
    for (const auto& [rangeText, count, mode, fault] : refusals) {
        const RunResult result = generateWorksheet({rangeText, count, mode}, folder.text(), random);
        EXPECT_EQ(std::get<SettingsFault>(result), fault) << rangeText << " " << count;
    }
    EXPECT_EQ(testing::fileBytes(folder.worksheet()), before);
    EngineRandom secondProcess;
    EXPECT_NE(run({"10", "8", single}, secondProcess).substr(before.size()), first);
}

} // namespace
} // namespace tallymere
