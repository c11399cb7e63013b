// The hand-over between two starts of the desktop program: what a later start sends
// reaches the listening first instance whole, taking never waits, an address nobody
// listens at refuses, and a listener takes over what a crashed one left.

#include "platform/InstanceChannel.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

constexpr auto kPoll = std::chrono::milliseconds(10);
constexpr int kPolls = 200;

// Sends `message` from another thread, as a second start of the program does, while
// this one polls the listener as the window does: what it took within a few seconds.
std::vector<std::string> SendAndTake(platform::InstanceListener& listener, const std::string& address,
                                     const std::string& message)
{
    bool sent = false;
    std::thread sender([&] { sent = platform::SendToInstance(address, message); });
    std::vector<std::string> messages;
    for (int poll = 0; poll < kPolls && messages.empty(); ++poll) {
        messages = listener.Take();
        std::this_thread::sleep_for(kPoll);
    }
    sender.join();
    EXPECT_TRUE(sent);
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
        EXPECT_EQ(SendAndTake(*listener, address, message), std::vector<std::string>{message});

    // What a listener that ended without cleaning up left is taken over by the next one.
    listener.reset();
#ifndef _WIN32
    testsupport::WriteBytes(address, {1});
#endif
    auto next = platform::ListenForInstances(address);
    ASSERT_TRUE(next);
    EXPECT_EQ(SendAndTake(*next, address, "again"), std::vector<std::string>{"again"});
}
