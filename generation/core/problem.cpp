#include "problem.h"

#include <cmath>

namespace tallymere {

namespace {

// A whole number from 0 up to (for a whole limit of 1 or more) limit - 1.
double drawBelow(double limit, RandomSource& random)
{
    return std::floor(limit * static_cast<double>(random.next()));
}

// '+' below one half, '-' from it on; by index, as a branch on a coin's toss is mispredicted half
// the time.
char drawSign(RandomSource& random)
{
    return "+-"[static_cast<int>(drawBelow(2, random))];
}

// The operand of a step that starts from `start`: a '-' step stays at 0 or more, a '+' step at the
// range or less.
double drawStepOperand(char sign, double start, double range, RandomSource& random)
{
    return drawBelow(sign == '-' ? start + 1 : range - start + 1, random);
}

} // namespace

Problem drawProblem(DifficultyMode mode, double range, RandomSource& random)
{
    Problem problem;
    problem.a = drawBelow(range, random);
    problem.op1 = drawSign(random);
    problem.op2 = drawSign(random);
    if (mode == DifficultyMode::SingleStep) {
        problem.b = drawStepOperand(problem.op1, problem.a, range, random);
        return problem;
    }
    // A chained '+' first step has no +1: its sum stays below the range, and sheets rely on the
    // problems this gives.
    problem.b = drawBelow(problem.op1 == '-' ? problem.a + 1 : range - problem.a, random);
    const double middle = problem.op1 == '-' ? problem.a - problem.b : problem.a + problem.b;
    problem.c = drawStepOperand(problem.op2, middle, range, random);
    return problem;
}

} // namespace tallymere
