// Checks the last sheet of a worksheet file, for checks that drive the program from outside:
//   worksheet_check FILE SHEETS COUNT RANGE single|chained
#include "worksheet_reader.h"

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char* argv[])
{
    using namespace tallymere;
    if (argc != 6) {
        std::cerr << "usage: worksheet_check FILE SHEETS COUNT RANGE single|chained\n";
        return 2;
    }
    try {
        const auto sheets = testing::readWorksheets(testing::fileBytes(argv[1]));
        const auto mode = std::string(argv[5]) == "chained" ? DifficultyMode::ChainedSteps
                                                            : DifficultyMode::SingleStep;
        std::string fault = sheets.size() == std::stoul(argv[2]) ? "" : "wrong number of sheets";
        if (fault.empty()) {
            fault = testing::layoutFault(sheets.back(), std::stoi(argv[3]), mode);
        }
        if (fault.empty()) {
            fault = testing::rangeFault(sheets.back(), std::stod(argv[4]), mode);
        }
        if (!fault.empty()) {
            std::cerr << argv[1] << ": " << fault << '\n';
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
