#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <exception>
#include <stdexcept>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace tallymere::testing {

namespace {

std::pair<int, int> makePipe()
{
    int ends[2];
    if (::pipe(ends) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    return {ends[0], ends[1]};
}

void closeIfOpen(int& descriptor)
{
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
}

void writeAll(int descriptor, const std::string& text)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
        if (written <= 0 && errno != EINTR) {
            return;
        }
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
}

} // namespace

ChildProcess::ChildProcess(const Body& body)
{
    auto [readEnd, writeEnd] = makePipe();
    pid_ = ::fork();
    if (pid_ < 0) {
        throw std::runtime_error("cannot fork");
    }
    if (pid_ == 0) {
        ::close(readEnd);
        std::string report;
        int status = 100;
        try {
            status = body(report);
        } catch (const std::exception& error) {
            report = error.what();
        }
        writeAll(writeEnd, report);
        // _exit: the child must not run the test framework's or the parent's exit handlers.
        ::_exit(status);
    }
    ::close(writeEnd);
    reportPipe_ = readEnd;
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        wait();
    }
    closeIfOpen(reportPipe_);
}

bool ChildProcess::hasEnded()
{
    // WNOWAIT leaves the ended child to `wait`, which also collects its report.
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid_;
}

ChildOutcome ChildProcess::wait()
{
    ChildOutcome outcome;
    char buffer[4096];
    for (ssize_t got; (got = ::read(reportPipe_, buffer, sizeof buffer)) != 0;) {
        if (got > 0) {
            outcome.report.append(buffer, static_cast<std::size_t>(got));
        } else if (errno != EINTR) {
            break;
        }
    }
    closeIfOpen(reportPipe_);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

StartLine::StartLine()
{
    std::tie(readEnd_, writeEnd_) = makePipe();
}

StartLine::~StartLine()
{
    closeIfOpen(readEnd_);
    closeIfOpen(writeEnd_);
}

void StartLine::await()
{
    closeIfOpen(writeEnd_);
    char byte;
    while (::read(readEnd_, &byte, 1) < 0 && errno == EINTR) {
    }
}

void StartLine::open()
{
    closeIfOpen(writeEnd_);
}

} // namespace tallymere::testing
