#include "search/convert_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

namespace sousuo {
namespace {

struct IconvCloser {
    void operator()(iconv_t handle) const { iconv_close(handle); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// How often the output buffer may grow before the conversion gives up.
constexpr int MaxEnlargements = 11;

std::string upperCase(std::string_view name) {
    std::string result(name);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

IconvHandle openConverter(std::string_view fromCharset, std::string_view toCharset) {
    const std::string to = upperCase(toCharset);
    const std::string from = upperCase(fromCharset);
    iconv_t raw = iconv_open(to.c_str(), from.c_str());
    if (raw == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return IconvHandle(raw);
}

// Runs the conversion into a buffer that starts as long as the input and grows by half the input
// plus 128 bytes whenever iconv reports it full. Nothing on any failure.
std::optional<Bytes> convertWith(iconv_t converter, const Bytes& bytes) {
    const std::size_t growth = bytes.size() / 2 + 128;
    Bytes output(bytes.size());
    std::size_t produced = 0;
    int enlargements = 0;

    // iconv takes a non-const input pointer but never writes through it.
    char* in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    bool flushing = false;  // after the input, a stateful target may still emit a reset sequence
    for (;;) {
        char* out = reinterpret_cast<char*>(output.data()) + produced;
        std::size_t outLeft = output.size() - produced;
        const std::size_t result = flushing ? iconv(converter, nullptr, nullptr, &out, &outLeft)
                                            : iconv(converter, &in, &inLeft, &out, &outLeft);
        produced = output.size() - outLeft;
        if (result != static_cast<std::size_t>(-1)) {
            if (flushing) break;
            flushing = true;
            continue;
        }
        if (errno != E2BIG) return std::nullopt;  // EILSEQ, EINVAL: invalid or incomplete input
        if (enlargements == MaxEnlargements) return std::nullopt;
        ++enlargements;
        output.resize(output.size() + growth);
    }
    output.resize(produced);
    return output;
}

}  // namespace

Bytes convertEncoding(const Bytes& bytes, std::string_view fromCharset, std::string_view toCharset,
                      bool* succeeded) {
    if (succeeded != nullptr) *succeeded = false;
    const IconvHandle converter = openConverter(fromCharset, toCharset);
    if (!converter || bytes.empty()) return {};
    std::optional<Bytes> output;
    try {
        output = convertWith(converter.get(), bytes);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (!output) return {};
    if (succeeded != nullptr) *succeeded = true;
    return std::move(*output);
}

}  // namespace sousuo
