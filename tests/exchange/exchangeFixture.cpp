#include "exchangeFixture.h"
#include "fullDocument.h"

#include "cli/headlessDocument.h"
#include "core/csvTable.h"
#include "core/modelIdentity.h"
#include "exchange/documentDiff.h"
#include "exchange/exchangeLists.h"
#include "exchange/listExport.h"
#include "exchange/listImport.h"

#include <sstream>
#include <variant>

using namespace marlo;

namespace {

SettingsPlaces places(const QTemporaryDir& folder) {
    return {folder.filePath("Marlo.conf").toStdString(), folder.path().toStdString(),
            ScreenSize{1024, 768}};
}

} // namespace

ExchangeTest::ExchangeTest()
    : settings_("exchange test lock", "Software\\Test\\Exchange", places(folder_)) {
    SettingsStore::SetApp(&settings_);
    NotificationHub::SetApp(&hub_);
}

ExchangeTest::~ExchangeTest() {
    context_.reset();
    controller_.reset();
    hub_.Shutdown();
    NotificationHub::SetApp(nullptr);
    SettingsStore::SetApp(nullptr);
}

void ExchangeTest::startDocument(int variant, bool expert) {
    context_.reset();
    std::vector<std::string> args{"marlo"};
    if (expert)
        args.push_back("/expert");
    controller_ = std::make_unique<RadioAppController>(args);
    startHeadlessDocument(*controller_, variant);
    context_ = std::make_unique<AppCellContext>(*controller_);
}

const ExchangeList& ExchangeTest::list(const std::string& listName) {
    const ExchangeList* found = findExchangeList(listName);
    EXPECT_NE(found, nullptr) << listName;
    return *found;
}

std::string ExchangeTest::exportCsv(const std::string& listName) {
    return exportListCsv(*context_, document(), controller_->ModelVariant(), list(listName));
}

std::vector<std::string> ExchangeTest::importCsv(const std::string& listName,
                                                 const std::string& csv,
                                                 std::vector<std::string>* standing) {
    std::istringstream in(csv);
    CsvLimits limits;
    limits.maxRows = importRowLimit(list(listName));
    auto read = readCsv(in, limits);
    if (const auto* problem = std::get_if<CsvProblem>(&read))
        return {"line " + std::to_string(problem->line) + ": " + problem->reason};
    std::vector<std::string> problems;
    for (const ImportProblem& p :
         importListTable(*context_, controller_->ModelVariant(), list(listName),
                         std::get<CsvTable>(read), standing))
        problems.push_back(describeImportProblem(p));
    return problems;
}

std::vector<std::string> ExchangeTest::diff(MemoryImage& a, MemoryImage& b) {
    const int variant = controller_->ModelVariant();
    return diffDocuments(*context_, {a, variant}, {b, variant}, marloModel::cloneRange);
}

void ExchangeTest::fillEveryList() {
    fillEveryListOf(document());
}
