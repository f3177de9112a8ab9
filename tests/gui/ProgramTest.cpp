// Starts the Brindle program itself on the display with a sample file and ends it
// the way a session end does.
#include "platform/settings/SettingsStore.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace brindle;
using namespace std::chrono_literals;

namespace {

// Waits up to `limit` for the child to end; its wait status, or -1.
int WaitFor(pid_t pid, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(50ms);
    }
    return -1;
}

// Runs the program with one argument and no display; its exit status and output.
std::pair<int, std::string> RunWithoutDisplay(const char* argument)
{
    int out[2];
    if (::pipe(out) != 0) return {-1, {}};
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::close(out[0]);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::execl(BRINDLE_PROGRAM, BRINDLE_PROGRAM, argument, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    ::close(out[0]);
    int status = WaitFor(pid, 20s);
    if (status == -1) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return {-1, text};
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

} // namespace

TEST(Program, AnswersHelpVersionAndWrongOptionsOnTheTerminal)
{
    auto [status, text] = RunWithoutDisplay("--help");
    EXPECT_EQ(status, 0);
    EXPECT_NE(text.find("Usage: Brindle"), std::string::npos) << text;
    EXPECT_NE(text.find("-nosplash"), std::string::npos) << text;
    std::tie(status, text) = RunWithoutDisplay("--version");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text.rfind("Brindle ", 0), 0u) << text;
    std::tie(status, text) = RunWithoutDisplay("--frobnicate");
    EXPECT_EQ(status, 2);
    EXPECT_NE(text.find("unknown option --frobnicate"), std::string::npos) << text;
}

TEST(Program, OpensASampleAndExitsCleanlyWhenAskedToTerminate)
{
    test::TempDir dir;
    const std::string sample = std::string(BRINDLE_SAMPLES) + "/catalog.xml";
    const auto config = dir / "config";
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::setenv("BRINDLE_CONFIG_DIR", config.c_str(), 1);
        ::execl(BRINDLE_PROGRAM, BRINDLE_PROGRAM, sample.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }

    // The document is open once it has been entered in the recent files.
    bool opened = false;
    for (int i = 0; i < 300 && !opened; ++i) {
        std::this_thread::sleep_for(100ms);
        if (std::filesystem::exists(config / "settings"))
            opened = SettingsStore(config / "settings").GetString("Software\\Brindle\\Brindle\\Recent File List", "File1") == sample;
        int status = 0;
        ASSERT_NE(::waitpid(pid, &status, WNOHANG), pid) << "the program ended early, status " << status;
    }
    EXPECT_TRUE(opened);

    ::kill(pid, SIGTERM);
    int status = WaitFor(pid, 20s);
    if (status == -1) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "the program did not end after SIGTERM";
    }
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // No temporary settings files are left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(config), {}), 1);
}
