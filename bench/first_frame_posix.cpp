// Starts a program on the current X display and reports how long it took to paint its first
// frame and its peak resident memory by then. The frame is seen from outside, through the Damage
// extension, so any program can be measured the same way:
//   first_frame PROGRAM [ARGUMENTS...]   prints "MILLISECONDS PEAK_KIB"
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Windows vanish and some take no damage (InputOnly); neither is a reason to stop.
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

long peakResidentKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

bool waitForEvent(Display* display, Clock::time_point deadline)
{
    while (XPending(display) == 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&connection, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
    }
    return true;
}

// Follows every top-level window the program creates until one of them is drawn on.
bool waitForFirstFrame(Display* display, int damageEvents)
{
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (waitForEvent(display, deadline)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify) {
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
            XFlush(display);
        } else if (event.type == damageEvents + XDamageNotify) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_frame PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    int damageEvents = 0;
    int damageErrors = 0;
    if (display == nullptr || !XDamageQueryExtension(display, &damageEvents, &damageErrors)) {
        std::fprintf(stderr, "first_frame: no X display with the Damage extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t program = ::fork();
    if (program == 0) {
        ::close(ConnectionNumber(display));
        ::execvp(argv[1], argv + 1);
        ::_exit(127);
    }
    const bool painted = waitForFirstFrame(display, damageEvents);
    const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start);
    // Whatever the program does right after its first frame still counts towards its peak.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long peak = peakResidentKib(program);
    ::kill(program, SIGTERM);
    ::waitpid(program, nullptr, 0);
    if (!painted) {
        std::fprintf(stderr, "first_frame: %s painted nothing within 20 s\n", argv[1]);
        return 1;
    }
    std::printf("%.1f %ld\n", elapsed.count(), peak);
    return 0;
}
