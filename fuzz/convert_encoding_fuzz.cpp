// Character-set conversion of outside bytes (the query, texts from the content server).

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "fuzz_check.h"
#include "search/convert_encoding.h"

namespace {

// The first byte picks a pair: the ones the program uses first, then a few with shift states,
// two-byte units and unknown names.
constexpr std::string_view Charsets[] = {"GB2312", "UTF-8",    "GB18030", "gbk",
                                         "UTF-16", "UTF-16LE", "BIG5",    "ISO-2022-JP",
                                         "UTF-7",  "ASCII",    "no-such", ""};
constexpr std::size_t CharsetCount = std::size(Charsets);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view from = Charsets[data[0] % CharsetCount];
    const std::string_view to = Charsets[data[0] / CharsetCount % CharsetCount];
    const sousuo::Bytes input(data + 1, data + size);
    bool succeeded = true;
    const sousuo::Bytes output = sousuo::convertEncoding(input, from, to, &succeeded);
    // A failure never gives partial output.
    FUZZ_CHECK(succeeded || output.empty());
    return 0;
}
