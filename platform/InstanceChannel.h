#pragma once
// The desktop program runs once: the first instance listens at a local address, and a
// later start hands it one message (the disk folder it was given, or nothing) and ends.
// The address is a file path: a Unix domain socket there, on Windows a named pipe
// named after it. Local to the machine and the user; nothing goes over a network.

#include <memory>
#include <string>
#include <vector>

namespace platform {

class InstanceListener {
public:
    virtual ~InstanceListener() = default;
    // The messages that arrived since the last call, in order, without waiting.
    virtual std::vector<std::string> Take() = 0;
};

// Listens at `address`, taking over what an instance that ended without cleaning up
// left there (the caller holds the program's instance lock); null when it cannot.
std::unique_ptr<InstanceListener> ListenForInstances(const std::string& address);

// Hands `message` to the instance listening at `address`; false when none listens.
bool SendToInstance(const std::string& address, const std::string& message);

}  // namespace platform
