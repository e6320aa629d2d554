// JPEG decoding and encoding through libjpeg.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "platform/graphics/GraphicsPrivate.h"

namespace corvane {

namespace {
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings are not shown to the user

// The library's errors end in the manager's jump, with their message kept.
jpeg_error_mgr* Errors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  return &err.pub;
}
}  // namespace

namespace {
// Pixels as the toolkit holds them (0xAARRGGBB words), written by the decoder itself, alpha opaque.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kPixelSpace = JCS_EXT_BGRA;
#else
constexpr J_COLOR_SPACE kPixelSpace = JCS_EXT_ARGB;
#endif

// Absurd dimensions are refused instead of being allocated.
bool TooLarge(const jpeg_decompress_struct& cinfo) {
  return static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height > 64ull * 1024 * 1024;
}
}  // namespace

TSize ReadJpegSize(std::string_view bytes) {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = Errors(err);
  TSize size{0, 0};
  bool failed = false, tooLarge = false;
  if (setjmp(err.jump)) {
    failed = true;
  } else {
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    tooLarge = TooLarge(cinfo);
    size = {static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)};
  }
  jpeg_destroy_decompress(&cinfo);
  if (failed) throw EInvalidGraphic(std::string("JPEG error: ") + err.message);
  if (tooLarge) throw EInvalidGraphic("JPEG image is too large");
  return size;
}

QImage DecodeJpegImage(std::string_view bytes) {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = Errors(err);
  QImage image;  // kept only on success
  std::vector<JSAMPROW> rows;  // outside the jump scope so it is always destroyed
  bool failed = false, tooLarge = false;
  if (setjmp(err.jump)) {
    failed = true;
  } else {
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = kPixelSpace;
    tooLarge = TooLarge(cinfo);
    if (!tooLarge) {
      jpeg_start_decompress(&cinfo);
      const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
      image = QImage(w, h, QImage::Format_RGB32);
      tooLarge = image.isNull();
    }
    if (!tooLarge) {
      // The decoder writes the rows in place, as many per call as it has ready.
      rows.resize(static_cast<size_t>(image.height()));
      for (int y = 0; y < image.height(); ++y) rows[static_cast<size_t>(y)] = image.scanLine(y);
      while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, rows.data() + cinfo.output_scanline, cinfo.output_height - cinfo.output_scanline);
      jpeg_finish_decompress(&cinfo);
    }
  }
  jpeg_destroy_decompress(&cinfo);
  if (failed) throw EInvalidGraphic(std::string("JPEG error: ") + err.message);
  if (tooLarge) throw EInvalidGraphic("JPEG image is too large");
  return image;
}

void DecodeJpeg(std::string_view bytes, TBitmap& out) {
  QImage image = DecodeJpegImage(bytes);
  out.Clear();  // ends any drawing on the bitmap; its canvas keeps pointing at its pixels
  ImageOf(out) = std::move(image);
  out.SetPixelFormat(TPixelFormat::pf24bit);
}

std::string EncodeJpeg(const TBitmap& bmp, int quality) {
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = Errors(err);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<unsigned char> row(bmp.Width() * 3);
  bool failed = false;
  if (setjmp(err.jump)) {
    failed = true;
  } else {
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(bmp.Width());
    cinfo.image_height = static_cast<JDIMENSION>(bmp.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
      const uint32_t* s = bmp.ScanLine(static_cast<int>(cinfo.next_scanline));
      for (int x = 0; x < bmp.Width(); ++x) {
        row[x * 3] = qRed(s[x]); row[x * 3 + 1] = qGreen(s[x]); row[x * 3 + 2] = qBlue(s[x]);
      }
      JSAMPROW rows[1] = {row.data()};
      jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
  }
  jpeg_destroy_compress(&cinfo);
  std::string out;
  if (!failed && buffer) out.assign(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  if (failed) throw EInvalidGraphic(std::string("JPEG error: ") + err.message);
  return out;
}

}  // namespace corvane
