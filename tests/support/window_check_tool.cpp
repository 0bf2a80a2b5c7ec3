// window_check_tool layout DPI: "NAME INDEX X Y", each control's middle in window pixels;
// window_check_tool sheet FILE COUNT RANGE single|chained: the oracle's verdict.
#include "fixtures.h"
#include "form_table.h"
#include "sheet_oracle.h"

#include <iostream>

int main(int argc, char* argv[])
{
    using namespace tallymere;
    const std::string task = argc > 1 ? argv[1] : "";
    if (task == "layout" && argc == 3) {
        for (const form::Control& control : form::controls) {
            const form::Twips rect = form::windowTwips(control);
            std::cout << control.name << ' ' << control.index << ' '
                      << form::pixels(rect.left + rect.width / 2, std::stoi(argv[2])) << ' '
                      << form::pixels(rect.top + rect.height / 2, std::stoi(argv[2])) << '\n';
        }
        return 0;
    }
    if (task != "sheet" || argc != 6) {
        return 2;
    }
    const auto mode = argv[5][0] == 'c' ? DifficultyMode::ChainedSteps : DifficultyMode::SingleStep;
    const std::string fault = testing::worksheetFault(
        testing::fileBytes(argv[2]), {std::stoi(argv[3]), std::stod(argv[4]), mode});
    std::cerr << fault << (fault.empty() ? "" : "\n");
    return fault.empty() ? 0 : 1;
}
