#include "base/format.h"

#include <cstdio>

namespace {

std::u16string Ascii(const char* text) {
  std::u16string out;
  for (; *text; ++text) {
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text)));
  }
  return out;
}

std::u16string Decimal(std::uint64_t magnitude, bool negative) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) {
    digits.insert(digits.begin(), u'-');
  }
  return digits;
}

std::u16string SignedText(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  return Decimal(magnitude, negative);
}

std::u16string RealText(double value, int precision) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
  return Ascii(buffer);
}

std::u16string AsText(const FormatArg& arg) {
  switch (arg.kind()) {
    case FormatArg::Kind::Text:
      return std::u16string(arg.text());
    case FormatArg::Kind::Signed:
      return SignedText(arg.AsSigned());
    case FormatArg::Kind::Unsigned:
      return Decimal(arg.AsUnsigned(), false);
    case FormatArg::Kind::Real:
      return RealText(arg.AsReal(), 6);
  }
  return {};
}

}  // namespace

std::int64_t FormatArg::AsSigned() const {
  switch (kind_) {
    case Kind::Signed:
      return signed_;
    case Kind::Unsigned:
      return static_cast<std::int64_t>(unsigned_);
    case Kind::Real:
      return static_cast<std::int64_t>(real_);
    case Kind::Text:
      break;
  }
  return 0;
}

std::uint64_t FormatArg::AsUnsigned() const {
  switch (kind_) {
    case Kind::Unsigned:
      return unsigned_;
    case Kind::Signed:
      // As the platform prints a negative 32-bit value given to %u.
      if (signed_ < 0 && signed_ >= INT32_MIN) {
        return static_cast<std::uint32_t>(signed_);
      }
      return static_cast<std::uint64_t>(signed_);
    case Kind::Real:
      return real_ <= 0 ? 0 : static_cast<std::uint64_t>(real_);
    case Kind::Text:
      break;
  }
  return 0;
}

double FormatArg::AsReal() const {
  switch (kind_) {
    case Kind::Real:
      return real_;
    case Kind::Signed:
      return static_cast<double>(signed_);
    case Kind::Unsigned:
      return static_cast<double>(unsigned_);
    case Kind::Text:
      break;
  }
  return 0;
}

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args) {
  std::u16string out;
  out.reserve(format.size() + 16 * args.size());
  const FormatArg* next = args.begin();
  std::size_t i = 0;
  while (i < format.size()) {
    const char16_t c = format[i];
    if (c != u'%' || i + 1 >= format.size()) {
      out.push_back(c);
      ++i;
      continue;
    }
    if (format[i + 1] == u'%') {
      out.push_back(u'%');
      i += 2;
      continue;
    }
    // Optional precision ".N", then the conversion letter.
    std::size_t j = i + 1;
    int precision = -1;
    if (format[j] == u'.') {
      precision = 0;
      ++j;
      while (j < format.size() && format[j] >= u'0' && format[j] <= u'9' && precision < 100) {
        precision = precision * 10 + (format[j] - u'0');
        ++j;
      }
    }
    const char16_t conversion = j < format.size() ? format[j] : u'\0';
    const bool known = conversion == u's' || conversion == u'i' || conversion == u'd' ||
                       conversion == u'u' || conversion == u'f';
    if (!known || next == args.end()) {
      out.append(format.substr(i, j + 1 - i));
      i = j + 1;
      continue;
    }
    const FormatArg& arg = *next++;
    switch (conversion) {
      case u's':
        out += AsText(arg);
        break;
      case u'i':
      case u'd':
        out += SignedText(arg.AsSigned());
        break;
      case u'u':
        out += Decimal(arg.AsUnsigned(), false);
        break;
      default:
        out += RealText(arg.AsReal(), precision < 0 ? 6 : precision);
        break;
    }
    i = j + 1;
  }
  return out;
}
