// Numbers read from the position file.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "placement/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const sousuo::Text text(reinterpret_cast<const char*>(data), size);
    (void)sousuo::textToInt(text);

    // Every number the program writes reads back as itself.
    if (size >= 4) {
        std::int32_t number = 0;
        std::memcpy(&number, data, sizeof number);
        FUZZ_CHECK(sousuo::textToInt(sousuo::intToText(number)) == number);
    }
    return 0;
}
