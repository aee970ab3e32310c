#pragma once

#include "radio/cellRequest.h"
#include "sheets/cellModel.h"
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

namespace marlo {

class OverlayTexts;
struct HubMessage;

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
class Menu : public QObject {
    Q_OBJECT

public:
    // A chosen item; the default runs the item's command in the engine.
    using ClickHandler = std::function<void(Menu& builder, CellModel& model)>;

    // `root` is a QMenuBar or a QMenu (borrowed); `models` holds the named cell
    // models (the store itself when null).
    Menu(QWidget* owner, QWidget* root, OverlayTexts& store, std::string key,
         ClickHandler handler = {}, OverlayTexts* models = nullptr);
    ~Menu() override;
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // The engine that states and default clicks are evaluated by; by default a
    // fresh engine in the program's cell context for each evaluation.
    void SetEngine(CellEngineCall engine) { engine_ = std::move(engine); }
    // Icons by image index for the items that name one.
    void SetImages(std::vector<QIcon> images) { images_ = std::move(images); }

    // Empties the root and builds its items from the key's entries.
    void Build();
    // Asks the engine for every item's state, sub-items after their item.
    void RefreshStates();
    // The first item, depth first, whose model has `label`; null if none.
    QAction* FindByLabel(std::int32_t label) const;
    // The model behind an item of this builder; null for a foreign item.
    CellModel* ModelOf(QAction* item) const;

    QWidget* Root() const { return root_; }
    const std::string& Key() const { return key_; }
    // Chooses the item as a click does.
    void Click(QAction* item);
    // Ends the builder without pulling anything from under Qt: it stops
    // following the hub and its root at once, but it and its items go only once
    // the event being delivered is done, so an item Qt is still activating runs
    // its command as chosen.
    static void Retire(std::unique_ptr<Menu> builder);

private:
    struct Item {
        std::shared_ptr<CellModel> model;
        QPointer<Menu> target; // whose handler the click goes to
        std::string key;       // the entry the item was built from
    };

    static void OnHub(void* self, const HubMessage& message);
    std::vector<QAction*> BuildItems(QWidget* under, const std::string& key, Menu* target);
    QAction* AddItem(QWidget* under, std::unique_ptr<CellModel> model, Menu* target,
                     const std::string& key);
    void FillItem(QAction* item, const std::string& key, Menu* target);
    void RemoveItems(QWidget* under);
    void RefreshItem(QAction* item);
    void AskServedCell();
    void DefaultClick(CellModel& model);
    std::uint8_t Evaluate(CellRequest& request);

    QWidget* owner_;
    bool subscribed_ = true;
    QPointer<QWidget> root_;
    OverlayTexts& store_;
    OverlayTexts& models_;
    std::string key_;
    ClickHandler handler_;
    CellEngineCall engine_;
    std::vector<QIcon> images_;
    CellModel base_;
    std::unordered_map<QAction*, Item> items_;
    CellRequest state_;
    std::unique_ptr<CellModel> servedCell_;
    CellRequest servedRequest_;
};

// What a menu line says: its depth (characters before the first '+') and the
// cell text after it; nothing for a line without '+'.
struct MenuLine {
    int depth = 0;
    std::string_view cell;
};
std::optional<MenuLine> splitMenuLine(std::string_view line);

} // namespace marlo
