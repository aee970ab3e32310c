#pragma once

#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "document/indMainCellContext.h"
#include "main/indMain.h"
#include "sheets/cmcEvMan.h"
#include "support/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct cmcExchangeList;

// The program's controller, in expert mode or not, with a document of one
// variant made from the installed initial file, and the engine's context on
// it; settings of its own and a hub around them.
class ExchangeTest : public ::testing::Test {
protected:
    ExchangeTest();
    ~ExchangeTest() override;

    // A fresh untitled document from the initial file of `variant`.
    void startDocument(int variant, bool expert = false);
    cmcEeprom& document() { return controller_->CurrentImage(); }

    static const cmcExchangeList& list(const std::string& name);
    std::string exportCsv(const std::string& listName);
    // The problems an import of `csv` reports, as the command line writes them.
    std::vector<std::string> importCsv(const std::string& listName, const std::string& csv);
    std::vector<std::string> diff(cmcEeprom& a, cmcEeprom& b);

    // Fills every list of the document, each entry in use, with settings and
    // band edges unlike the initial file's; nothing is marked invalid.
    void fillEveryList();

    static void copy(cmcEeprom& to, const cmcEeprom& from) { to.Assign(from); }

    QTemporaryDir folder_;
    cmcEnviron settings_;
    cmcEvMan hub_;
    ScriptedPrompter prompter_;
    std::unique_ptr<indMain> controller_;
    std::unique_ptr<indMainCellContext> context_;
};
