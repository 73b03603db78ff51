#include "TovraApplication.h"

#include <exception>

#include "DialogService.h"
#include "ErrorMessages.h"
#include "ProgramIcon.h"

namespace tovra {

TTovraApplication::TTovraApplication(int& argc, char** argv)
    : QApplication(argc, argv), dialogs_(std::make_shared<TQtDialogService>()) {
    setApplicationName(kAppTitle);
    setWindowIcon(ProgramIcon());
}

bool TTovraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        Report(QString::fromUtf8(failure.what()));
    } catch (...) {
        Report(QStringLiteral("Unknown failure"));
    }
    return false;
}

void TTovraApplication::Report(const QString& message) {
    if (dialogs_) ShowError(*dialogs_, activeWindow(), message);
}

}  // namespace tovra
