#include "io/text_decoder.h"

#include <algorithm>

namespace kivex::io {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom: return "UTF-8";
    case TextEncoding::Utf16Le: return "UTF-16 LE";
    case TextEncoding::Utf16Be: return "UTF-16 BE";
    case TextEncoding::Plain: break;
  }
  return "";
}

void TextDecoder::Feed(std::string_view bytes, std::string& out) {
  if (!decided_) {
    const std::size_t take = std::min(bytes.size(), 3 - head_.size());
    head_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (head_.size() < 3) return;
    Decide(out);
  }
  Body(bytes, out);
}

void TextDecoder::Finish(std::string& out) {
  if (!decided_) Decide(out);
  if (oddByte_ >= 0 || highSurrogate_ != 0) AppendUtf8(kReplacement, out);
  oddByte_ = -1;
  highSurrogate_ = 0;
}

void TextDecoder::Decide(std::string& out) {
  decided_ = true;
  std::string_view head = head_;
  if (head.substr(0, 3) == "\xEF\xBB\xBF") {
    encoding_ = TextEncoding::Utf8Bom;
    head.remove_prefix(3);
  } else if (head.substr(0, 2) == "\xFF\xFE") {
    encoding_ = TextEncoding::Utf16Le;
    head.remove_prefix(2);
  } else if (head.substr(0, 2) == "\xFE\xFF") {
    encoding_ = TextEncoding::Utf16Be;
    head.remove_prefix(2);
  }
  Body(head, out);
  head_.clear();
}

void TextDecoder::Body(std::string_view bytes, std::string& out) {
  if (encoding_ == TextEncoding::Plain || encoding_ == TextEncoding::Utf8Bom) {
    out.append(bytes);
    return;
  }
  const bool little = encoding_ == TextEncoding::Utf16Le;
  for (char c : bytes) {
    const int byte = static_cast<unsigned char>(c);
    if (oddByte_ < 0) {
      oddByte_ = byte;
      continue;
    }
    const int first = little ? byte : oddByte_;
    const int second = little ? oddByte_ : byte;
    oddByte_ = -1;
    Unit(static_cast<char32_t>((first << 8) | second), out);
  }
}

void TextDecoder::Unit(char32_t unit, std::string& out) {
  if (highSurrogate_ != 0) {
    const char32_t high = highSurrogate_;
    highSurrogate_ = 0;
    if (IsLowSurrogate(unit)) {
      AppendUtf8(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), out);
      return;
    }
    AppendUtf8(kReplacement, out);  // and the unit stands on its own
  }
  if (IsHighSurrogate(unit)) {
    highSurrogate_ = unit;
  } else if (IsLowSurrogate(unit)) {
    AppendUtf8(kReplacement, out);
  } else {
    AppendUtf8(unit, out);
  }
}

}  // namespace kivex::io
