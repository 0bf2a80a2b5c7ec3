#pragma once

#include "problem.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>

// The one window, described as plain data so that every front-end builds the same form from it.
namespace tallymere::form {

enum class ControlKind { GroupBox, ComboBox, OptionButton, Label, PushButton };

// A rectangle in twips, from the top-left corner of the parent's client area or group box.
struct Twips {
    int left, top, width, height;
};

struct Control {
    std::string_view name;
    ControlKind kind;
    std::string_view parent; // empty for the window itself
    std::string_view text;
    Twips rect;
    int tabIndex;
    int index = 0; // tells the option buttons that share a name apart
    std::span<const std::string_view> choices = {}; // a combo box's list
    DifficultyMode mode = {};                       // what an option button selects
};

inline constexpr std::string_view windowName = "Form1";
inline constexpr std::string_view windowCaption = "Tallymere";
inline constexpr int clientWidth = 5400;
inline constexpr int clientHeight = 3255;

// The button of a message box, as a Chinese Windows words it.
inline constexpr std::string_view okCaption = "确定";

inline constexpr std::string_view rangeChoices[] = {"10", "20", "30", "50", "60", "70", "100"};
inline constexpr std::string_view countChoices[] = {"20", "30", "40", "50", "80", "100"};

inline constexpr std::string_view rangeBox = "Combo1";
inline constexpr std::string_view countBox = "Combo2";
inline constexpr std::string_view modeButtons = "Option1";
inline constexpr std::string_view generateButton = "Command1";
inline constexpr std::string_view quitButton = "Command2";
inline constexpr std::string_view noteLabel = "Label3";

using enum ControlKind;
using enum DifficultyMode;

// In TabIndex order. Label3 says where the sheets go, once the program knows its folder.
inline constexpr Control controls[] = {
    {"Frame1", GroupBox, "", "选择口算范围", {360, 240, 2055, 975}, 0},
    {"Combo1", ComboBox, "Frame1", "10", {240, 360, 975, 300}, 1, 0, rangeChoices},
    {"Label1", Label, "Frame1", "以内", {1320, 360, 615, 255}, 2},
    {"Frame2", GroupBox, "", "选择难度", {2520, 240, 2535, 975}, 3},
    {"Option1", OptionButton, "Frame2", "加减", {240, 360, 1095, 255}, 4, 0, {}, SingleStep},
    {"Option1", OptionButton, "Frame2", "连加减", {1320, 360, 1095, 255}, 5, 1, {}, ChainedSteps},
    {"Command1", PushButton, "", "生成Word", {3240, 1440, 1575, 495}, 6},
    {"Command2", PushButton, "", "退出", {3240, 2040, 1575, 495}, 7},
    {"Frame3", GroupBox, "", "选择题数", {360, 1320, 2055, 1215}, 8},
    {"Combo2", ComboBox, "Frame3", "100", {240, 480, 975, 300}, 9, 0, countChoices},
    {"Label2", Label, "Frame3", "道题", {1320, 480, 495, 375}, 10},
    {"Label3", Label, "", "", {0, 3000, 4335, 255}, 11},
    {"Label4", Label, "", "2010.11.13", {4440, 3000, 975, 255}, 12},
};

// Front-ends create the controls and chain their focus in table order: parents first, TabIndex up.
static_assert(std::is_sorted(std::begin(controls), std::end(controls),
                             [](const Control& a, const Control& b) {
                                 return a.tabIndex < b.tabIndex;
                             }));

// The control of that name (and index, for an option button); a wrong name does not compile.
consteval const Control& controlNamed(std::string_view name, int index = 0)
{
    for (const Control& control : controls) {
        if (control.name == name && control.index == index) {
            return control;
        }
    }
    throw "no such control"; // a compile error, since this runs only while compiling
}

// The option button checked at start.
inline constexpr const Control& startOption = controlNamed(modeButtons, 0);

// Where a control stands in the table, for front-ends that keep one widget for each.
constexpr std::size_t positionOf(const Control& control)
{
    return static_cast<std::size_t>(&control - std::begin(controls));
}

// The group box that holds a control, or nullptr for one that stands in the window itself.
const Control* groupOf(const Control& control);

// What a screen reader speaks for a control that takes focus: its group box's caption, then its
// own caption or, for a combo box, the label that completes its phrase.
std::string accessibleName(const Control& control);

// Where a control sits in the window's client area, for front-ends whose group boxes do not hold
// their controls.
Twips windowTwips(const Control& control);

// 1440 twips to the inch, so 15 to the pixel at 96 dots per inch; larger screens scale the whole
// form. Rounds to the nearest pixel, as Windows' MulDiv does.
inline constexpr int standardDpi = 96;
constexpr int pixels(int twips, int dpi = standardDpi)
{
    return (twips * dpi + 720) / 1440;
}

} // namespace tallymere::form
