#include "toolkit/Picture.h"

#include "toolkit/GraphicFormats.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace pestrel {
namespace {

TGraphicFormat FormatFor(const QString& path) {
    const QString extension = QFileInfo(path).suffix();
    std::optional<TGraphicFormat> format = FindGraphicFormat(extension);
    if (!format)
        throw std::runtime_error("unknown picture file extension \"" + extension.toStdString() +
                                 "\"");
    return *format;
}

std::runtime_error Failure(const char* what, const QString& path) {
    return std::runtime_error(std::string(what) + " \"" + path.toStdString() + "\"");
}

} // namespace

void TPicture::loadFromFile(const QString& path) {
    const TGraphicFormat format = FormatFor(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure("cannot read picture file", path);
    std::optional<QImage> image = format.decode(file.readAll());
    if (!image)
        throw Failure("not a valid picture file", path);
    bitmap_ = std::move(*image);
}

void TPicture::saveToFile(const QString& path) const {
    if (bitmap_.isNull())
        throw Failure("no picture to save as", path);
    const TGraphicFormat format = FormatFor(path);
    std::optional<QByteArray> data = format.encode(bitmap_);
    QSaveFile file(path);
    if (!data || !file.open(QIODevice::WriteOnly) || file.write(*data) != data->size() ||
        !file.commit())
        throw Failure("cannot write picture file", path);
}

} // namespace pestrel
