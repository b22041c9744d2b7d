// The message box without a window: the standard-error notice where no
// display can be opened.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"

namespace {

struct ChildResult {
    int status = -1;
    std::string err;
    double seconds = 0;
};

// Runs ShowMessageBox in a child whose DISPLAY is `display` (null: unset)
// and collects its stderr.
ChildResult ShowOn(const char* display, const char* title, const char* text, int icon) {
    ChildResult result;
    int fds[2];
    if (pipe(fds) != 0) return result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], 2);
        if (display)
            setenv("DISPLAY", display, 1);
        else
            unsetenv("DISPLAY");
        ShowMessageBox(title, text, icon);
        _exit(0);
    }
    close(fds[1]);
    char buf[512];
    for (;;) {
        // Ten seconds is forever for a notice that must not wait.
        pollfd p = {fds[0], POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) {
            kill(pid, SIGKILL);
            break;
        }
        ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        result.err.append(buf, (size_t)n);
    }
    close(fds[0]);
    waitpid(pid, &result.status, 0);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

}  // namespace

TEST(MessageBoxWithoutDisplay, WritesOneLineToStandardErrorAndReturnsAtOnce) {
    ChildResult r = ShowOn(nullptr, "ERROR", "Nepodarilo se vytvorit objekt", MessageIconExclamation);
    ASSERT_TRUE(WIFEXITED(r.status)) << "the child did not return; stderr so far: " << r.err;
    EXPECT_EQ(0, WEXITSTATUS(r.status));
    EXPECT_EQ("orrery: ERROR: Nepodarilo se vytvorit objekt\n", r.err);
    EXPECT_LT(r.seconds, 5.0);
}

TEST(MessageBoxWithoutDisplay, KeepsPercentSignsAndQuotesOfTheText) {
    ChildResult r = ShowOn(nullptr, "Error", "Neni dost pameti pro nacteni \"Quadratic Object\" 100%d", 0);
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ("orrery: Error: Neni dost pameti pro nacteni \"Quadratic Object\" 100%d\n", r.err);
}

TEST(MessageBoxWithoutDisplay, UnreachableDisplayDoesNotWaitEither) {
    ChildResult r = ShowOn(":9999", "ERROR", "x", MessageIconExclamation);  // no server there
    ASSERT_TRUE(WIFEXITED(r.status)) << "the notice waited with no display to show it on";
    EXPECT_EQ("orrery: ERROR: x\n", r.err);
    EXPECT_LT(r.seconds, 5.0);
}
