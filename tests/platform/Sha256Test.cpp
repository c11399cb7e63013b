#include "platform/Sha256.h"

#include "tests/support/MemoryFileSystem.h"
#include "tests/support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The standard's own test messages.
TEST(Sha256, KnownDigests)
{
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::Sha256Hex(c.message.data(), c.message.size()), c.digest) << c.message.size();
}

TEST(Sha256, HexTextGivesTwoLowercaseDigitsForEachByteInOrder)
{
    const unsigned char bytes[] = {0x00, 0x0f, 0xa5, 0xff, 0x10};
    EXPECT_EQ(platform::HexText(bytes, sizeof bytes), "000fa5ff10");
    EXPECT_EQ(platform::HexText(nullptr, 0), "");
}

TEST(Sha256, PiecesGiveTheDigestOfTheWholeAndTheObjectStartsAfresh)
{
    const std::string message = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    platform::Sha256 digest;
    for (std::size_t at = 0; at < message.size(); at += 7)
        digest.Update(message.data() + at, std::min<std::size_t>(7, message.size() - at));
    EXPECT_EQ(digest.HexDigest(), platform::Sha256Hex(message.data(), message.size()));
    EXPECT_EQ(digest.HexDigest(), platform::Sha256Hex(nullptr, 0));
}

TEST(Sha256, OfAFileLargerThanOneReadAndOfOneThatCannotBeRead)
{
    testsupport::MemoryFileSystem memory;
    memory.AddFolder("disk");
    const std::vector<std::uint8_t> bytes((3u << 20) + 5, 0x5a);
    memory.AddFile("disk/big", bytes);
    std::uint64_t reported = 0;
    EXPECT_EQ(platform::Sha256OfFile(memory, "disk/big", [&](std::uint64_t done) { reported = done; }),
              platform::Sha256Hex(bytes.data(), bytes.size()));
    EXPECT_EQ(reported, bytes.size());
    EXPECT_EQ(platform::Sha256OfFile(memory, "disk/none"), std::nullopt);

    testsupport::FaultyFileSystem faulty(memory);
    faulty.FailNth(testsupport::FaultOp::Read, 2);
    EXPECT_EQ(platform::Sha256OfFile(faulty, "disk/big"), std::nullopt);
}

}  // namespace
