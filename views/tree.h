#pragma once

#include "sheets/cellModel.h"

#include <QPointer>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace marlo {

class NotificationHub;
class OverlayTexts;
class ImageList;
struct HubMessage;

// The read-only tree of sheets and commands, built from two overlay entries of
// its key K:
//
//   #K_BasicCell   {(ImageIndex=2)(%CT_Null.CallSheet)}
//   #K_Body        +{(ImageIndex=0)}Radio
//                  .+{(ImageIndex=1)}Lists
//                  ..+{(:GI_Sheet_UserCh)}User channels
//                  ..+{(:GI_Sheet_SelCall)}Selective-call IDs
//                  .+{(:GI_Sheet_Common)(ImageIndex=3)}Common settings
//
// The number of characters before the first '+' is a node's depth; the rest is
// the node's cell. A node leads to the sheet its cell's parameter names, and the
// document check marks nodes by that parameter with the warning or the error
// image. The tree gives itself up when the hub announces that its host window is
// being destroyed: the view goes, the object stays harmless until its owner
// deletes it.
class Tree {
public:
    // Overlay indexes of Mark.
    static constexpr int kErrorOverlay = 0;
    static constexpr int kWarningOverlay = 1;

    // Creates the view as a child of `host` (the host lays it out) and subscribes
    // to `hub`. `store` and `images` are borrowed.
    Tree(QWidget* host, OverlayTexts& store, std::string key, const ImageList& images,
         NotificationHub& hub);
    ~Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    // (Re)builds the nodes from the overlay; nothing is selected afterwards.
    void Build();

    // Null once the host has gone.
    QTreeWidget* View() const { return view_; }
    // The view's width that shows every node whole, collapsed ones included,
    // at the view's font; 0 once the host has gone.
    int NaturalWidth() const;
    // The selected node's model, or null.
    const CellModel* SelectedModel() const;
    const CellModel* ModelOf(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* FirstNode() const;
    // Selects the first node (which runs the selection handler after the delay).
    void SelectFirst();
    // Selects the node whose sheet descriptor is `descriptor`, opening its
    // branch; false when no node names it.
    bool SelectDescriptor(const std::string& descriptor);

    // Marks: each node shows at most one, an error or a warning.
    void ClearMarks();
    // Marks every node whose model's parameter is one of `names`, and every
    // collapsed node above a marked one, with the error (kErrorOverlay) or the
    // warning (kWarningOverlay) image; returns the number of nodes named.
    int Mark(const std::vector<std::string>& names, int overlay);
    // The overlay index a node shows, or -1.
    static int MarkOf(const QTreeWidgetItem* node);

    // How the main window hears of the tree: the selected node's model once the
    // selection has rested for the change delay, and every expand or collapse.
    void SetChangeDelay(int milliseconds);
    void OnSelect(std::function<void(const CellModel&)> handler) { onSelect_ = std::move(handler); }
    void OnExpandOrCollapse(std::function<void()> handler) { onExpand_ = std::move(handler); }

private:
    static void OnMessage(void* self, const HubMessage& message);
    void GiveUp();
    int ReadLevel(QTreeWidgetItem* parent, int start);
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, std::string_view cellText);
    bool MarkBelow(QTreeWidgetItem* node, const std::vector<std::string>& names, int overlay,
                   int& matches);
    void ShowMark(QTreeWidgetItem* node, int overlay);
    void SelectionRested();

    QWidget* host_;
    OverlayTexts& store_;
    std::string key_;
    const ImageList& images_;
    NotificationHub& hub_;
    QPointer<QTreeWidget> view_;
    QPointer<QTimer> delay_;
    CellModel base_;
    std::deque<CellModel> models_; // stable addresses; a node keeps its model's place
    std::vector<std::string> bodyLines_;
    std::function<void(const CellModel&)> onSelect_;
    std::function<void()> onExpand_;
};

} // namespace marlo
