#pragma once

#include <QStatusBar>

#include <functional>
#include <vector>

namespace marlo {

// A status bar of fixed-width panels, laid out left to right. Owner-drawn panels
// are painted by the draw handler; the others stay empty. The resize handler runs
// whenever the bar changes width, so that its owner can size the panels.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    struct Panel {
        int width = 0;
        bool ownerDrawn = false;
    };
    using DrawHandler = std::function<void(QPainter& painter, int panel, const QRect& rect)>;
    using ResizeHandler = std::function<void()>;

    explicit StatusBar(QWidget* parent = nullptr);

    void SetHandlers(DrawHandler draw, ResizeHandler resize);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    // A panel number outside the bar reads as an empty panel and is not changed.
    Panel PanelAt(int i) const;
    void SetPanelWidth(int i, int width);
    // Inserts before panel `before` (at the end when it is past the last).
    void InsertPanel(int before, Panel panel);
    QRect PanelRect(int i) const;
    void RepaintPanel(int i);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool isPanel(int i) const { return i >= 0 && i < PanelCount(); }

    std::vector<Panel> panels_;
    DrawHandler draw_;
    ResizeHandler resize_;
};

} // namespace marlo
