#include "CommandLineFiles.h"

#include <QFileInfo>

#include "PDFMain.h"

namespace tovra {

void AddCommandLineFiles(TfrmPDFMain& window, const QStringList& arguments) {
    if (arguments.isEmpty()) return;
    QStringList paths;
    for (const QString& argument : arguments) paths.push_back(QFileInfo(argument).absoluteFilePath());
    window.fdFilesDrop(paths);
}

}  // namespace tovra
