#include "views/imageList.h"

#include <QPainter>
#include <QSvgRenderer>

namespace marlo {

namespace {

constexpr qreal kRatios[] = {1.0, 2.0};

QString image(const char* name) {
    return QStringLiteral(":/images/%1.svg").arg(name);
}

QImage renderSvg(const QString& file, int pixels) {
    QImage out(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QSvgRenderer svg(file);
    if (svg.isValid()) {
        QPainter painter(&out);
        svg.render(&painter, QRectF(0, 0, pixels, pixels));
    }
    return out;
}

QPixmap atRatio(QImage image, qreal ratio) {
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

ImageList::ImageList(std::vector<QString> files, int size)
    : files_(std::move(files)), size_(size) {}

ImageList ImageList::ForTree() {
    return ImageList({image("radio"), image("folder"), image("settings"), image("sheet"),
                      image("warning"), image("error"), image("bytes")},
                     16);
}

ImageList ImageList::ForToolBar() {
    return ImageList({image("new"), image("open"), image("save"), image("port1"), image("port2"),
                      image("port3"), image("port4"), image("clone_read"), image("clone_write"),
                      image("clone_info"), image("print"), image("undo"), image("redo")},
                     16);
}

QImage ImageList::Render(int index, int pixels) const {
    if (!Has(index)) {
        QImage none(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
        none.fill(Qt::transparent);
        return none;
    }
    return renderSvg(files_[static_cast<std::size_t>(index)], pixels);
}

QPixmap ImageList::Pixmap(int index, qreal devicePixelRatio) const {
    if (!Has(index))
        return {};
    const int pixels = qRound(size_ * devicePixelRatio);
    return atRatio(Render(index, pixels), devicePixelRatio);
}

QIcon ImageList::Icon(int index) const {
    if (!Has(index))
        return {};
    auto found = icons_.find(index);
    if (found != icons_.end())
        return found->second;
    QIcon icon;
    for (qreal ratio : kRatios)
        icon.addPixmap(Pixmap(index, ratio));
    return icons_.emplace(index, icon).first->second;
}

std::vector<QIcon> ImageList::Icons() const {
    std::vector<QIcon> icons;
    for (int index = 0; index < Count(); ++index)
        icons.push_back(Icon(index));
    return icons;
}

QIcon ImageList::Overlaid(int index, int overlay) const {
    if (!Has(overlay))
        return Icon(index);
    const auto key = std::make_pair(index, overlay);
    auto found = overlaid_.find(key);
    if (found != overlaid_.end())
        return found->second;
    QIcon icon;
    for (qreal ratio : kRatios) {
        const int pixels = qRound(size_ * ratio);
        // The mark takes the lower left ten sixteenths, over the base image.
        const int markPixels = pixels * 10 / 16;
        QImage combined = Render(index, pixels);
        QPainter painter(&combined);
        painter.drawImage(0, pixels - markPixels, Render(overlay, markPixels));
        painter.end();
        icon.addPixmap(atRatio(std::move(combined), ratio));
    }
    return overlaid_.emplace(key, icon).first->second;
}

QString appIconFile() {
    return image("marlo");
}

QIcon appIcon() {
    QIcon icon;
    for (int pixels : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(renderSvg(appIconFile(), pixels)));
    return icon;
}

} // namespace marlo
