// Turning a downloaded body into Text: up to the first zero byte, bytes unchanged.

#include <gtest/gtest.h>

#include "remote/bytes_to_text.h"

namespace sousuo {
namespace {

TEST(BytesToText, TakesTheBytesBeforeTheFirstZeroUnconverted) {
    const struct {
        Bytes bytes;
        Text text;
    } rows[] = {
        {{'1', '.', '0', 0, 'x', 'y', 'z'}, "1.0"},
        {bytesOf("abc"), "abc"},
        {{}, ""},
        {{0, 'a', 'b'}, ""},
        {{'1', '.', '0', '\r', '\n'}, "1.0\r\n"},
        // GB18030 bytes of two Chinese characters stay as they are.
        {{0xCB, 0xD1, 0xCB, 0xF7, 0, 0xB0}, "\xCB\xD1\xCB\xF7"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(bytesToText(row.bytes), row.text);
    }
}

}  // namespace
}  // namespace sousuo
