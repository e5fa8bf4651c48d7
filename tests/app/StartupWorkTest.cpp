#include "app/StartupWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using brenlow::StartupWork;

namespace {

class StartupWorkTest : public ::testing::TestWithParam<bool>
{
};

// The preparations use the toolkit, which takes the first thread that uses it for its main
// thread: they run beside the main thread once told the application stands, never before, and
// not at all when start-up ends first.
TEST_P(StartupWorkTest, PreparationsRunBesideTheMainThreadOnlyOnceTheApplicationStands)
{
    const bool told = GetParam();
    std::atomic<int> runs{0};
    std::atomic<bool> beside{false};
    const std::thread::id main = std::this_thread::get_id();
    {
        StartupWork work([&] {
            ++runs;
            beside = std::this_thread::get_id() != main;
        });
        if (told)
            work.applicationStarted();
    }
    EXPECT_EQ(runs.load(), told ? 1 : 0);
    EXPECT_EQ(beside.load(), told);
}

INSTANTIATE_TEST_SUITE_P(Told, StartupWorkTest, ::testing::Bool());

} // namespace
