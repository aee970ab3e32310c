#pragma once

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "document/appCellContext.h"
#include "main/radioAppController.h"
#include "support/scriptedPrompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace marlo;

namespace marlo {
struct ExchangeList;
}

// The program's controller, in expert mode or not, with a document of one
// variant made from the installed initial file, and the engine's context on
// it; settings of its own and a hub around them.
class ExchangeTest : public ::testing::Test {
protected:
    ExchangeTest();
    ~ExchangeTest() override;

    // A fresh untitled document from the initial file of `variant`.
    void startDocument(int variant, bool expert = false);
    MemoryImage& document() { return controller_->CurrentImage(); }

    static const ExchangeList& list(const std::string& name);
    std::string exportCsv(const std::string& listName);
    // The problems an import of `csv` reports, as the command line writes them.
    // Errors the document had before go to `standing` when given.
    std::vector<std::string> importCsv(const std::string& listName, const std::string& csv,
                                       std::vector<std::string>* standing = nullptr);
    std::vector<std::string> diff(MemoryImage& a, MemoryImage& b);

    // Fills every list of the document, each entry in use, with settings and
    // band edges unlike the initial file's; nothing is marked invalid.
    void fillEveryList();

    static void copy(MemoryImage& to, const MemoryImage& from) { to.Assign(from); }

    QTemporaryDir folder_;
    SettingsStore settings_;
    NotificationHub hub_;
    ScriptedPrompter prompter_;
    std::unique_ptr<RadioAppController> controller_;
    std::unique_ptr<AppCellContext> context_;
};
