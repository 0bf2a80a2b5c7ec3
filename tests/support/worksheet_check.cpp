// The oracle for checks that work a program from outside:
//   worksheet_check FILE SHEETS COUNT RANGE single|chained
#include "fixtures.h"
#include "sheet_oracle.h"

#include <iostream>

int main(int argc, char* argv[])
{
    using namespace tallymere;
    if (argc != 6) {
        return 2;
    }
    const auto mode = argv[5][0] == 'c' ? DifficultyMode::ChainedSteps : DifficultyMode::SingleStep;
    const std::string fault =
        testing::worksheetFault(testing::fileBytes(argv[1]), std::stoi(argv[2]),
                                {std::stoi(argv[3]), std::stod(argv[4]), mode});
    std::cerr << fault << (fault.empty() ? "" : "\n");
    return fault.empty() ? 0 : 1;
}
