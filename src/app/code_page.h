#pragma once
// Conversion between the program's Text (GB18030 bytes) and UTF-8, for the places where text
// crosses into the toolkit, the web view or the desktop. Never fails: bytes that do not convert
// become U+FFFD (to UTF-8) or are dropped (from UTF-8).

#include <string>
#include <string_view>

#include "app/text.h"

namespace sousuo {

std::string toUtf8(std::string_view text);
Text fromUtf8(std::string_view utf8);

}  // namespace sousuo
