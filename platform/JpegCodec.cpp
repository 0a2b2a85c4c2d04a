#include "platform/JpegCodec.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

// libjpeg reports a fatal error by calling error_exit, whose default ends the
// program. Ours longjmps back to the function that started the library call.
// Those functions (the *Core ones below) hold no C++ object with a destructor,
// so the jump skips nothing but C frames; the callers own everything else and
// always call jpeg_destroy_*.

namespace vantrix {
namespace {

// A progressive picture may hold any number of scans, each one a pass over the
// whole coefficient buffer; real files have about ten.
constexpr int kMaxScans = 500;
// Cap on libjpeg's own working memory (whole-picture coefficient buffers of
// progressive files); the largest picture we accept needs less.
constexpr long kMaxLibraryMemory = 1L << 30;

enum class TJpegFailure { None, Library, Truncated, TooManyScans, OutOfMemory };

struct TJpegErrors {
  jpeg_error_mgr pub;  // first, so that a j_common_ptr's err leads here
  std::jmp_buf jump;
  TJpegFailure failure;
};

TJpegErrors* ErrorsOf(j_common_ptr cinfo) {
  return reinterpret_cast<TJpegErrors*>(cinfo->err);
}

[[noreturn]] void Fail(j_common_ptr cinfo, TJpegFailure failure) {
  TJpegErrors* e = ErrorsOf(cinfo);
  if (e->failure == TJpegFailure::None) e->failure = failure;
  std::longjmp(e->jump, 1);
}

void OnError(j_common_ptr cinfo) {
  Fail(cinfo, TJpegFailure::Library);
}

// Warnings about slightly damaged data are ignored, as viewers do, except for
// data that ends early: the library would fill the rest of the picture with grey.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level == -1 && cinfo->err->msg_code == JWRN_JPEG_EOF) Fail(cinfo, TJpegFailure::Truncated);
}

void OnOutput(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
    Fail(cinfo, TJpegFailure::TooManyScans);
}

void InstallErrors(TJpegErrors* e) {
  jpeg_std_error(&e->pub);
  e->pub.error_exit = OnError;
  e->pub.emit_message = OnMessage;
  e->pub.output_message = OnOutput;
  e->failure = TJpegFailure::None;
}

[[noreturn]] void ThrowFailure(const TJpegErrors& e) {
  switch (e.failure) {
    case TJpegFailure::Truncated:
      throw TPictureError("truncated JPEG data");
    case TJpegFailure::TooManyScans:
      throw TPictureError("damaged JPEG data (too many scans)");
    case TJpegFailure::OutOfMemory:
      throw TPictureError("out of memory writing JPEG data");
    default:
      throw TPictureError("JPEG error #" + std::to_string(e.pub.msg_code));
  }
}

// ---- decoding ----

struct TDecodeJob {
  jpeg_decompress_struct cinfo;
  TJpegErrors errors;
  jpeg_progress_mgr progress;
  const uint8_t* data;
  size_t size;
  TPicture* out;
  bool cmyk;
};

// Reads the header and checks it; returns false after a library failure. May
// throw TPictureError itself (size limits), which the caller handles like the rest.
bool DecodeCore(TDecodeJob* job) {
  jpeg_decompress_struct* c = &job->cinfo;
  c->err = &job->errors.pub;
  if (setjmp(job->errors.jump)) return false;
  jpeg_create_decompress(c);
  c->mem->max_memory_to_use = kMaxLibraryMemory;
  job->progress.progress_monitor = OnProgress;
  c->progress = &job->progress;
  jpeg_mem_src(c, job->data, static_cast<unsigned long>(job->size));
  jpeg_read_header(c, TRUE);
  if (c->jpeg_color_space == JCS_CMYK || c->jpeg_color_space == JCS_YCCK) {
    job->cmyk = true;
    return true;
  }
  CheckPictureDimensions(c->image_width, c->image_height, "JPEG");
  // libjpeg-turbo converts greyscale, YCbCr and RGB straight into our byte order.
  c->out_color_space = JCS_EXT_BGR;
  c->scale_num = c->scale_denom = 1;
  jpeg_start_decompress(c);
  if (c->output_width != c->image_width || c->output_height != c->image_height || c->output_components != 3)
    ERREXIT(c, JERR_BAD_DCTSIZE);
  job->out->SetSize(static_cast<int>(c->output_width), static_cast<int>(c->output_height), 24);
  while (c->output_scanline < c->output_height) {
    JSAMPROW row = job->out->Row(static_cast<int>(c->output_scanline));
    if (jpeg_read_scanlines(c, &row, 1) != 1) ERREXIT(c, JERR_INPUT_EOF);
  }
  jpeg_finish_decompress(c);
  return true;
}

// ---- encoding ----

// Collects the compressed bytes in a vector, a chunk at a time.
struct TVectorSink {
  jpeg_destination_mgr pub;  // first, so that cinfo->dest leads here
  std::vector<uint8_t>* out;
  JOCTET chunk[16384];
};

TVectorSink* SinkOf(j_compress_ptr cinfo) {
  return reinterpret_cast<TVectorSink*>(cinfo->dest);
}

// Appends n bytes of the chunk; false when memory ran out. Never throws, so no
// C++ exception ever crosses the library's frames.
bool Flush(TVectorSink* sink, size_t n) {
  try {
    sink->out->insert(sink->out->end(), sink->chunk, sink->chunk + n);
    return true;
  } catch (...) {
    return false;
  }
}

void SinkInit(j_compress_ptr cinfo) {
  TVectorSink* sink = SinkOf(cinfo);
  sink->pub.next_output_byte = sink->chunk;
  sink->pub.free_in_buffer = sizeof sink->chunk;
}

boolean SinkEmpty(j_compress_ptr cinfo) {
  TVectorSink* sink = SinkOf(cinfo);
  if (!Flush(sink, sizeof sink->chunk))
    Fail(reinterpret_cast<j_common_ptr>(cinfo), TJpegFailure::OutOfMemory);
  SinkInit(cinfo);
  return TRUE;
}

void SinkTerm(j_compress_ptr cinfo) {
  TVectorSink* sink = SinkOf(cinfo);
  if (!Flush(sink, sizeof sink->chunk - sink->pub.free_in_buffer))
    Fail(reinterpret_cast<j_common_ptr>(cinfo), TJpegFailure::OutOfMemory);
}

struct TEncodeJob {
  jpeg_compress_struct cinfo;
  TJpegErrors errors;
  TVectorSink sink;
  const TPicture* picture;
  int quality;
};

bool EncodeCore(TEncodeJob* job) {
  jpeg_compress_struct* c = &job->cinfo;
  c->err = &job->errors.pub;
  if (setjmp(job->errors.jump)) return false;
  jpeg_create_compress(c);
  job->sink.pub.init_destination = SinkInit;
  job->sink.pub.empty_output_buffer = SinkEmpty;
  job->sink.pub.term_destination = SinkTerm;
  c->dest = &job->sink.pub;
  const TPicture& p = *job->picture;
  c->image_width = static_cast<JDIMENSION>(p.Width());
  c->image_height = static_cast<JDIMENSION>(p.Height());
  c->input_components = p.BytesPerPixel();
  c->in_color_space = p.BitsPerPixel() == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(c);
  jpeg_set_quality(c, job->quality, TRUE);
  jpeg_start_compress(c, TRUE);
  while (c->next_scanline < c->image_height) {
    // The library only reads the rows it is given.
    JSAMPROW row = const_cast<JSAMPROW>(p.Row(static_cast<int>(c->next_scanline)));
    jpeg_write_scanlines(c, &row, 1);
  }
  jpeg_finish_compress(c);
  return true;
}

}  // namespace

TPicture DecodeJpeg(std::span<const uint8_t> data) {
  TPicture out;
  TDecodeJob job{};
  InstallErrors(&job.errors);
  job.data = data.data();
  job.size = data.size();
  job.out = &out;
  bool ok = false;
  try {
    ok = DecodeCore(&job);
  } catch (...) {
    jpeg_destroy_decompress(&job.cinfo);
    throw;
  }
  jpeg_destroy_decompress(&job.cinfo);
  if (!ok) ThrowFailure(job.errors);
  if (job.cmyk) throw TPictureError("CMYK JPEG pictures are not supported");
  return out;
}

std::vector<uint8_t> EncodeJpeg(const TPicture& picture, int quality) {
  if (picture.Empty()) throw TPictureError("cannot write an empty picture");
  if (picture.Width() > JPEG_MAX_DIMENSION || picture.Height() > JPEG_MAX_DIMENSION)
    throw TPictureError("picture too large for a JPEG file");
  std::vector<uint8_t> out;
  auto job = std::make_unique<TEncodeJob>();  // zeroed; the sink's chunk is big for the stack
  InstallErrors(&job->errors);
  job->sink.out = &out;
  job->picture = &picture;
  job->quality = std::clamp(quality, 1, 100);
  const bool ok = EncodeCore(job.get());
  jpeg_destroy_compress(&job->cinfo);
  if (!ok) ThrowFailure(job->errors);
  return out;
}

}  // namespace vantrix
