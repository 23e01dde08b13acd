// Typed setting variables. Each holds a value, an optional range, the index of
// its key name in the owner's name table and a few flags. The settings text
// reads and writes variables only through their text form, and a variable
// tells its owning configuration file when an assignment changed its value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CBase_ConfigFile;

class FlaggedVar_Base {
 public:
  static constexpr std::uint16_t kNoIndex = 0xFFFF;

  // Flag bits.
  static constexpr std::uint8_t kAssigned = 0x01;
  static constexpr std::uint8_t kRangeChecked = 0x02;
  static constexpr std::uint8_t kClamped = 0x04;

  FlaggedVar_Base() = default;
  FlaggedVar_Base(const FlaggedVar_Base&) = delete;
  FlaggedVar_Base& operator=(const FlaggedVar_Base&) = delete;
  virtual ~FlaggedVar_Base() = default;

  virtual bool IsAssigned() const = 0;
  virtual void SetCommentIndex(std::uint16_t index) = 0;
  // The entry of the table at the index, or an empty text for kNoIndex (or an
  // index beyond the table).
  virtual const std::u16string& GetComment(const std::vector<std::u16string>& table) const = 0;
  virtual void SetNameIndex(std::uint16_t index) = 0;
  virtual const std::u16string& GetName(const std::vector<std::u16string>& table) const = 0;
  // Converts the text by the rule of the value type and assigns it; false
  // when the value had to be clamped.
  virtual bool SetFromText(std::u16string_view text) = 0;
  virtual bool WasClamped() const = 0;
  virtual std::u16string GetMinText() const = 0;
  virtual std::u16string GetMaxText() const = 0;
  virtual std::u16string GetValueText() const = 0;

  // Comparisons of the value texts, ignoring ASCII letter case. Differs is
  // the same test as !=.
  virtual bool operator!=(const FlaggedVar_Base& other) const;
  virtual bool Differs(const FlaggedVar_Base& other) const;
  virtual bool operator<(const FlaggedVar_Base& other) const;
  virtual bool operator>(const FlaggedVar_Base& other) const;

  // 2 boolean, 3 unsigned, 5 string, 6 string list; 0 for the base classes.
  virtual int TypeCode() const;

  // Numeric views of the value text (a boolean's "true"/"false" gives 0).
  // AsInt: signed 32-bit, saturating. AsUInt: signed 64-bit parse, negative
  // gives 0, low 32 bits. AsFloat/AsDouble: leading decimal number, else 0.
  virtual std::int32_t AsInt() const = 0;
  virtual std::uint32_t AsUInt() const = 0;
  virtual float AsFloat() const = 0;
  virtual double AsDouble() const = 0;

  CBase_ConfigFile* Owner() const { return owner_; }

 protected:
  // Tells the owner, if any, that the value changed.
  void MarkOwnerDirty();

 private:
  friend class CBase_ConfigFile;
  CBase_ConfigFile* owner_ = nullptr;
};

template <typename T>
class FlaggedVar_internal : public FlaggedVar_Base {
 public:
  FlaggedVar_internal();

  bool IsAssigned() const override { return (flags_ & kAssigned) != 0; }
  void SetCommentIndex(std::uint16_t index) override { commentIndex_ = index; }
  const std::u16string& GetComment(const std::vector<std::u16string>& table) const override;
  void SetNameIndex(std::uint16_t index) override { nameIndex_ = index; }
  const std::u16string& GetName(const std::vector<std::u16string>& table) const override;
  bool SetFromText(std::u16string_view text) override;
  bool WasClamped() const override { return (flags_ & kClamped) != 0; }
  std::u16string GetMinText() const override;
  std::u16string GetMaxText() const override;
  std::u16string GetValueText() const override;
  std::int32_t AsInt() const override;
  std::uint32_t AsUInt() const override;
  float AsFloat() const override;
  double AsDouble() const override;

  // The typed assignment: normalises the value through its text form, clamps
  // it when a range is set, marks the owner dirty when the value changed.
  // False when the value was clamped.
  bool Set(T value);
  // Set, then clears the Assigned flag.
  void SetDefault(T value);
  // Turns on range checking for later assignments; the current value stays.
  void SetRange(T minimum, T maximum);

  const T& Value() const { return value_; }
  const T& Minimum() const { return minimum_; }
  const T& Maximum() const { return maximum_; }
  std::uint8_t Flags() const { return flags_; }
  std::uint16_t CommentIndex() const { return commentIndex_; }
  std::uint16_t NameIndex() const { return nameIndex_; }

 private:
  T value_;
  T minimum_;
  T maximum_;
  std::uint8_t flags_ = 0;
  std::uint16_t commentIndex_ = kNoIndex;
  std::uint16_t nameIndex_ = kNoIndex;
};

extern template class FlaggedVar_internal<bool>;
extern template class FlaggedVar_internal<std::uint32_t>;
extern template class FlaggedVar_internal<std::u16string>;
extern template class FlaggedVar_internal<std::vector<std::u16string>>;

template <typename T>
struct FlaggedVarTypeCode;
template <>
struct FlaggedVarTypeCode<bool> {
  static constexpr int value = 2;
};
template <>
struct FlaggedVarTypeCode<std::uint32_t> {
  static constexpr int value = 3;
};
template <>
struct FlaggedVarTypeCode<std::u16string> {
  static constexpr int value = 5;
};
template <>
struct FlaggedVarTypeCode<std::vector<std::u16string>> {
  static constexpr int value = 6;
};

template <typename T>
class FlaggedVar : public FlaggedVar_internal<T> {
 public:
  int TypeCode() const override { return FlaggedVarTypeCode<T>::value; }
};
