#include "rules/path_helpers.h"

std::u16string GetFileNamePart(std::u16string_view path) {
  const std::size_t last = path.find_last_of(u"\\/");
  return std::u16string(last == std::u16string_view::npos ? path : path.substr(last + 1));
}

std::u16string GetExtension(std::u16string_view path) {
  const std::size_t dot = path.rfind(u'.');
  return dot == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(dot + 1));
}
