#include "base/text.h"

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

}  // namespace

std::u16string TrimBlanks(std::u16string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) {
    ++begin;
  }
  while (end > begin && IsBlank(text[end - 1])) {
    --end;
  }
  return std::u16string(text.substr(begin, end - begin));
}

char16_t ToLowerAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

char16_t ToUpperAscii(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

std::u16string ToLowerAscii(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    c = ToLowerAscii(c);
  }
  return out;
}

std::u16string ToUpperAscii(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    c = ToUpperAscii(c);
  }
  return out;
}

int CompareNoCase(std::u16string_view a, std::u16string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t ca = ToLowerAscii(a[i]);
    const char16_t cb = ToLowerAscii(b[i]);
    if (ca != cb) {
      return ca < cb ? -1 : 1;
    }
  }
  if (a.size() == b.size()) {
    return 0;
  }
  return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsAllDigits(std::u16string_view text) {
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') {
      return false;
    }
  }
  return true;
}

std::uint64_t ParseDecimal(std::u16string_view text, std::uint64_t limit) {
  std::uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') {
      break;
    }
    const std::uint64_t digit = static_cast<std::uint64_t>(c - u'0');
    value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
  }
  return value;
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
  if (from.empty()) {
    return std::u16string(text);
  }
  std::u16string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit = text.find(from); hit != std::u16string_view::npos;
       hit = text.find(from, pos)) {
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::u16string NormalizeLineBreaks(std::u16string_view text) {
  std::u16string out = ReplaceAll(text, u"\r\n", u"\n");
  out = ReplaceAll(out, u"\n\r", u"\n");
  for (char16_t& c : out) {
    if (c == u'\r') {
      c = u'\n';
    }
  }
  return out;
}

std::vector<std::u16string> Split(std::u16string_view text, std::u16string_view delimiter,
                                  std::size_t limit, bool dropEmpty) {
  std::vector<std::u16string> pieces;
  if (text.empty() || delimiter.empty()) {
    return pieces;
  }
  std::size_t pos = 0;
  while (true) {
    if (limit != 0 && pieces.size() + 1 == limit) {
      std::u16string_view rest = text.substr(pos);
      if (!(dropEmpty && rest.empty())) {
        pieces.emplace_back(rest);
      }
      break;
    }
    const std::size_t hit = text.find(delimiter, pos);
    const std::u16string_view piece =
        text.substr(pos, hit == std::u16string_view::npos ? std::u16string_view::npos : hit - pos);
    if (!(dropEmpty && piece.empty())) {
      pieces.emplace_back(piece);
    }
    if (hit == std::u16string_view::npos) {
      break;
    }
    pos = hit + delimiter.size();
  }
  return pieces;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    char32_t cp = 0xFFFD;
    std::size_t length = 1;
    if (byte < 0x80) {
      cp = byte;
    } else {
      std::size_t extra = 0;
      if ((byte & 0xE0) == 0xC0) {
        extra = 1;
        cp = byte & 0x1F;
      } else if ((byte & 0xF0) == 0xE0) {
        extra = 2;
        cp = byte & 0x0F;
      } else if ((byte & 0xF8) == 0xF0) {
        extra = 3;
        cp = byte & 0x07;
      }
      bool valid = extra != 0 && i + extra < text.size();
      for (std::size_t k = 1; valid && k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
          valid = false;
        } else {
          cp = (cp << 6) | (next & 0x3F);
        }
      }
      if (valid) {
        length = extra + 1;
        static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
          cp = 0xFFFD;
        }
      } else {
        cp = 0xFFFD;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += length;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::string Utf16LeWithMark(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + 2 * text.size());
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}
