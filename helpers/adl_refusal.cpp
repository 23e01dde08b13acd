#include "helpers/adl_refusal.h"

#include "base/format.h"

namespace {

const char16_t* Meaning(int code) {
  switch (code) {
    case -1:
      return u"a generic error";
    case -2:
      return u"the library is not initialised";
    case -3:
      return u"a parameter is invalid";
    case -4:
      return u"a structure has the wrong size";
    case -5:
      return u"the adapter index is invalid";
    case -6:
      return u"the controller index is invalid";
    case -7:
      return u"the display index is invalid";
    case -8:
      return u"the feature is not supported";
    case -9:
      return u"a pointer is null";
    case -10:
      return u"the adapter is disabled";
    case -11:
      return u"the callback is invalid";
    case -12:
      return u"the resource is in use";
    case -20:
      return u"the settings were applied only in part";
    case -21:
      return u"there is no display connection";
    default:
      return u"an unknown error";
  }
}

}  // namespace

std::u16string AdlRefusal(std::u16string_view function, int code) {
  return Format(u"%s refused: %s (%i)", function, Meaning(code), code);
}
