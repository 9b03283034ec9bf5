#include "io/text_decoder.h"

#include <gtest/gtest.h>

#include <string>

namespace kivex::io {
namespace {

std::string Decoded(std::string_view bytes, std::size_t chunk) {
  TextDecoder decoder;
  std::string text;
  for (std::size_t at = 0; at < bytes.size(); at += chunk)
    decoder.Feed(bytes.substr(at, chunk), text);
  decoder.Finish(text);
  return text;
}

// Whatever the chunks, the same text: a mark or a surrogate pair may be cut anywhere.
TEST(TextDecoder, GivesUtf8WhereverTheChunksEnd) {
  const std::pair<std::string, std::string> cases[] = {
      // "E/V;µA" then U+1D70B (a surrogate pair), little endian.
      {std::string("\xFF\xFE"
                   "E\0/\0V\0;\0\xB5\0"
                   "A\0\x35\xD8\x0B\xDF",
                   18),
       "E/V;\xC2\xB5"
       "A\xF0\x9D\x9C\x8B"},
      {std::string("\xFE\xFF\0"
                   "1\x20\xAC",
                   6),
       "1\xE2\x82\xAC"},
      // An unpaired surrogate and a lone last byte are marked, not dropped silently.
      {std::string("\xFF\xFE\x00\xD8"
                   "1\0"
                   "2",
                   7),
       "\xEF\xBF\xBD"
       "1\xEF\xBF\xBD"},
      {"\xEF\xBB\xBF"
       "0,1;2",
       "0,1;2"},
      {"\xEF\xBB", "\xEF\xBB"},                              // too short to be a mark
      {std::string("1\0,\0", 4), std::string("1\0,\0", 4)},  // no mark: passed on as it is
  };
  for (const auto& [bytes, text] : cases) {
    for (std::size_t chunk = 1; chunk <= bytes.size(); ++chunk) {
      EXPECT_EQ(Decoded(bytes, chunk), text) << "chunks of " << chunk;
    }
  }
}

}  // namespace
}  // namespace kivex::io
