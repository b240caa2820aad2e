#pragma once
// Which banner links may be handed to the desktop's default handler.

#include <optional>
#include <string>

#include "app/text.h"

namespace sousuo {

/// The link as a UTF-8 URI when it is a web address that is safe to open: trailing CR, LF, tabs
/// and spaces trimmed, scheme http or https (any case) followed by "//" and a host, and no space
/// or control character left anywhere. Nothing for any other link, the empty one included.
std::optional<std::string> openableLink(const Text& link);

}  // namespace sousuo
