// Where the form puts each control that the real-window check clicks or looks at, so that the
// check takes it from the form's own table:
//   form_geometry DPI   prints "NAME INDEX X Y", the middle of each control in window pixels
#include "form_table.h"

#include <cstdio>
#include <string>

int main(int argc, char* argv[])
{
    using namespace tallymere::form;
    const int dpi = argc > 1 ? std::stoi(argv[1]) : standardDpi;
    for (const Control& control : controls) {
        const Twips rect = windowTwips(control);
        std::printf("%.*s %d %d %d\n", static_cast<int>(control.name.size()), control.name.data(),
                    control.index, pixels(rect.left + rect.width / 2, dpi),
                    pixels(rect.top + rect.height / 2, dpi));
    }
}
