// JPEG decoding and encoding through libjpeg.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "GraphicsPrivate.h"

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
}  // namespace

void DecodeJpeg(std::string_view bytes, TBitmap& out) {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  QImage image;  // filled only on success
  std::vector<unsigned char> row;  // outside the jump scope so it is always destroyed
  bool failed = false;
  if (setjmp(err.jump)) {
    failed = true;
  } else {
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    // Refuse absurd dimensions instead of trying to allocate them.
    if (static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height > 64ull * 1024 * 1024) {
      jpeg_destroy_decompress(&cinfo);
      throw EInvalidGraphic("JPEG image is too large");
    }
    jpeg_start_decompress(&cinfo);
    image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), QImage::Format_RGB32);
    row.resize(cinfo.output_width * cinfo.output_components);
    while (cinfo.output_scanline < cinfo.output_height) {
      int y = static_cast<int>(cinfo.output_scanline);
      JSAMPROW rows[1] = {row.data()};
      jpeg_read_scanlines(&cinfo, rows, 1);
      QRgb* d = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (unsigned x = 0; x < cinfo.output_width; ++x) {
        const unsigned char* p = &row[x * cinfo.output_components];
        d[x] = cinfo.output_components >= 3 ? qRgb(p[0], p[1], p[2]) : qRgb(p[0], p[0], p[0]);
      }
    }
    jpeg_finish_decompress(&cinfo);
  }
  jpeg_destroy_decompress(&cinfo);
  if (failed) throw EInvalidGraphic(std::string("JPEG error: ") + err.message);
  out.Clear();
  out.SetSize(image.width(), image.height());
  ImageOf(out) = image;
  out.SetPixelFormat(TPixelFormat::pf24bit);
  // Re-point the bitmap's canvas (if any) at the new pixels.
  out.SetSize(image.width(), image.height());
}

std::string EncodeJpeg(const TBitmap& bmp, int quality) {
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
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
