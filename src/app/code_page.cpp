#include "app/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace sousuo {
namespace {

struct IconvCloser {
    void operator()(iconv_t handle) const { iconv_close(handle); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

std::string convertLossy(std::string_view input, const char* to, const char* from,
                         std::string_view replacement) {
    std::string output;
    if (input.empty()) return output;
    iconv_t raw = iconv_open(to, from);
    if (raw == reinterpret_cast<iconv_t>(-1)) return output;
    const IconvHandle converter(raw);

    std::string chunk(input.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = chunk.data();
        std::size_t outLeft = chunk.size();
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        output.append(chunk.data(), chunk.size() - outLeft);
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or incomplete sequence: replace one byte and go on after it.
        output += replacement;
        ++in;
        --inLeft;
    }
    return output;
}

}  // namespace

std::string toUtf8(std::string_view text) {
    return convertLossy(text, "UTF-8", "GB18030", "\xEF\xBF\xBD");
}

Text fromUtf8(std::string_view utf8) { return convertLossy(utf8, "GB18030", "UTF-8", ""); }

}  // namespace sousuo
