#pragma once
// The query as it goes into the search address: its UTF-8 bytes, each written as "%XX".

#include "app/app_context.h"

namespace sousuo {

/// Every byte as "%" and two upper-case hexadecimal digits, in order; nothing passes unencoded.
Text percentEncode(const Bytes& bytes);

/// Reads queryEdit's text (GB18030), converts it to UTF-8 and replaces encodedQuery whole with its
/// percent-encoding. A conversion that fails leaves encodedQuery empty. Window thread.
void encodeQuery(AppContext& context);

}  // namespace sousuo
