#include "search/query_encoding.h"

#include "search/convert_encoding.h"

namespace sousuo {

Text percentEncode(const Bytes& bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    Text encoded;
    encoded.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        encoded += '%';
        encoded += Digits[byte >> 4];
        encoded += Digits[byte & 0x0F];
    }
    return encoded;
}

void encodeQuery(AppContext& context) {
    const Text query = readText(context.window, Control::queryEdit, prop::text);
    // From the program's own code page, so that every character the user can type (GBK
    // extensions, four-byte characters, emoji) reaches the search.
    const Bytes utf8 = convertEncoding(bytesOf(query), "GB18030", "UTF-8");
    context.texts.encodedQuery = percentEncode(utf8);
}

}  // namespace sousuo
