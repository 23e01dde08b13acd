// The rule model: what the GPU clocks should do while given programs run.
// The scanner walks a RuleTable from the top and the first applying rule
// decides. The table is kept in a normal form (NormalizeRuleTable) in which
// the priority hint is the user's only lever on the order.
//
// Table operations take no lock; callers hold the rule table's lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Special executable names (recognised case-insensitively) and the clock text
// that means "no override".
inline constexpr std::u16string_view kFullscreenRuleName = u"FULLSCREEN_PROGRAM";
inline constexpr std::u16string_view k3DRuleName = u"3D_PROGRAM";
inline constexpr std::u16string_view kDefaultRuleName = u"DEFAULT";
inline constexpr std::u16string_view kDefaultClockText = u"DEFAULT";

// Valid values are 0 to 8. The underlying type is fixed, so a decoder may hold
// any 32-bit value in an ActionType; GetActionName tells valid from invalid.
enum class ActionType : std::uint32_t {
  Block = 0,
  BlockIfForeground = 1,
  BlockIfBackground = 2,
  Downclock = 3,
  DownclockIfForeground = 4,
  DownclockIfBackground = 5,
  ForceDownclock = 6,
  ForceDownclockIfForeground = 7,
  ForceDownclockIfBackground = 8,
};

inline constexpr std::uint32_t kActionCount = 9;

struct Rule {
  // A full path, a bare file name, a wildcard pattern containing "*", or one
  // of the special names.
  std::u16string executable;
  // Clock override texts; read them through GetCoreClock / GetMemClock.
  std::u16string coreClock = std::u16string(kDefaultClockText);
  std::u16string memClock = std::u16string(kDefaultClockText);
  ActionType action = ActionType::Block;
  // Larger values sort earlier.
  std::uint32_t priorityHint = 0;
  // A disabled rule is skipped by the scanner ("DEFAULT" is never disabled).
  bool enabled = true;
};

using RuleTable = std::vector<Rule>;

// The display name ("Block", "[ADL] Force-Downclock if in the foreground", ...)
// or "" for a value outside 0 to 8.
std::u16string GetActionName(ActionType action);
// The action whose display name equals the trimmed text (case-insensitive),
// as 0 to 8, or -1 when none does.
int GetActionFromName(std::u16string_view text);
// Orders actions of equal priority: force family 0-2, down-clock family 3-5,
// block family 6-8 (plain, foreground, background). Values outside 0 to 8 get
// kActionCount, after every valid action.
std::uint32_t GetActionRank(ActionType action);

// "DEFAULT", "FULLSCREEN_PROGRAM" or "3D_PROGRAM" after trimming, ignoring case.
bool IsSpecialRule(std::u16string_view executable);
// The rule's enabled flag, except that "DEFAULT" is always active.
bool IsRuleActive(const Rule& rule);

// One of "DEFAULT", "+N", "-N" (N > 0) or "N", N decimal without leading
// zeros and at most 2147483647. Unreadable text gives "DEFAULT".
std::u16string NormalizeClockText(std::u16string_view text);
// The rule's clocks in normal form; every reader of a rule's clocks uses these.
std::u16string GetCoreClock(const Rule& rule);
std::u16string GetMemClock(const Rule& rule);

// Appends a rule with the trimmed executable. Fails, changing nothing, when
// the trimmed executable is empty, already present (ignoring case), or the
// action is not 0 to 8. Clock texts are stored as passed.
bool AddRule(RuleTable& table, std::u16string_view executable, ActionType action, bool enabled,
             std::uint32_t priorityHint, std::u16string_view coreClock = kDefaultClockText,
             std::u16string_view memClock = kDefaultClockText);
// Removes every rule whose executable equals the trimmed name (ignoring case).
// True when at least one was removed.
bool DeleteRule(RuleTable& table, std::u16string_view name);
// The first rule from the top whose executable equals the name (ignoring
// case, not trimmed), or nullptr. The pointer is valid until the table changes.
Rule* FindRule(RuleTable& table, std::u16string_view name);
const Rule* FindRule(const RuleTable& table, std::u16string_view name);
// Whether some rule's executable equals the trimmed name (ignoring case).
bool RuleExists(const RuleTable& table, std::u16string_view name);
// Moves every non-special rule with hint `from` to hint `to`; true when any
// rule changed.
bool ChangePriorityHints(RuleTable& table, std::uint32_t from, std::uint32_t to);

// Whether a sorts before b among the non-special rules: larger hint first, then
// smaller action rank, then NaturalCompare of the executables.
bool RuleOrder(const Rule& a, const Rule& b);
// The normal form: the non-special rules stably sorted by RuleOrder, then the
// FULLSCREEN_PROGRAM, 3D_PROGRAM and DEFAULT rules, each group in its previous
// order, with a default rule added for a missing group. Clock texts are
// brought to their normal form.
RuleTable NormalizeRuleTable(RuleTable rules);
// Same length and, position by position, the same fields (texts compared
// exactly).
bool TablesEqual(const RuleTable& a, const RuleTable& b);

// Compares runs of digits by value (capped at 2147483647) and other runs by
// UTF-16 code units, so "game2" < "game10", "Game" < "game", "a01" == "a1".
// Negative, zero or positive.
int NaturalCompare(std::u16string_view a, std::u16string_view b);
