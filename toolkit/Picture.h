#pragma once
// A holder of one graphic (here always a bitmap) with its size, loaded from a file through the
// graphic-format registry.

#include <QImage>
#include <QString>

namespace pestrel {

class TPicture {
public:
    TPicture() = default;
    explicit TPicture(QImage bitmap) : bitmap_(std::move(bitmap)) {}

    int width() const { return bitmap_.width(); }
    int height() const { return bitmap_.height(); }
    bool empty() const { return bitmap_.isNull(); }
    const QImage& bitmap() const { return bitmap_; }
    void setBitmap(QImage bitmap) { bitmap_ = std::move(bitmap); }
    void clear() { bitmap_ = QImage(); }

    // The format is chosen by the file's extension. Throws std::runtime_error for an unknown
    // extension, an unreadable file or data the format cannot decode; the picture is then
    // unchanged.
    void loadFromFile(const QString& path);
    // Throws std::runtime_error for an empty picture, an unknown extension or a failed write.
    void saveToFile(const QString& path) const;

private:
    QImage bitmap_;
};

} // namespace pestrel
