#include "rules/rule.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "base/format.h"
#include "base/text.h"

namespace {

constexpr std::int64_t kMaxNumber = 2147483647;

struct ActionInfo {
  std::u16string_view name;
  std::uint32_t rank;
};

// Indexed by action value.
constexpr std::array<ActionInfo, kActionCount> kActions = {{
    {u"Block", 6},
    {u"Block if in the foreground", 7},
    {u"Block if in the background", 8},
    {u"Downclock", 3},
    {u"Downclock if in the foreground", 4},
    {u"Downclock if in the background", 5},
    {u"[ADL] Force-Downclock", 0},
    {u"[ADL] Force-Downclock if in the foreground", 1},
    {u"[ADL] Force-Downclock if in the background", 2},
}};

const ActionInfo* FindAction(ActionType action) {
  const auto value = static_cast<std::uint32_t>(action);
  return value < kActions.size() ? &kActions[value] : nullptr;
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool AllDigits(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), IsDigit);
}

// The decimal value of a run of digits, capped at kMaxNumber.
std::int64_t ParseCapped(std::u16string_view digits) {
  std::int64_t value = 0;
  for (char16_t c : digits) {
    value = std::min(value * 10 + (c - u'0'), kMaxNumber);
  }
  return value;
}

// Takes the leading run of digits, or of non-digits, off the front of text.
std::u16string_view TakeChunk(std::u16string_view& text) {
  if (text.empty()) {
    return text;
  }
  const bool digits = IsDigit(text.front());
  std::size_t length = 1;
  while (length < text.size() && IsDigit(text[length]) == digits) {
    ++length;
  }
  const std::u16string_view chunk = text.substr(0, length);
  text.remove_prefix(length);
  return chunk;
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

// Shared by the const and non-const FindRule.
template <typename Table>
auto FindIn(Table& table, std::u16string_view name) -> decltype(&table.front()) {
  for (auto& rule : table) {
    if (EqualsNoCase(rule.executable, name)) {
      return &rule;
    }
  }
  return nullptr;
}

Rule MakeSpecialRule(std::u16string_view name, ActionType action, bool enabled) {
  Rule rule;
  rule.executable = std::u16string(name);
  rule.action = action;
  rule.enabled = enabled;
  return rule;
}

}  // namespace

std::u16string GetActionName(ActionType action) {
  const ActionInfo* info = FindAction(action);
  return info ? std::u16string(info->name) : std::u16string();
}

int GetActionFromName(std::u16string_view text) {
  const std::u16string trimmed = TrimBlanks(text);
  for (std::size_t i = 0; i < kActions.size(); ++i) {
    if (EqualsNoCase(trimmed, kActions[i].name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::uint32_t GetActionRank(ActionType action) {
  const ActionInfo* info = FindAction(action);
  return info ? info->rank : kActionCount;
}

bool IsSpecialRule(std::u16string_view executable) {
  const std::u16string name = TrimBlanks(executable);
  return EqualsNoCase(name, kDefaultRuleName) || EqualsNoCase(name, kFullscreenRuleName) ||
         EqualsNoCase(name, k3DRuleName);
}

bool IsRuleActive(const Rule& rule) {
  return EqualsNoCase(rule.executable, kDefaultRuleName) || rule.enabled;
}

std::u16string NormalizeClockText(std::u16string_view text) {
  if (text.empty()) {
    return std::u16string(kDefaultClockText);
  }
  const bool offset = text.front() == u'+' || text.front() == u'-';
  const bool minus = text.front() == u'-';
  const std::u16string body = TrimBlanks(offset ? text.substr(1) : text);
  if (!AllDigits(body)) {
    return std::u16string(kDefaultClockText);
  }
  const std::int64_t value = ParseCapped(body);
  const char16_t* sign = u"";
  if (offset) {
    sign = (minus && value > 0) ? u"-" : u"+";
  }
  return Format(u"%s%i", sign, value);
}

std::u16string GetCoreClock(const Rule& rule) {
  return NormalizeClockText(rule.coreClock);
}

std::u16string GetMemClock(const Rule& rule) {
  return NormalizeClockText(rule.memClock);
}

bool AddRule(RuleTable& table, std::u16string_view executable, ActionType action, bool enabled,
             std::uint32_t priorityHint, std::u16string_view coreClock,
             std::u16string_view memClock) {
  std::u16string name = TrimBlanks(executable);
  if (name.empty() || RuleExists(table, name) || !FindAction(action)) {
    return false;
  }
  Rule rule;
  rule.executable = std::move(name);
  rule.coreClock = std::u16string(coreClock);
  rule.memClock = std::u16string(memClock);
  rule.action = action;
  rule.priorityHint = priorityHint;
  rule.enabled = enabled;
  table.push_back(std::move(rule));
  return true;
}

bool DeleteRule(RuleTable& table, std::u16string_view name) {
  const std::u16string trimmed = TrimBlanks(name);
  const auto removed = std::erase_if(
      table, [&](const Rule& rule) { return EqualsNoCase(rule.executable, trimmed); });
  return removed > 0;
}

Rule* FindRule(RuleTable& table, std::u16string_view name) {
  return FindIn(table, name);
}

const Rule* FindRule(const RuleTable& table, std::u16string_view name) {
  return FindIn(table, name);
}

bool RuleExists(const RuleTable& table, std::u16string_view name) {
  return FindRule(table, TrimBlanks(name)) != nullptr;
}

bool ChangePriorityHints(RuleTable& table, std::uint32_t from, std::uint32_t to) {
  bool changed = false;
  for (Rule& rule : table) {
    if (rule.priorityHint == from && !IsSpecialRule(rule.executable)) {
      // from == to matches without changing anything.
      changed = changed || from != to;
      rule.priorityHint = to;
    }
  }
  return changed;
}

bool RuleOrder(const Rule& a, const Rule& b) {
  if (a.priorityHint != b.priorityHint) {
    return a.priorityHint > b.priorityHint;
  }
  const std::uint32_t rankA = GetActionRank(a.action);
  const std::uint32_t rankB = GetActionRank(b.action);
  if (rankA != rankB) {
    return rankA < rankB;
  }
  return NaturalCompare(a.executable, b.executable) < 0;
}

RuleTable NormalizeRuleTable(RuleTable rules) {
  for (Rule& rule : rules) {
    rule.coreClock = GetCoreClock(rule);
    rule.memClock = GetMemClock(rule);
  }

  RuleTable result;
  RuleTable specials;
  result.reserve(rules.size() + 3);
  for (Rule& rule : rules) {
    (IsSpecialRule(rule.executable) ? specials : result).push_back(std::move(rule));
  }
  std::stable_sort(result.begin(), result.end(), RuleOrder);

  const Rule defaults[] = {
      MakeSpecialRule(kFullscreenRuleName, ActionType::Block, true),
      MakeSpecialRule(k3DRuleName, ActionType::Block, false),
      MakeSpecialRule(kDefaultRuleName, ActionType::Downclock, true),
  };
  for (const Rule& fallback : defaults) {
    bool found = false;
    for (Rule& rule : specials) {
      if (EqualsNoCase(TrimBlanks(rule.executable), fallback.executable)) {
        result.push_back(std::move(rule));
        found = true;
      }
    }
    if (!found) {
      result.push_back(fallback);
    }
  }
  return result;
}

bool TablesEqual(const RuleTable& a, const RuleTable& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Rule& x, const Rule& y) {
    return x.executable == y.executable && x.coreClock == y.coreClock && x.memClock == y.memClock &&
           x.action == y.action && x.priorityHint == y.priorityHint && x.enabled == y.enabled;
  });
}

int NaturalCompare(std::u16string_view a, std::u16string_view b) {
  while (!a.empty() || !b.empty()) {
    const std::u16string_view chunkA = TakeChunk(a);
    const std::u16string_view chunkB = TakeChunk(b);
    const bool digitsA = !chunkA.empty() && IsDigit(chunkA.front());
    const bool digitsB = !chunkB.empty() && IsDigit(chunkB.front());
    int result = 0;
    if (digitsA && digitsB) {
      const std::int64_t valueA = ParseCapped(chunkA);
      const std::int64_t valueB = ParseCapped(chunkB);
      result = (valueA > valueB) - (valueA < valueB);
    } else {
      result = Sign(chunkA.compare(chunkB));
      if (result == 0 && digitsA != digitsB) {
        result = 1;
      }
    }
    if (result != 0) {
      return result;
    }
  }
  return 0;
}
