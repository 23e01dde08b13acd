// The one formatter for the printf subset the program uses, the same in both
// builds: %s (UTF-16 text), %i and %d (signed), %u (unsigned), %f with an
// optional precision such as %.2f, and %%. A directive without a matching
// argument, or one outside this subset, is copied unchanged.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

class FormatArg {
 public:
  enum class Kind { Text, Signed, Unsigned, Real };

  FormatArg(std::u16string_view text) : kind_(Kind::Text), text_(text) {}
  FormatArg(const std::u16string& text) : kind_(Kind::Text), text_(text) {}
  FormatArg(const char16_t* text) : kind_(Kind::Text), text_(text ? text : u"") {}
  FormatArg(double value) : kind_(Kind::Real), real_(value) {}
  template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
  FormatArg(T value) {
    if constexpr (std::is_signed_v<T>) {
      kind_ = Kind::Signed;
      signed_ = value;
    } else {
      kind_ = Kind::Unsigned;
      unsigned_ = value;
    }
  }

  Kind kind() const { return kind_; }
  std::u16string_view text() const { return text_; }
  std::int64_t AsSigned() const;
  std::uint64_t AsUnsigned() const;
  double AsReal() const;

 private:
  Kind kind_ = Kind::Text;
  std::u16string_view text_;
  std::int64_t signed_ = 0;
  std::uint64_t unsigned_ = 0;
  double real_ = 0;
};

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args);

template <typename... Args>
std::u16string Format(std::u16string_view format, const Args&... args) {
  return FormatText(format, {FormatArg(args)...});
}
