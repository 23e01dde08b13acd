#include "config/config_file.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "app/log.h"
#include "base/format.h"
#include "base/text.h"
#include "config/archive_codec.h"
#include "config/file_io.h"

namespace {

static_assert(CBase_ConfigFile::kLineBreakMarker.size() == 48);

const std::vector<std::u16string> kNoNames;

std::string ToUtf16LeBytes(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return bytes;
}

// The byte count must be even.
std::u16string FromUtf16LeBytes(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[i]);
    const auto high = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<char16_t>(low | (high << 8)));
  }
  return text;
}

// Marker -> LF, no trailing line breaks, and every inner line trimmed and
// joined with CR LF.
std::u16string DecodeValue(std::u16string_view value) {
  std::u16string decoded = ReplaceAll(value, CBase_ConfigFile::kLineBreakMarker, u"\n");
  while (!decoded.empty() && (decoded.back() == u'\r' || decoded.back() == u'\n')) {
    decoded.pop_back();
  }
  if (decoded.find(u'\n') == std::u16string::npos) {
    return decoded;
  }
  std::u16string joined;
  const std::vector<std::u16string> lines = Split(decoded, u"\n");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) {
      joined += u"\r\n";
    }
    joined += TrimBlanks(lines[i]);
  }
  return joined;
}

void LogLineDiagnostic(std::size_t line, std::u16string_view problem) {
  Log(Format(u"line %i: %s", static_cast<int>(line), problem));
}

}  // namespace

void CBase_ConfigFile::Initialize(ConfigSchema* schema) {
  schema_ = schema;
  RegisterVariables();
  AssignNames();

  const std::size_t count = registered_.size();
  if (schema_ != nullptr && schema_->orderCache.size() == count &&
      std::all_of(schema_->orderCache.begin(), schema_->orderCache.end(),
                  [count](std::uint32_t index) { return index < count; })) {
    sorted_.clear();
    for (const std::uint32_t index : schema_->orderCache) {
      sorted_.push_back(registered_[index]);
    }
    return;
  }

  const std::vector<std::u16string>& names = KeyNames();
  std::vector<std::uint32_t> order(count);
  for (std::size_t i = 0; i < count; ++i) {
    order[i] = static_cast<std::uint32_t>(i);
  }
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return registered_[a]->GetName(names) < registered_[b]->GetName(names);
  });
  sorted_.clear();
  for (const std::uint32_t index : order) {
    sorted_.push_back(registered_[index]);
  }
  if (schema_ != nullptr) {
    schema_->orderCache = std::move(order);
  }
}

const std::vector<std::u16string>& CBase_ConfigFile::KeyNames() const {
  return schema_ != nullptr ? schema_->keyNames : kNoNames;
}

void CBase_ConfigFile::RegisterVariable(FlaggedVar_Base& variable) {
  variable.owner_ = this;
  registered_.push_back(&variable);
}

FlaggedVar_Base* CBase_ConfigFile::FindVariable(std::u16string_view name) const {
  const std::vector<std::u16string>& names = KeyNames();
  const auto hit = std::lower_bound(sorted_.begin(), sorted_.end(), name,
                                    [&](const FlaggedVar_Base* variable, std::u16string_view key) {
                                      return std::u16string_view(variable->GetName(names)) < key;
                                    });
  if (hit == sorted_.end() || (*hit)->GetName(names) != name) {
    return nullptr;
  }
  return *hit;
}

void CBase_ConfigFile::SetDirty(bool dirty) {
  if (dirty) {
    flags_ |= kDirty;
  } else {
    flags_ &= static_cast<std::uint8_t>(~kDirty);
  }
}

void CBase_ConfigFile::MarkDirtyAndReset() {
  MarkDirty();
  ResetToDefaults();
}

std::u16string CBase_ConfigFile::BuildText() const {
  const std::vector<std::u16string>& names = KeyNames();
  std::u16string text;
  for (const FlaggedVar_Base* variable : registered_) {
    text += variable->GetName(names);
    text += u" = ";
    text += ReplaceAll(NormalizeLineBreaks(variable->GetValueText()), u"\n", kLineBreakMarker);
    text += u"\r\n";
  }
  return text;
}

void CBase_ConfigFile::ApplyText(std::u16string_view text) {
  std::vector<std::u16string> lines = Split(NormalizeLineBreaks(text), u"\n");
  // The break that ends the last line does not start another one.
  if (!lines.empty() && lines.back().empty()) {
    lines.pop_back();
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::u16string& line = lines[i];
    const std::size_t equals = line.find(u'=');
    if (equals == std::u16string::npos) {
      LogLineDiagnostic(i, u"ERROR: Expected field name and assignment surrounding '=' operator");
      continue;
    }
    const std::u16string key = TrimBlanks(std::u16string_view(line).substr(0, equals));
    std::u16string value = TrimBlanks(std::u16string_view(line).substr(equals + 1));
    if (!value.empty()) {
      value = DecodeValue(value);
    }
    if (key.empty()) {
      LogLineDiagnostic(i, u"ERROR: Field name cannot be NULL");
      continue;
    }
    FlaggedVar_Base* variable = FindVariable(key);
    if (variable == nullptr) {
      continue;
    }
    if (!variable->SetFromText(value)) {
      LogLineDiagnostic(i, Format(u"WARNING: Variable assignment was clamped. Valid range is "
                                  u"\"%s\" to \"%s\"",
                                  variable->GetMinText(), variable->GetMaxText()));
    }
  }
}

bool CBase_ConfigFile::Load(std::u16string_view path, std::u16string& message) {
  path_.assign(path);
  message.clear();
  MarkDirtyAndReset();

  std::string bytes;
  if (!ReadWholeFile(path_, bytes)) {
    message = Format(u"Failed to open \"%s\"", path_);
    SetDirty(true);
    return false;
  }
  const std::string plain = ArchiveDecode(bytes);
  if (plain.empty() || plain.size() % 2 != 0) {
    message = Format(u"Failed to open \"%s\", archive is damaged", path_);
    SetDirty(true);
    return false;
  }
  ApplyText(FromUtf16LeBytes(plain));
  message = Format(u"Successfully read file \"%s\"", path_);
  SetDirty(false);
  return true;
}

bool CBase_ConfigFile::Save(std::u16string& message) {
  message.clear();
  const std::string archive = ArchiveEncode(ToUtf16LeBytes(BuildText()));
  const bool written = !archive.empty() && ReplaceFileContent(path_, archive);
  message = Format(written ? u"Wrote config to \"%s\"" : u"ERROR: Failed to write config to \"%s\"",
                   path_);
  SetDirty(!written);
  return written;
}
