#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <map>
#include <utility>
#include <vector>

namespace marlo {

// Image indexes of the tree and the sheets, as the overlay's ImageIndex groups
// use them. The sheets' cell marks are the warning and the error image.
namespace treeImage {
constexpr int Radio = 0;
constexpr int Folder = 1;
constexpr int SettingsSheet = 2;
constexpr int ListSheet = 3;
constexpr int Warning = 4;
constexpr int Error = 5;
constexpr int Bytes = 6;
} // namespace treeImage

// Image indexes of the main toolbar's buttons.
namespace toolImage {
constexpr int New = 0;
constexpr int Open = 1;
constexpr int Save = 2;
constexpr int Port1 = 3; // ports 1..4 are Port1 + n - 1
constexpr int CloneRead = 7;
constexpr int CloneWrite = 8;
constexpr int CloneInfo = 9;
constexpr int Print = 10;
constexpr int Undo = 11;
constexpr int Redo = 12;
} // namespace toolImage

// A list of square images drawn from the SVG files compiled into the program.
// Every image is rendered at the list's size for device pixel ratios 1 and 2, so
// it stays sharp on a high-density screen; other ratios are scaled from the
// vector image by QIcon's own rule (it asks for the nearest size).
class ImageList {
public:
    // `files` are resource paths, one per index.
    ImageList(std::vector<QString> files, int size);

    // The tree's and the sheets' images (treeImage), 16 pixels. The owner
    // keeps the list (it caches what it has drawn) while a QApplication runs.
    static ImageList ForTree();
    // The toolbar's images (toolImage), 16 pixels.
    static ImageList ForToolBar();

    int Count() const { return static_cast<int>(files_.size()); }
    int Size() const { return size_; }
    bool Has(int index) const { return index >= 0 && index < Count(); }

    // A null icon or pixmap for an index outside the list.
    QIcon Icon(int index) const;
    // Every icon, in index order, for builders that take a plain list.
    std::vector<QIcon> Icons() const;
    QPixmap Pixmap(int index, qreal devicePixelRatio = 1.0) const;
    // The image at `index` with the image `overlay` drawn smaller over its lower
    // left corner, as the tree marks a node; the base image alone when `overlay`
    // is outside the list.
    QIcon Overlaid(int index, int overlay) const;

    // The image at `index` rendered `pixels` square; a transparent one when the
    // index is outside the list.
    QImage Render(int index, int pixels) const;

private:
    std::vector<QString> files_;
    int size_;
    mutable std::map<int, QIcon> icons_;
    mutable std::map<std::pair<int, int>, QIcon> overlaid_;
};

// The program's own icon (a radio), for its windows and the About box.
QIcon appIcon();
// The SVG file of the program's icon, as a resource path.
QString appIconFile();

} // namespace marlo
