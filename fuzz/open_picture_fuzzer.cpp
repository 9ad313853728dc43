// libFuzzer target: any bytes opened as a log picture, the whole way from
// the file to the kept picture and its reduced copies. A refusal must say
// why and leave the picture as it was; a picture accepted must have copies
// of the right sizes that can be shown and read as grey.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QString>

#include <unistd.h>

#include "picture/log_picture.h"
#include "picture/memory_limit.h"

namespace {

// The file the bytes are written to: in memory where the system has such a
// folder.
const QString& scratchFile()
{
    static const QString path = QString::fromStdString(
        (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) + "/open_picture_fuzzer_"
        + std::to_string(getpid()));
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    // A few bytes may legitimately claim a picture of gigabytes (a fax row
    // like the one above takes one bit): such pictures are refused as too
    // large here, so that what is held stays within libFuzzer's limit.
    setPictureMemoryLimit(std::uint64_t(256) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream out(scratchFile().toStdString(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    LogPicture picture;
    QString error;
    int reports = 0;
    const bool loaded = picture.load(scratchFile(), error, [&](double done) {
        if (done < 0 || done > 1)
            std::abort();
        ++reports;
        return true;
    });
    if (!loaded) {
        if (error.isEmpty() || !picture.isNull())
            std::abort();
        return 0;
    }
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0 || !error.isEmpty())
        std::abort();
    for (int n = 1; n < LogPicture::kLevels; ++n)
        if (picture.level(n).width() != std::max(1, (picture.level(n - 1).width() + 1) / 2)
            || picture.level(n).height() != std::max(1, (picture.level(n - 1).height() + 1) / 2))
            std::abort();
    const QRect corner(0, 0, std::min(picture.width(), 64), std::min(picture.height(), 64));
    std::vector<std::uint32_t> shown(std::size_t(corner.width() * corner.height()));
    std::vector<std::uint8_t> grey(shown.size());
    for (int n = 0; n < LogPicture::kLevels; ++n)
        picture.toRgb32(n, corner, shown.data(), corner.width());
    picture.toGrey(corner, grey.data(), corner.width());
    return 0;
}
