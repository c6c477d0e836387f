#include "reports/uJpegFile.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string_view>

#include <jerror.h>
#include <jpeglib.h>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return.
// Throwing through libjpeg's C frames is not safe, so the handler jumps back
// to compressGrey, whose frame holds only trivially destructible objects.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings would go to stderr; a station has no one reading it.
void ignoreMessage(j_common_ptr) {}

// A growing malloc'ed buffer owned by the caller, so that nothing leaks
// when compression is abandoned half way (jpeg_mem_dest keeps its buffer to
// itself until the end).
struct MemoryDestination {
    jpeg_destination_mgr pub;
    unsigned char* buffer;
    std::size_t capacity;
    std::size_t size;
};

constexpr std::size_t kInitialBuffer = 64 * 1024;

void initDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->buffer = static_cast<unsigned char*>(std::malloc(kInitialBuffer));
    if (dest->buffer == nullptr) ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    dest->capacity = kInitialBuffer;
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->capacity;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    const std::size_t grown = dest->capacity * 2;
    auto* bigger = static_cast<unsigned char*>(std::realloc(dest->buffer, grown));
    if (bigger == nullptr) ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    // libjpeg calls this only with the buffer full.
    dest->buffer = bigger;
    dest->pub.next_output_byte = bigger + dest->capacity;
    dest->pub.free_in_buffer = grown - dest->capacity;
    dest->capacity = grown;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->size = dest->capacity - dest->pub.free_in_buffer;
}

// Compresses into dest. On a libjpeg error returns false with its text in
// message. No object with a destructor may live in this frame (longjmp).
bool compressGrey(const uint8_t* pixels, int width, int height, int quality, MemoryDestination* dest,
                  char* message) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = ignoreMessage;
    if (setjmp(err.jump)) {
        std::memcpy(message, err.message, JMSG_LENGTH_MAX);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest->pub.init_destination = initDestination;
    dest->pub.empty_output_buffer = emptyOutputBuffer;
    dest->pub.term_destination = termDestination;
    cinfo.dest = &dest->pub;

    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // Memory rows are bottom-up; the file wants the top row first.
        const std::size_t memoryRow = static_cast<std::size_t>(height) - 1 - cinfo.next_scanline;
        JSAMPROW row = const_cast<JSAMPLE*>(pixels + memoryRow * static_cast<std::size_t>(width));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

void saveGreyJpeg(const TGreyFrame& frame, const std::string& path, int quality) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() != static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height)) {
        throw std::invalid_argument("saveGreyJpeg: the frame's pixels do not match its size");
    }
    MemoryDestination dest{};
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = compressGrey(frame.pixels.data(), frame.width, frame.height, quality, &dest, message);
    const std::unique_ptr<unsigned char, decltype(&std::free)> owned(dest.buffer, &std::free);
    if (!ok) throw EInOutError(TDiagnostic(Code::JpegEncodeFailed).with("file", path).with("detail", message));
    writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(owned.get()), dest.size));
}

}  // namespace orbis
