#pragma once
// Text as instruments and spreadsheets save it, turned into UTF-8 for the curve reader. A UTF-8
// byte-order mark is dropped; UTF-16, little or big endian, is recognised by its byte-order mark
// and converted (an unpaired surrogate or a lone last byte becomes U+FFFD); text without a mark
// passes unchanged, since ASCII and UTF-8 need no conversion. UTF-16 without a mark is not
// guessed: its zero bytes reach the reader, which refuses them.
//
// It works chunk by chunk, so a long file is never held whole; a chunk may end anywhere, even
// inside the mark or a surrogate pair.
//
//   TextDecoder decoder;
//   std::string text;
//   decoder.Feed(std::string_view("\xFF\xFE" "1\0,\0" "2\0", 8), text);
//   decoder.Finish(text);  // text == "1,2", decoder.encoding() == TextEncoding::Utf16Le

#include <string>
#include <string_view>

namespace kivex::io {

enum class TextEncoding { Plain, Utf8Bom, Utf16Le, Utf16Be };

// "UTF-16 LE" and the like, for a report; "" for text without a byte-order mark.
std::string_view EncodingName(TextEncoding encoding);

class TextDecoder {
 public:
  // Appends the UTF-8 text of `bytes` to `out`; what a chunk leaves unfinished waits for the next.
  void Feed(std::string_view bytes, std::string& out);

  // The end of the text: appends what is still waiting.
  void Finish(std::string& out);

  // Known once three bytes have been fed, or after Finish.
  TextEncoding encoding() const { return encoding_; }

  // Once the mark is known and the text is 8-bit, what is fed comes out unchanged: a reader may
  // take the bytes as they are instead of a copy.
  bool PassesThrough() const {
    return decided_ && (encoding_ == TextEncoding::Plain || encoding_ == TextEncoding::Utf8Bom);
  }

 private:
  void Decide(std::string& out);
  void Body(std::string_view bytes, std::string& out);
  void Unit(char32_t unit, std::string& out);

  bool decided_ = false;
  std::string head_;  // the first bytes, until the mark is known
  TextEncoding encoding_ = TextEncoding::Plain;
  int oddByte_ = -1;            // the first byte of a UTF-16 unit whose second is still to come
  char32_t highSurrogate_ = 0;  // the first half of a surrogate pair
};

}  // namespace kivex::io
