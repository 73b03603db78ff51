#pragma once
// The application object of the desktop program. A failure that reaches the event loop is shown
// in an error box and the program carries on; nothing is logged.
#include <memory>

#include <QApplication>

namespace tovra {

class TDialogService;

class TTovraApplication : public QApplication {
public:
    TTovraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Where the failures are shown (the desktop's message boxes unless replaced).
    void SetDialogs(std::shared_ptr<TDialogService> dialogs) { dialogs_ = std::move(dialogs); }

private:
    void Report(const QString& message);
    std::shared_ptr<TDialogService> dialogs_;
};

}  // namespace tovra
