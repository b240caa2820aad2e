// The INI reader and writer on the bytes of a position file that anyone may have edited.
//
// Input: three length bytes, then a section name, a key and a value built from the next bytes,
// then the file's contents. The names and the value are made from letters, digits and GB
// double-byte characters, the kinds of names the program writes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "placement/ini_file.h"

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

    // A name or value of at most `length` bytes: ASCII letters and digits, or a double-byte GB
    // character where the byte asks for one (and the length allows both of its bytes).
    std::string word(std::size_t length, bool spaces) {
        static constexpr std::string_view Ascii =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
        std::string text;
        while (text.size() < length) {
            const std::uint8_t b = byte();
            if (b >= 0xC0 && text.size() + 2 <= length) {
                text += static_cast<char>(0x81 + b % 0x7E);       // lead byte 81..FE
                text += static_cast<char>(0x40 + byte() % 0x3F);  // trail byte 40..7E
            } else if (spaces && b == ' ' && !text.empty() && text.size() + 1 < length) {
                text += ' ';
            } else {
                text += Ascii[b % Ascii.size()];
            }
        }
        return text;
    }

    std::string_view rest() const {
        return {reinterpret_cast<const char*>(data_) + at_, size_ - at_};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const std::size_t sectionLength = 1 + input.byte() % 12;
    const std::size_t keyLength = 1 + input.byte() % 12;
    const std::size_t valueLength = input.byte() % 24;
    const std::string section = input.word(sectionLength, false);
    const std::string key = input.word(keyLength, false);
    const std::string value = input.word(valueLength, true);
    const std::string_view contents = input.rest();

    const sousuo::Text found = sousuo::iniValueIn(contents, section, key);
    FUZZ_CHECK(found.size() <= sousuo::MaxIniValueSize);
    FUZZ_CHECK(found.find('\0') == std::string::npos);

    // Whatever the file held before, a value written is the value read back.
    const std::string written = sousuo::withIniValue(contents, section, key, value);
    FUZZ_CHECK(sousuo::iniValueIn(written, section, key) == value);
    return 0;
}
