#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

namespace tallymere::testing {

// What a child process ended with: its exit code (128 + the signal if one killed it) and the report
// it wrote.
struct ChildOutcome {
    int status = 0;
    std::string report;
};

// A forked process running one function, for faults that must not reach the test process: changed
// limits, fewer privileges, a mount namespace of its own. The function fills in its report and
// returns the exit code; an exception ends the child with code 100 and its message as the report.
class ChildProcess {
public:
    using Body = std::function<int(std::string& report)>;

    explicit ChildProcess(const Body& body);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    bool hasEnded();
    ChildOutcome wait();

private:
    pid_t pid_ = -1;
    int reportPipe_ = -1;
};

inline ChildOutcome runInChild(const ChildProcess::Body& body)
{
    return ChildProcess(body).wait();
}

// Lets many children start their work at the same moment: each waits in `await` until the parent
// calls `open`.
class StartLine {
public:
    StartLine();
    StartLine(const StartLine&) = delete;
    StartLine& operator=(const StartLine&) = delete;
    ~StartLine();

    void await();
    void open();

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

} // namespace tallymere::testing
