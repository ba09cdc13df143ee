#pragma once

#include "core/runtime_error.h"

namespace torvane::forms {

// The windows' own kinds of run-time error.
inline constexpr ErrorKind kControlAccess{"Control access"};  // a window was asked for a control it does not have
inline constexpr ErrorKind kTooLong{"Text too long"};         // a text would make a field longer than a field holds

}  // namespace torvane::forms
