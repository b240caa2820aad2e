#pragma once
// Turning a downloaded body into Text.

#include "app/text.h"

namespace sousuo {

/// The bytes before the first zero byte (all of them when none is zero), copied as they are:
/// no code-page conversion. The empty buffer gives the empty text. Any thread.
Text bytesToText(const Bytes& bytes);

}  // namespace sousuo
