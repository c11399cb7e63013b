// The hand-over between two starts of the desktop program: what a later start sends
// reaches the listening first instance whole and in order, nothing waits, an address
// nobody listens at refuses, and a listener takes over what a crashed one left.

#include "platform/InstanceChannel.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

constexpr auto kPoll = std::chrono::milliseconds(10);
constexpr int kPolls = 200;

// What the listener takes within a couple of seconds, until `count` messages came.
std::vector<std::string> TakeUntil(platform::InstanceListener& listener, std::size_t count)
{
    std::vector<std::string> messages;
    for (int poll = 0; poll < kPolls && messages.size() < count; ++poll) {
        for (auto& message : listener.Take())
            messages.push_back(std::move(message));
        std::this_thread::sleep_for(kPoll);
    }
    return messages;
}

}  // namespace

TEST(InstanceChannel, MessagesReachTheListenerWholeAndInOrder)
{
    testsupport::TempFolder folder;
    const std::string address = folder.File("wavelorn.socket");
    EXPECT_FALSE(platform::SendToInstance(address, "nobody listens"));

    auto listener = platform::ListenForInstances(address);
    ASSERT_TRUE(listener);
    EXPECT_TRUE(listener->Take().empty());  // returns at once with nothing sent
    const std::string folderName = "/media/disk \xC3\xA9";  // a path in UTF-8
    const std::string large(5000, 'x');                     // more than one read
    for (const std::string& message : {folderName, std::string(), large})
        ASSERT_TRUE(platform::SendToInstance(address, message));
    EXPECT_EQ(TakeUntil(*listener, 3), (std::vector<std::string>{folderName, std::string(), large}));

    // What a listener that ended without cleaning up left is taken over by the next one.
    listener.reset();
#ifndef _WIN32
    testsupport::WriteBytes(address, {1});
#endif
    auto next = platform::ListenForInstances(address);
    ASSERT_TRUE(next);
    ASSERT_TRUE(platform::SendToInstance(address, "again"));
    EXPECT_EQ(TakeUntil(*next, 1), std::vector<std::string>{"again"});
}
