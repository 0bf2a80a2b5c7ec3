#pragma once

#include "random_source.h"

namespace tallymere {

enum class DifficultyMode {
    SingleStep,  // a op1 b =
    ChainedSteps // a op1 b op2 c =, worked from left to right
};

// Operands are whole numbers held as doubles; op2 and c belong to ChainedSteps only.
struct Problem {
    double a = 0;
    double b = 0;
    double c = 0;
    char op1 = '+';
    char op2 = '+';
};

// One problem within `range`, drawn from `random`: for a whole range of 0 or more, no result along
// the way drops below zero or passes the range.
Problem drawProblem(DifficultyMode mode, double range, RandomSource& random);

} // namespace tallymere
