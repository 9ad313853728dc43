// JPEG pictures through libjpeg, a band of rows at a time, straight into the
// picture's rows: grey stays grey, colour comes as RGB, CMYK is turned into
// RGB as Qt's own reader does. libjpeg's defaults are those of that reader,
// so every pixel comes out the same.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "picture/decoding_bands.h"
#include "picture/picture_decoding.h"
#include "picture/picture_levels.h"

namespace {

// libjpeg's errors jump back to the guarded call; its warnings are kept,
// as some of them say the data ended early.
struct JpegErrors : jpeg_error_mgr {
    std::jmp_buf jump;
    bool endedEarly = false;
};

[[noreturn]] void giveUp(j_common_ptr info) { std::longjmp(static_cast<JpegErrors*>(info->err)->jump, 1); }

void keepWarning(j_common_ptr info, int level)
{
    auto* errors = static_cast<JpegErrors*>(info->err);
    if (level < 0 && (errors->msg_code == JWRN_JPEG_EOF || errors->msg_code == JWRN_HIT_MARKER))
        errors->endedEarly = true;
}

// Runs step, whose calls into libjpeg may jump back here on an error: false
// then. step holds nothing that needs destroying while it calls libjpeg.
template <typename Step>
bool guarded(JpegErrors& errors, const Step& step)
{
    if (setjmp(errors.jump))
        return false;
    step();
    return true;
}

// libjpeg's structure for one reading, freed however it ends.
struct JpegReading {
    jpeg_decompress_struct info{};
    JpegErrors errors;
    JpegReading()
    {
        info.err = jpeg_std_error(&errors);
        errors.error_exit = giveUp;
        errors.emit_message = keepWarning;
        jpeg_create_decompress(&info);
    }
    ~JpegReading() { jpeg_destroy_decompress(&info); }
};

// A row of CMYK samples as Qt's reader turns them into RGB.
void cmykToRgb(const JSAMPLE* cmyk, int count, std::uint8_t* rgb)
{
    for (int x = 0; x < count; ++x, cmyk += 4, rgb += 3) {
        const int k = cmyk[3];
        rgb[0] = std::uint8_t(k * cmyk[0] / 255);
        rgb[1] = std::uint8_t(k * cmyk[1] / 255);
        rgb[2] = std::uint8_t(k * cmyk[2] / 255);
    }
}

}  // namespace

Decoded decodeJpeg(const uchar* data, std::size_t size, const LogPicture::Progress& progress, LogPicture& picture)
{
    JpegReading r;
    jpeg_decompress_struct& info = r.info;
    const auto failed = [&](QSize size) {
        return Decoded{r.errors.endedEarly ? DecodeOutcome::Truncated : DecodeOutcome::Damaged, size};
    };
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (!guarded(r.errors, [&] {
            jpeg_read_header(&info, TRUE);
            jpeg_calc_output_dimensions(&info);
        }))
        return failed({});
    const QSize claimed(int(info.output_width), int(info.output_height));
    const int components = info.output_components;
    if (components != 1 && components != 3 && components != 4)
        return {DecodeOutcome::Damaged, claimed};
    const PictureForm form = components == 1 ? PictureForm::Grey : PictureForm::Rgb;
    // A picture in several scans is gathered whole, as coefficients of two
    // bytes a sample, before its first row comes out.
    const double coefficients = jpeg_has_multiple_scans(&info) ? 2.0 * info.num_components : 0;
    if (!fitsInMemory(claimed, bytesPerPixel(form) + coefficients))
        return {DecodeOutcome::TooLarge, claimed};
    LevelBuilder levels(claimed.width(), claimed.height(), form);
    if (!levels.ok())
        return {DecodeOutcome::TooLarge, claimed};
    std::vector<JSAMPLE> cmyk(components == 4 ? std::size_t(claimed.width()) * 4 : 0);
    if (!guarded(r.errors, [&] { jpeg_start_decompress(&info); }) || r.errors.endedEarly)
        return failed(claimed);
    for (int top = 0; top < claimed.height(); top += kDecodedBand) {
        const int count = std::min(kDecodedBand, claimed.height() - top);
        const bool read = guarded(r.errors, [&] {
            for (int y = top; y < top + count; ++y) {
                JSAMPROW row = components == 4 ? cmyk.data() : levels.row(y);
                jpeg_read_scanlines(&info, &row, 1);
                if (components == 4)
                    cmykToRgb(cmyk.data(), claimed.width(), levels.row(y));
            }
        });
        if (!read || r.errors.endedEarly)
            return failed(claimed);
        levels.written(top + count);
        if (!goOn(progress, top + count, claimed.height()))
            return {DecodeOutcome::Cancelled, claimed};
    }
    if (!guarded(r.errors, [&] { jpeg_finish_decompress(&info); }) || r.errors.endedEarly)
        return failed(claimed);
    levels.finish(picture);
    return {DecodeOutcome::Done, claimed};
}
