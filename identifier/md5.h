// MD5 message digest (RFC 1321) over input fed in pieces, rendered as
// 32 lower-case hex characters.
#ifndef HWID_IDENTIFIER_MD5_H_
#define HWID_IDENTIFIER_MD5_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace hwid {

class Md5Digest {
 public:
  // An open digest with the standard initial chaining value.
  Md5Digest();
  // The finished digest of `text`.
  explicit Md5Digest(std::string_view text);

  // Appends `length` bytes; any length, in any number of calls, until
  // finalize().
  void update(const unsigned char* input, std::uint32_t length);
  // Pads, appends the bit count and stores the digest; later calls do
  // nothing.
  void finalize();
  // The digest as 32 lower-case hex characters; empty until finalized.
  std::string hex_digest() const;

 private:
  // Compresses one 64-byte block into state_.
  void transform(const unsigned char* block);

  bool finalized_;
  unsigned char buffer_[64];  // the partial block not yet compressed
  std::uint32_t count_[2];    // bits fed so far, modulo 2^64, low word first
  std::uint32_t state_[4];    // chaining value A, B, C, D
  unsigned char digest_[16];  // valid once finalized_
};

// Hex digest of `text`'s bytes (no terminator).
std::string md5_hex(std::string_view text);

// The value of hex digit `ch`, of either case; -1 for any other character.
int hex_digit_value(char ch);

}  // namespace hwid

#endif  // HWID_IDENTIFIER_MD5_H_
