#pragma once

#include "radio/cmcCellCapsule.h"
#include "sheets/cmcCellObj.h"
#include "views/cellPainter.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QAction;
class QMenu;
class QWidget;
class cmcGTex;
struct cmcEvMessage;

// Builds a menu from overlay entries and keeps its items' states in step with
// the cell engine. The root is a menu bar or a menu; each item carries a cell
// model whose reference names the command:
//
//   #GI_PMenu_Ch_BasicCell   {(%CT_PopupMenu.)}
//   #GI_PMenu_Ch_Body        +&Edit...\t{(%CL_PMenu_Edit:Enter)}
//                            +-
//                            +&Copy\t{(%CL_PMenu_Copy:Ctrl+C)}
//                             +Deeper (a sub-item of Copy: one more leading character)
//
// The engine reports an item's state through the model's user flags: Flag0
// checked, Flag1 hidden, Flag2 disabled, Flag3 the caption is the model's text.
class cuiMenu : public QObject {
    Q_OBJECT

public:
    // A chosen item; the default runs the item's command in the engine.
    using ClickHandler = std::function<void(cuiMenu& builder, cmcCellObj& model)>;

    // `root` is a QMenuBar or a QMenu (borrowed); `models` holds the named cell
    // models (the store itself when null).
    cuiMenu(QWidget* owner, QWidget* root, cmcGTex& store, std::string key,
            ClickHandler handler = {}, cmcGTex* models = nullptr);
    ~cuiMenu() override;
    cuiMenu(const cuiMenu&) = delete;
    cuiMenu& operator=(const cuiMenu&) = delete;

    // The engine that states and default clicks are evaluated by; by default a
    // fresh engine in the program's cell context for each evaluation.
    void SetEngine(cuiCellEngine engine) { engine_ = std::move(engine); }
    // Icons by image index for the items that name one.
    void SetImages(std::vector<QIcon> images) { images_ = std::move(images); }

    // Empties the root and builds its items from the key's entries.
    void Build();
    // Asks the engine for every item's state, sub-items after their item.
    void RefreshStates();
    // The first item, depth first, whose model has `label`; null if none.
    QAction* FindByLabel(std::int32_t label) const;
    // The model behind an item of this builder; null for a foreign item.
    cmcCellObj* ModelOf(QAction* item) const;

    QWidget* Root() const { return root_; }
    const std::string& Key() const { return key_; }
    // Chooses the item as a click does.
    void Click(QAction* item);
    // Ends the builder without pulling anything from under Qt: it stops
    // following the hub and its root at once, but it and its items go only once
    // the event being delivered is done, so an item Qt is still activating runs
    // its command as chosen.
    static void Retire(std::unique_ptr<cuiMenu> builder);

private:
    struct Item {
        std::shared_ptr<cmcCellObj> model;
        QPointer<cuiMenu> target; // whose handler the click goes to
        std::string key;          // the entry the item was built from
    };

    static void OnHub(void* self, const cmcEvMessage& message);
    std::vector<QAction*> BuildItems(QWidget* under, const std::string& key, cuiMenu* target);
    QAction* AddItem(QWidget* under, std::unique_ptr<cmcCellObj> model, cuiMenu* target,
                     const std::string& key);
    void FillItem(QAction* item, const std::string& key, cuiMenu* target);
    void RemoveItems(QWidget* under);
    void RefreshItem(QAction* item);
    void AskServedCell();
    void DefaultClick(cmcCellObj& model);
    std::uint8_t Evaluate(cmcCellCapsule& request);

    QWidget* owner_;
    bool subscribed_ = true;
    QPointer<QWidget> root_;
    cmcGTex& store_;
    cmcGTex& models_;
    std::string key_;
    ClickHandler handler_;
    cuiCellEngine engine_;
    std::vector<QIcon> images_;
    cmcCellObj base_;
    std::unordered_map<QAction*, Item> items_;
    cmcCellCapsule state_;
    std::unique_ptr<cmcCellObj> servedCell_;
    cmcCellCapsule servedRequest_;
};

// What a menu line says: its depth (characters before the first '+') and the
// cell text after it; nothing for a line without '+'.
struct cmcMenuLine {
    int depth = 0;
    std::string_view cell;
};
std::optional<cmcMenuLine> splitMenuLine(std::string_view line);
