#include "remote/bytes_to_text.h"

#include <algorithm>

namespace sousuo {

Text bytesToText(const Bytes& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), end);
}

}  // namespace sousuo
