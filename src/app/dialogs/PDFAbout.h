#pragma once
// The About window: frameless, with the program's icon, name, version, description and licence on
// a background shaded from light blue to white, and two links: "HomePage" (Alt+H) opens the home
// page with the desktop's program, "Close" (Alt+C, also Esc) closes the window. It is moved by
// dragging any part of it with the left button.
//
//   TfrmPDFAbout::Execute(this);   // modal; the window is destroyed when it closes
#include <QAction>
#include <QDialog>
#include <QPoint>

#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace tovra {

class TShadedPanel;

class TfrmPDFAbout : public QDialog {
public:
    // The address the HomePage link opens (set when the program is built).
    static QString HomePage();

    // `colorDepth`: bits per pixel of the display; at 8 or less the background is plain white.
    explicit TfrmPDFAbout(QWidget* parent = nullptr, int colorDepth = -1);

    // Makes an About window, shows it modally and lets it destroy itself when it closes.
    static void Execute(QWidget* owner);

    // Opens a link's target; by default OpenDocument. Its result is not looked at.
    std::function<void(const std::string& target)> OpenTarget;

    void aHomePageExecute();
    void AboutClose();

    TShadedPanel* pnlShade = nullptr;
    QLabel* imgIcon = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblLicence = nullptr;
    QPushButton* lnkHomePage = nullptr;
    QPushButton* lnkClose = nullptr;
    QAction* aHomePage = nullptr;
    QAction* aClose = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QPushButton* MakeLink(const QString& caption, QAction* action);
    void WatchMouse(QWidget* widget);

    // Where the pointer is within the window, remembered while not dragging; shared by every
    // About window.
    static QPoint dragOffset_;
};

}  // namespace tovra
