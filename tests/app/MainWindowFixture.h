#pragma once
// A main window made for a test: its INI file in a fresh folder, the standard papers (Letter
// first, A4 among them), scripted dialogs, and a record of the PDFs it would open.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QStringList>

#include "PDFMain.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "components/Other/PaperForms.h"
#include "components/Other/StandardPapers.h"

namespace tovra::test {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : papers_(PrinterPapersFromFormsSource()) {}

    // Makes the window; an INI text written first is what it reads at start.
    TfrmPDFMain& MakeWindow(const std::string& iniText = {}) {
        if (!iniText.empty()) WriteFileBytes(IniPath(), iniText);
        TMainWindowServices services;
        services.Dialogs = dialogs;
        services.OpenPdf = [this](const std::string& path) { opened.push_back(path); };
        services.ExecutablePath = (dir / "tovrapdf").string();
        window = std::make_unique<TfrmPDFMain>(services);
        return *window;
    }

    std::filesystem::path IniPath() const { return dir / "tovrapdf.ini"; }

    // Image files written into the test's folder.
    std::string Picture(const std::string& name, int width = 40, int height = 30) const;

    // The row texts of the list, top to bottom.
    QStringList Rows() const;

    TempDir dir;
    std::shared_ptr<TScriptedDialogs> dialogs = std::make_shared<TScriptedDialogs>();
    std::vector<std::string> opened;
    std::unique_ptr<TfrmPDFMain> window;

private:
    static TPaperSource PrinterPapersFromFormsSource() {
        return [](int) { return PrinterPapersFromForms(StandardPaperForms()); };
    }
    TPaperSourceOverride papers_;
};

}  // namespace tovra::test
