#include "app/dialogs/PDFAbout.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/dialogs/ShadedPanel.h"
#include "components/Other/Utils.h"

namespace tovra {

QPoint TfrmPDFAbout::dragOffset_;

namespace {

constexpr int kWidth = 265;
constexpr int kHeight = 196;
constexpr int kInset = 6;

const char* const kDescription =
    "Tovra PDF makes one PDF document from a list of BMP, GIF and JPEG pictures: one page for each "
    "picture, each with its own paper, orientation, margins and sizing.";

QPixmap ProgramIcon(const QWidget* widget) {
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = widget->style()->standardIcon(QStyle::SP_FileIcon);
    return icon.pixmap(32, 32);
}

}  // namespace

QString TfrmPDFAbout::HomePage() { return QStringLiteral(TOVRA_HOMEPAGE); }

TfrmPDFAbout::TfrmPDFAbout(QWidget* parent, int colorDepth)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      OpenTarget([](const std::string& target) { OpenDocument(target); }) {
    BuildControls();
    // Shades look banded or dithered on a palette display; it gets a plain white background.
    if ((colorDepth < 0 ? DisplayColorDepth() : colorDepth) <= 8) pnlShade->SetStartColor(pnlShade->EndColor());
    WatchMouse(this);
}

void TfrmPDFAbout::Execute(QWidget* owner) {
    auto* about = new TfrmPDFAbout(owner);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->exec();
}

void TfrmPDFAbout::BuildControls() {
    setWindowTitle(QStringLiteral("About Tovra PDF"));  // not displayed: the window has no title bar
    setFixedSize(kWidth, kHeight);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(silver);
    setAutoFillBackground(true);

    pnlShade = new TShadedPanel(this);
    pnlShade->setGeometry(kInset, kInset, kWidth - 2 * kInset, kHeight - 2 * kInset);
    auto* layout = new QVBoxLayout(pnlShade);
    layout->setContentsMargins(10, 8, 10, 6);

    auto* heading = new QHBoxLayout;
    imgIcon = new QLabel(pnlShade);
    imgIcon->setPixmap(ProgramIcon(this));
    imgIcon->setFixedSize(32, 32);
    imgIcon->setAccessibleName(QStringLiteral("Program icon"));
    heading->addWidget(imgIcon);
    lblName = new QLabel(QStringLiteral("Tovra PDF"), pnlShade);
    QFont nameFont(QStringLiteral("Times New Roman"));
    nameFont.setPixelSize(24);
    nameFont.setBold(true);
    nameFont.setItalic(true);
    lblName->setFont(nameFont);
    heading->addWidget(lblName, 1);
    layout->addLayout(heading);

    lblVersion = new QLabel(QStringLiteral("Version: Unknown"), pnlShade);
    lblVersion->setText(QStringLiteral("Version ") + QStringLiteral(TOVRA_VERSION));
    layout->addWidget(lblVersion);

    lblDescription = new QLabel(QString::fromLatin1(kDescription), pnlShade);
    lblDescription->setWordWrap(true);
    QPalette maroon = lblDescription->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    lblDescription->setPalette(maroon);
    layout->addWidget(lblDescription, 1);

    lblLicence = new QLabel(QStringLiteral("Released under the MIT licence"), pnlShade);
    layout->addWidget(lblLicence);

    aHomePage = new QAction(QStringLiteral("&HomePage"), this);
    aClose = new QAction(QStringLiteral("&Close"), this);
    connect(aHomePage, &QAction::triggered, this, [this] { aHomePageExecute(); });
    connect(aClose, &QAction::triggered, this, [this] { AboutClose(); });

    auto* links = new QHBoxLayout;
    lnkHomePage = MakeLink(QStringLiteral("&HomePage"), aHomePage);
    lnkClose = MakeLink(QStringLiteral("&Close"), aClose);
    lnkHomePage->setObjectName("lnkHomePage");
    lnkClose->setObjectName("lnkClose");
    lnkHomePage->setToolTip(HomePage());
    links->addWidget(lnkHomePage);
    links->addStretch(1);
    links->addWidget(lnkClose);
    layout->addLayout(links);
}

// A link drawn as text on the shade. It is a real button, so the keyboard reaches it and its
// underlined letter (Alt+H, Alt+C) works as the command's shortcut.
QPushButton* TfrmPDFAbout::MakeLink(const QString& caption, QAction* action) {
    auto* link = new QPushButton(caption, pnlShade);
    link->setFlat(true);
    link->setAutoDefault(false);
    link->setCursor(Qt::PointingHandCursor);
    link->setAccessibleName(QString(caption).remove('&'));
    link->setStyleSheet(QStringLiteral("QPushButton { color: #0000ff; border: none; background: transparent; }"
                                       "QPushButton:focus { border: 1px dotted #000000; }"));
    connect(link, &QPushButton::clicked, action, &QAction::trigger);
    return link;
}

void TfrmPDFAbout::aHomePageExecute() {
    if (OpenTarget) OpenTarget(HomePage().toStdString());
}

void TfrmPDFAbout::AboutClose() { close(); }

void TfrmPDFAbout::WatchMouse(QWidget* widget) {
    // Moves without a button held reach a widget only when it tracks the mouse.
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    for (QObject* child : widget->children())
        if (child->isWidgetType()) WatchMouse(static_cast<QWidget*>(child));
}

bool TfrmPDFAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // Screen coordinates keep this right when a part passes the event on to its parent,
        // which sees it again.
        const QPoint pointer = mouse->globalPosition().toPoint();
        const bool dragging = event->type() == QEvent::MouseMove && mouse->buttons() == Qt::LeftButton &&
                              mouse->modifiers() == Qt::NoModifier;
        // While dragging, the window follows the pointer so the remembered point stays under it.
        if (dragging) move(pointer - dragOffset_);
        else dragOffset_ = pointer - pos();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tovra
