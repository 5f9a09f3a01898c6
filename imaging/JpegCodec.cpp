#include "imaging/JpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>

// The library's header wants the standard C declarations first.
extern "C" {
#include <jpeglib.h>
}

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the codec function that set Jump, which then raises.
struct TErrorManager {
  jpeg_error_mgr Public;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr Info) {
  auto* Err = reinterpret_cast<TErrorManager*>(Info->err);
  (*Info->err->format_message)(Info, Err->Message);
  std::longjmp(Err->Jump, 1);
}

// Warnings (corrupt but readable data) are not printed anywhere.
void OutputMessage(j_common_ptr) {}

[[noreturn]] void Raise(const char* Prefix, const char* Message) {
  std::string Text = std::string(Prefix) + Message;
  throw EInvalidGraphic(String(Text.begin(), Text.end()));
}

// ---- memory source
void InitSource(j_decompress_ptr) {}
boolean FillInputBuffer(j_decompress_ptr Info) {
  // Past the end: hand over an end-of-image marker so that the library ends
  // with a warning instead of reading outside the buffer.
  static const JOCTET EndMarker[2] = {0xFF, JPEG_EOI};
  Info->src->next_input_byte = EndMarker;
  Info->src->bytes_in_buffer = 2;
  return TRUE;
}
void SkipInputData(j_decompress_ptr Info, long Count) {
  if (Count <= 0) return;
  jpeg_source_mgr* Src = Info->src;
  while (Count > static_cast<long>(Src->bytes_in_buffer)) {
    Count -= static_cast<long>(Src->bytes_in_buffer);
    FillInputBuffer(Info);
  }
  Src->next_input_byte += Count;
  Src->bytes_in_buffer -= static_cast<std::size_t>(Count);
}
void TermSource(j_decompress_ptr) {}

// ---- memory destination
struct TDestination {
  jpeg_destination_mgr Public;
  TBytes* Out;
  JOCTET Buffer[4096];
};
void InitDestination(j_compress_ptr Info) {
  auto* D = reinterpret_cast<TDestination*>(Info->dest);
  D->Public.next_output_byte = D->Buffer;
  D->Public.free_in_buffer = sizeof(D->Buffer);
}
boolean EmptyOutputBuffer(j_compress_ptr Info) {
  auto* D = reinterpret_cast<TDestination*>(Info->dest);
  D->Out->insert(D->Out->end(), D->Buffer, D->Buffer + sizeof(D->Buffer));
  D->Public.next_output_byte = D->Buffer;
  D->Public.free_in_buffer = sizeof(D->Buffer);
  return TRUE;
}
void TermDestination(j_compress_ptr Info) {
  auto* D = reinterpret_cast<TDestination*>(Info->dest);
  D->Out->insert(D->Out->end(), D->Buffer, D->Buffer + (sizeof(D->Buffer) - D->Public.free_in_buffer));
}

}  // namespace

bool IsJpegData(const Byte* Data, std::size_t Size) { return Data && Size >= 2 && Data[0] == 0xFF && Data[1] == 0xD8; }

TRasterImage DecodeJpeg(const Byte* Data, std::size_t Size) {
  if (!IsJpegData(Data, Size)) throw EInvalidGraphic(u"Invalid JPEG picture: no start-of-image marker");
  // Everything with a destructor lives before setjmp, so the jump back skips none.
  TRasterImage Img;
  std::vector<JSAMPLE> Line;
  jpeg_decompress_struct Info;
  TErrorManager Err;
  jpeg_source_mgr Src;
  Info.err = jpeg_std_error(&Err.Public);
  Err.Public.error_exit = ErrorExit;
  Err.Public.output_message = OutputMessage;
  if (setjmp(Err.Jump)) {
    jpeg_destroy_decompress(&Info);
    Raise("Invalid JPEG picture: ", Err.Message);
  }
  jpeg_create_decompress(&Info);
  Src.init_source = InitSource;
  Src.fill_input_buffer = FillInputBuffer;
  Src.skip_input_data = SkipInputData;
  Src.resync_to_restart = jpeg_resync_to_restart;
  Src.term_source = TermSource;
  Src.next_input_byte = Data;
  Src.bytes_in_buffer = Size;
  Info.src = &Src;
  jpeg_read_header(&Info, TRUE);
  const bool Cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
  Info.out_color_space = Cmyk ? JCS_CMYK : (Info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB);
  if (Info.image_width == 0 || Info.image_height == 0 ||
      Int64(Info.image_width) * Int64(Info.image_height) > TRasterImage::MaxPixels) {
    jpeg_destroy_decompress(&Info);
    throw EInvalidGraphic(u"Invalid JPEG picture: picture size out of range");
  }
  jpeg_start_decompress(&Info);
  Img.Width = static_cast<Integer>(Info.output_width);
  Img.Height = static_cast<Integer>(Info.output_height);
  Img.Pixels.assign(std::size_t(Info.output_width) * Info.output_height * 4, 255);
  Line.resize(std::size_t(Info.output_width) * Info.output_components);
  // Adobe's CMYK pictures store inverted values.
  bool Inverted = Cmyk && Info.saw_Adobe_marker;
  while (Info.output_scanline < Info.output_height) {
    const JDIMENSION Y = Info.output_scanline;
    JSAMPROW Row = Line.data();
    jpeg_read_scanlines(&Info, &Row, 1);
    Byte* D = Img.Pixels.data() + std::size_t(Y) * Info.output_width * 4;
    for (JDIMENSION x = 0; x < Info.output_width; ++x, D += 4) {
      const JSAMPLE* S = Line.data() + std::size_t(x) * Info.output_components;
      if (Info.output_components == 1) {
        D[0] = D[1] = D[2] = S[0];
      } else if (Info.output_components == 3) {
        D[0] = S[2];
        D[1] = S[1];
        D[2] = S[0];
      } else {
        int C = S[0], M = S[1], Yy = S[2], K = S[3];
        if (!Inverted) {
          C = 255 - C;
          M = 255 - M;
          Yy = 255 - Yy;
          K = 255 - K;
        }
        D[0] = Byte(Yy * K / 255);
        D[1] = Byte(M * K / 255);
        D[2] = Byte(C * K / 255);
      }
    }
  }
  jpeg_finish_decompress(&Info);
  jpeg_destroy_decompress(&Info);
  return Img;
}

TBytes EncodeJpeg(const TRasterImage& Image, int Quality, bool Progressive) {
  if (Image.Empty() || Image.Pixels.size() != std::size_t(Image.Width) * std::size_t(Image.Height) * 4)
    throw EInvalidGraphic(u"Cannot write an empty picture as JPEG");
  TBytes Out;
  std::vector<JSAMPLE> Line(std::size_t(Image.Width) * 3);
  jpeg_compress_struct Info;
  TErrorManager Err;
  TDestination Dest;
  Info.err = jpeg_std_error(&Err.Public);
  Err.Public.error_exit = ErrorExit;
  Err.Public.output_message = OutputMessage;
  if (setjmp(Err.Jump)) {
    jpeg_destroy_compress(&Info);
    Raise("Cannot write the JPEG picture: ", Err.Message);
  }
  jpeg_create_compress(&Info);
  Dest.Out = &Out;
  Dest.Public.init_destination = InitDestination;
  Dest.Public.empty_output_buffer = EmptyOutputBuffer;
  Dest.Public.term_destination = TermDestination;
  Info.dest = &Dest.Public;
  Info.image_width = static_cast<JDIMENSION>(Image.Width);
  Info.image_height = static_cast<JDIMENSION>(Image.Height);
  Info.input_components = 3;
  Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&Info);
  jpeg_set_quality(&Info, std::clamp(Quality, 0, 100), TRUE);
  if (Progressive) jpeg_simple_progression(&Info);
  jpeg_start_compress(&Info, TRUE);
  while (Info.next_scanline < Info.image_height) {
    const Byte* S = Image.Row(static_cast<Integer>(Info.next_scanline));
    for (Integer x = 0; x < Image.Width; ++x) {
      Line[std::size_t(x) * 3] = S[x * 4 + 2];
      Line[std::size_t(x) * 3 + 1] = S[x * 4 + 1];
      Line[std::size_t(x) * 3 + 2] = S[x * 4];
    }
    JSAMPROW Row = Line.data();
    jpeg_write_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  return Out;
}
