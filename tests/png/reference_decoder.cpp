#include "png/reference_decoder.h"

#include <cstring>

#ifdef VB_HAVE_LIBPNG
#include <png.h>
#endif

namespace vb::test {

#ifdef VB_HAVE_LIBPNG
namespace {

struct TReader {
  const std::vector<uint8_t>& File;
  size_t Position;
};

void ReadCallback(png_structp Png, png_bytep Out, png_size_t Count) {
  auto* r = static_cast<TReader*>(png_get_io_ptr(Png));
  if (r->Position + Count > r->File.size()) png_error(Png, "read past end");
  std::memcpy(Out, r->File.data() + r->Position, Count);
  r->Position += Count;
}

void ErrorCallback(png_structp Png, png_const_charp Message) {
  *static_cast<std::string*>(png_get_error_ptr(Png)) = Message;
  png_longjmp(Png, 1);
}

void WarningCallback(png_structp, png_const_charp) {}

}  // namespace

bool ReferenceDecoderAvailable() { return true; }

bool ReferenceDecode(const std::vector<uint8_t>& File, TReferenceImage& Image, std::string& Error) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Error, ErrorCallback, WarningCallback);
  png_infop info = png_create_info_struct(png);
  TReader reader{File, 0};
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, ReadCallback);
  png_read_info(png, info);
  Image.Width = png_get_image_width(png, info);
  Image.Height = png_get_image_height(png, info);
  png_fixed_point gamma = 0;
  Image.HasGamma = png_get_gAMA_fixed(png, info, &gamma) != 0;
  Image.Gamma = uint32_t(gamma);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  Image.Rgba.assign(size_t(Image.Width) * Image.Height * 4, 0);
  rows.resize(Image.Height);
  for (uint32_t y = 0; y < Image.Height; ++y) rows[y] = Image.Rgba.data() + size_t(y) * Image.Width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

#else

bool ReferenceDecoderAvailable() { return false; }
bool ReferenceDecode(const std::vector<uint8_t>&, TReferenceImage&, std::string& Error) {
  Error = "no reference decoder";
  return false;
}

#endif

}  // namespace vb::test
