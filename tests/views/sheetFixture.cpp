#include "sheetFixture.h"

#include "support/eventLoop.h"

#include <QApplication>
#include <QTest>

using namespace marlo;

std::uint8_t ScriptedEngine::operator()(CellRequest& request, bool notify) {
    if (request.cell == nullptr)
        return 0;
    const CellModel& cell = *request.cell;
    request.text = std::to_string(cell.label) + ":" + std::to_string(cell.index);
    const bool paint =
        request.action == 0 && request.inputMode == 0 && request.popupCommand == 0 && !notify;
    if (paint) {
        painted.emplace_back(cell.label, cell.index);
        return 0;
    }
    const CellModel* partner = request.partner ? request.partner->cell : nullptr;
    calls.push_back({cell.label, cell.index, request.action, request.popupCommand,
                     request.inputMode, request.inputText, request.partner != nullptr,
                     partner ? partner->label : -1, partner ? partner->index : -1});
    return respond ? respond(request) : 0;
}

SheetTest::SheetTest() {
    lines.insert(lines.end(), {"#GI_PMenu_T_BasicCell", "{(%CT_PopupMenu.)}", "#GI_PMenu_T_Body",
                               "+&Edit...\t{(%CL_PMenu_Edit:Enter)}", "+-",
                               "+&Paste\t{(%CL_PMenu_Paste:Ctrl+V)}",
                               "+Nothing\t{(%CL_PMenu_NoItem:NoSuchKey)}"});
    NotificationHub::SetApp(&hub);
    hub.Subscribe(&SheetTest::Record, this);
    marks.warning = QImage(8, 8, QImage::Format_ARGB32);
    marks.warning.fill(Qt::yellow);
    marks.error = QImage(8, 8, QImage::Format_ARGB32);
    marks.error.fill(Qt::red);
}

SheetTest::~SheetTest() {
    sheet.reset();
    host.reset();
    hub.Unsubscribe(&SheetTest::Record, this);
    NotificationHub::SetApp(nullptr);
}

void SheetTest::Record(void* self, const HubMessage& message) {
    auto& test = *static_cast<SheetTest*>(self);
    HubMessage copy;
    copy.type = message.type;
    copy.object = message.object;
    copy.value = message.value;
    copy.payload = message.payload;
    test.messages_.push_back(std::move(copy));
}

std::vector<HubMessage> SheetTest::Seen(std::uint8_t type) const {
    std::vector<HubMessage> seen;
    for (const auto& m : messages_)
        if (m.type == type)
            seen.push_back(m);
    return seen;
}

void SheetTest::Define(const std::string& key, const std::string& style,
                       const std::vector<std::string>& cells, const std::string& basic) {
    sheet.reset(); // the store it reads is about to be replaced
    store.reset();
    addSheet(lines, key, style, basic, cells);
}

OverlayTexts& SheetTest::Store() {
    if (!store)
        store = std::make_unique<OverlayLineStore>(lines);
    return store->Store();
}

Sheet& SheetTest::Make(const std::string& key, bool popup, Sheet::StartCell start) {
    sheet.reset();
    host = std::make_unique<QWidget>();
    host->resize(420, 300);
    sheet = std::make_unique<Sheet>(host.get(), nullptr, start, Store(), key, &marks);
    sheet->SetEngine([this](CellRequest& r, bool notify) { return engine(r, notify); });
    sheet->SetWait([this](int ms) { waits.push_back(ms); });
    sheet->SetPopup(popup);
    sheet->Build();
    host->show();
    host->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(host.get()));
    sheet->Grid()->setFocus();
    QApplication::processEvents();
    return *sheet;
}

std::pair<int, int> SheetTest::CursorAt() const {
    return {sheet->Grid()->Col(), sheet->Grid()->Row()};
}

QPoint SheetTest::CentreOf(int col, int row) const {
    const GridRect r = sheet->Grid()->CellRect(col, row);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void SheetTest::Key(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : sheet->Grid(), static_cast<Qt::Key>(key),
                    modifiers);
}

void SheetTest::FlushHub() {
    const auto passes = hub.Passes();
    runEventLoopUntil([&] { return hub.Passes() >= passes + 2; });
}

void defineList(SheetTest& test, const std::string& key, const std::string& style) {
    test.Define(key, style,
                {":(SelectOFF)", "{($Hd)}No|{($Hd)}Ch|{($Hd)}Receive|{($Hd)}|{($Hd)}Comment",
                 ":(SelectON)", ":(LoopFrom 10)",
                 "{($Hd)(%CT_UserCh.CL_Misc_ChNo_1Base[0])}000|{($r)(%CT_UserCh.CL_UCh_CH[0])}"
                 "0000|{($r)(%CT_UserCh.CL_UCh_FreqR[0])}29999.9|{($t)}kHz|"
                 "{($e)(%CT_UserCh.CL_UCh_Comment[0])}MMMMMMMM",
                 ":(LoopTo)"},
                "{($Basic)(PopupMenu=GI_PMenu_T)}");
}
