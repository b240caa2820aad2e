// JPEG through libjpeg-turbo. libjpeg reports errors by calling error_exit, which must not return;
// ours jumps back to the one function that calls into the library, so a broken file ends the
// decode instead of the process.

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "app/picture_decoders.h"

namespace sousuo {
namespace {

// Real progressive files have around ten scans; thousands of tiny scans only make decoding slow.
constexpr int MaxScans = 256;

struct ErrorManager {
    jpeg_error_mgr base{};
    std::jmp_buf jump{};
};

[[noreturn]] void jumpOut(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr info, int level) {
    // Level -1 is a warning about corrupt data. libjpeg goes on after most of them, but a file that
    // ends early would show a grey lower part: such a picture did not decode.
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) jumpOut(info);
}

void onProgress(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans) jumpOut(info);
}

void silent(j_common_ptr) {}

/// Owns the decompressor; destroying a never-created one is harmless because its memory manager
/// is still null.
struct Decompressor {
    jpeg_decompress_struct info{};
    ErrorManager errors;
    jpeg_progress_mgr progress{};

    Decompressor() {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = jumpOut;
        errors.base.emit_message = onMessage;
        errors.base.output_message = silent;
        progress.progress_monitor = onProgress;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

// Every libjpeg call sits in this one function, below the setjmp, and only trivially destructible
// locals live here, so the jump back skips no destructor. Results go to objects of the caller.
bool readFrame(Decompressor& d, const Bytes& bytes, PictureFrame& frame) {
    if (setjmp(d.errors.jump) != 0) return false;
    jpeg_create_decompress(&d.info);
    // Multi-scan files keep coefficient buffers; past this much libjpeg fails instead of growing.
    d.info.mem->max_memory_to_use = static_cast<long>(MaxPictureBytes);
    d.info.progress = &d.progress;
    jpeg_mem_src(&d.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) return false;
    if (!fitsPictureBudget(d.info.image_width, d.info.image_height)) return false;

    d.info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&d.info);
    if (d.info.output_width != d.info.image_width || d.info.output_height != d.info.image_height) {
        return false;
    }
    frame =
        makeFrame(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height));
    const std::size_t stride = static_cast<std::size_t>(frame.width) * 4;
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = frame.rgba.data() + d.info.output_scanline * stride;
        if (jpeg_read_scanlines(&d.info, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace

std::optional<Picture> decodeJpeg(const Bytes& bytes) {
    Decompressor decompressor;
    PictureFrame frame;
    if (!readFrame(decompressor, bytes, frame)) return std::nullopt;
    Picture picture;
    picture.frames.push_back(std::move(frame));
    return picture;
}

}  // namespace sousuo
