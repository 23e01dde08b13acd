#include "config/flagged_var.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

#include "base/format.h"
#include "base/text.h"
#include "config/config_file.h"

namespace {

const std::u16string kEmptyText;

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// Leading white space, an optional sign, then decimal digits up to the first
// other character; no digits gives 0; out-of-range values saturate.
std::int64_t ParseSaturated(std::u16string_view text, std::int64_t lowest, std::int64_t highest) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // Accumulate the magnitude towards the bound of the sign's side.
  const std::uint64_t limit = negative ? static_cast<std::uint64_t>(-(lowest + 1)) + 1
                                       : static_cast<std::uint64_t>(highest);
  std::uint64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - u'0');
    if (magnitude > (limit - digit) / 10) {
      magnitude = limit;
    } else {
      magnitude = magnitude * 10 + digit;
    }
  }
  if (!negative) {
    return static_cast<std::int64_t>(magnitude);
  }
  return magnitude == 0 ? 0 : -static_cast<std::int64_t>(magnitude - 1) - 1;
}

std::int32_t ParseInt32(std::u16string_view text) {
  return static_cast<std::int32_t>(ParseSaturated(text, std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max()));
}

std::int64_t ParseInt64(std::u16string_view text) {
  return ParseSaturated(text, std::numeric_limits<std::int64_t>::min(),
                        std::numeric_limits<std::int64_t>::max());
}

// The longest leading decimal number (sign, digits, fraction, exponent);
// 0 when nothing fits. Independent of the locale.
double ParseDouble(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) {
    ++i;
  }
  std::string number;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') {
      number.push_back('-');
    }
    ++i;
  }
  std::size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    number.push_back(static_cast<char>(text[i]));
  }
  if (i < text.size() && text[i] == u'.') {
    number.push_back('.');
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      number.push_back(static_cast<char>(text[i]));
    }
  }
  if (digits == 0) {
    return 0.0;
  }
  // An exponent counts only with at least one digit after its sign.
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
      exponent.push_back(static_cast<char>(text[j]));
      ++j;
    }
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j) {
        exponent.push_back(static_cast<char>(text[j]));
      }
      number += exponent;
    }
  }
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Overflow gives an infinity, underflow a zero, as strtod does.
    return std::strtod(number.c_str(), nullptr);
  }
  return value;
}

std::u16string ToText(bool value) {
  return value ? u"true" : u"false";
}

std::u16string ToText(std::uint32_t value) {
  return Format(u"%i", static_cast<std::int32_t>(value));
}

std::u16string ToText(const std::u16string& value) {
  return value;
}

std::u16string ToText(const std::vector<std::u16string>& value) {
  std::u16string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (i != 0) {
      text += u", ";
    }
    text += value[i];
  }
  return text;
}

void FromText(std::u16string_view text, bool& value) {
  value = EqualsNoCase(TrimBlanks(text), u"true") || text == u"1";
}

void FromText(std::u16string_view text, std::uint32_t& value) {
  value = text.empty() ? 0u : static_cast<std::uint32_t>(ParseInt32(text));
}

void FromText(std::u16string_view text, std::u16string& value) {
  value.assign(text);
}

void FromText(std::u16string_view text, std::vector<std::u16string>& value) {
  value = Split(text, u",", 0, true);
  for (std::u16string& piece : value) {
    piece = TrimBlanks(piece);
  }
}

template <typename T>
T ValueOfText(std::u16string_view text) {
  T value{};
  FromText(text, value);
  return value;
}

const std::u16string& TableEntry(const std::vector<std::u16string>& table, std::uint16_t index) {
  if (index == FlaggedVar_Base::kNoIndex || index >= table.size()) {
    return kEmptyText;
  }
  return table[index];
}

}  // namespace

bool FlaggedVar_Base::operator!=(const FlaggedVar_Base& other) const {
  return CompareNoCase(GetValueText(), other.GetValueText()) != 0;
}

bool FlaggedVar_Base::Differs(const FlaggedVar_Base& other) const {
  return CompareNoCase(GetValueText(), other.GetValueText()) != 0;
}

bool FlaggedVar_Base::operator<(const FlaggedVar_Base& other) const {
  return CompareNoCase(GetValueText(), other.GetValueText()) < 0;
}

bool FlaggedVar_Base::operator>(const FlaggedVar_Base& other) const {
  return CompareNoCase(GetValueText(), other.GetValueText()) > 0;
}

int FlaggedVar_Base::TypeCode() const {
  return 0;
}

void FlaggedVar_Base::MarkOwnerDirty() {
  if (owner_ != nullptr) {
    owner_->MarkDirty();
  }
}

template <typename T>
FlaggedVar_internal<T>::FlaggedVar_internal()
    : value_(ValueOfText<T>(u"")), minimum_(ValueOfText<T>(u"")), maximum_(ValueOfText<T>(u"")) {}

template <typename T>
const std::u16string& FlaggedVar_internal<T>::GetComment(
    const std::vector<std::u16string>& table) const {
  return TableEntry(table, commentIndex_);
}

template <typename T>
const std::u16string& FlaggedVar_internal<T>::GetName(
    const std::vector<std::u16string>& table) const {
  return TableEntry(table, nameIndex_);
}

template <typename T>
bool FlaggedVar_internal<T>::SetFromText(std::u16string_view text) {
  return Set(ValueOfText<T>(text));
}

template <typename T>
std::u16string FlaggedVar_internal<T>::GetMinText() const {
  return ToText(minimum_);
}

template <typename T>
std::u16string FlaggedVar_internal<T>::GetMaxText() const {
  return ToText(maximum_);
}

template <typename T>
std::u16string FlaggedVar_internal<T>::GetValueText() const {
  return ToText(value_);
}

template <typename T>
std::int32_t FlaggedVar_internal<T>::AsInt() const {
  return ParseInt32(GetValueText());
}

template <typename T>
std::uint32_t FlaggedVar_internal<T>::AsUInt() const {
  const std::int64_t value = ParseInt64(GetValueText());
  return value < 0 ? 0u : static_cast<std::uint32_t>(value & 0xFFFFFFFF);
}

template <typename T>
float FlaggedVar_internal<T>::AsFloat() const {
  return static_cast<float>(ParseDouble(GetValueText()));
}

template <typename T>
double FlaggedVar_internal<T>::AsDouble() const {
  return ParseDouble(GetValueText());
}

template <typename T>
bool FlaggedVar_internal<T>::Set(T value) {
  const T old = value_;
  flags_ |= kAssigned;
  // The round trip through text gives every value the form a load produces.
  value_ = ValueOfText<T>(TrimBlanks(ToText(value)));
  flags_ &= static_cast<std::uint8_t>(~kClamped);
  if ((flags_ & kRangeChecked) != 0) {
    if (value_ < minimum_) {
      value_ = minimum_;
      flags_ |= kClamped;
    } else if (maximum_ < value_) {
      value_ = maximum_;
      flags_ |= kClamped;
    }
  }
  if (value_ != old) {
    MarkOwnerDirty();
  }
  return (flags_ & kClamped) == 0;
}

template <typename T>
void FlaggedVar_internal<T>::SetDefault(T value) {
  Set(std::move(value));
  flags_ &= static_cast<std::uint8_t>(~kAssigned);
}

template <typename T>
void FlaggedVar_internal<T>::SetRange(T minimum, T maximum) {
  minimum_ = std::move(minimum);
  maximum_ = std::move(maximum);
  flags_ |= kRangeChecked;
}

template class FlaggedVar_internal<bool>;
template class FlaggedVar_internal<std::uint32_t>;
template class FlaggedVar_internal<std::u16string>;
template class FlaggedVar_internal<std::vector<std::u16string>>;
