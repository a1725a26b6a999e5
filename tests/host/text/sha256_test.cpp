// SHA-256 against the examples of FIPS 180-4 (one block, two blocks, the
// million a's) and against messages whose padding falls at each edge of a
// block (digests from Python's hashlib).
#include "host/text/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace lotrano {
namespace {

// The bytes 0, 1, 2, ... n - 1.
std::string countingBytes(std::size_t n) {
  std::string bytes;
  for (std::size_t i = 0; i < n; ++i) bytes += static_cast<char>(i);
  return bytes;
}

TEST(Sha256, StandardMessages) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopq"
       "rlmnopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sha256Hex(c.message), c.digest) << c.message.size() << " bytes";
  }
}

// 55 bytes leave room for the length in the last block; 56 to 63 need one
// more block; 64 fill one exactly.
TEST(Sha256, PaddingAtTheEdgesOfABlock) {
  const struct {
    std::size_t length;
    const char* digest;
  } cases[] = {
      {55, "463eb28e72f82e0a96c0a4cc53690c571281131f672aa229e0d45ae59b598b59"},
      {56, "da2ae4d6b36748f2a318f23e7ab1dfdf45acdc9d049bd80e59de82a60895f562"},
      {63, "29af2686fd53374a36b0846694cc342177e428d1647515f078784d69cdb9e488"},
      {64, "fdeab9acf3710362bd2658cdc9a29e8f9c757fcf9811603a8c447cd1d9151108"},
      {65, "4bfd2c8b6f1eec7a2afeb48b934ee4b2694182027e6d0fc075074f2fabb31781"},
      {119, "da18797ed7c3a777f0847f429724a2d8cd5138e6ed2895c3fa1a6d39d18f7ec6"},
      {120, "f52b23db1fbb6ded89ef42a23ce0c8922c45f25c50b568a93bf1c075420bbb7c"},
  };
  for (const auto& c : cases) EXPECT_EQ(sha256Hex(countingBytes(c.length)), c.digest) << c.length;
}

TEST(Sha256, TheDigestBytesAreTheHexDigits) {
  const Sha256Digest digest = sha256("abc");
  EXPECT_EQ(digest.front(), 0xba);
  EXPECT_EQ(digest[1], 0x78);
  EXPECT_EQ(digest.back(), 0xad);
}

}  // namespace
}  // namespace lotrano
