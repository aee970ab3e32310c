#include "views/imageList.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

// Opaque pixels of an image region.
int inked(const QImage& image, QRect region) {
    int count = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return count;
}

bool reddish(QRgb pixel) {
    return qRed(pixel) > 180 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

TEST(ImageList, EveryImageIsDrawnSharpAtOneAndTwoDevicePixelsPerPoint) {
    for (const ImageList& list : {ImageList::ForTree(), ImageList::ForToolBar()}) {
        for (int index = 0; index < list.Count(); ++index) {
            SCOPED_TRACE(index);
            const QPixmap twice = list.Icon(index).pixmap(QSize(16, 16), 2.0);
            ASSERT_EQ(twice.size(), QSize(32, 32));
            const QImage sharp = twice.toImage();
            // Drawn from the vector at 32 pixels, not a 16-pixel picture blown up.
            const QImage blown = list.Render(index, 16).scaled(32, 32);
            EXPECT_NE(sharp.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                      blown.convertToFormat(QImage::Format_ARGB32_Premultiplied));
            EXPECT_GT(inked(sharp, sharp.rect()), 32 * 32 / 5);
        }
        EXPECT_TRUE(list.Icon(list.Count()).isNull());
        EXPECT_TRUE(list.Icon(-1).isNull());
    }
}

TEST(ImageList, AnOverlaidMarkCoversTheLowerLeftCorner) {
    const ImageList list = ImageList::ForTree();
    const QImage base = list.Icon(treeImage::Folder).pixmap(QSize(16, 16), 2.0).toImage();
    const QImage marked =
        list.Overlaid(treeImage::Folder, treeImage::Error).pixmap(QSize(16, 16), 2.0).toImage();
    EXPECT_TRUE(reddish(marked.pixel(10, 16)));
    EXPECT_FALSE(reddish(base.pixel(10, 16)));
    EXPECT_EQ(marked.pixel(28, 8), base.pixel(28, 8)); // the upper right stays the folder
    EXPECT_EQ(list.Overlaid(treeImage::Folder, -1).cacheKey(),
              list.Icon(treeImage::Folder).cacheKey());
}

TEST(ImageList, TheProgramIconComesInLauncherSizes) {
    const QIcon icon = appIcon();
    const QImage large = icon.pixmap(QSize(256, 256)).toImage();
    ASSERT_EQ(large.size(), QSize(256, 256));
    EXPECT_GT(inked(large, large.rect()), 256 * 256 / 3);
}

} // namespace
