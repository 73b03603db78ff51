#include "PicturePreviewDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QSplitter>

#include "DialogService.h"

namespace tovra {

namespace {

constexpr int kPaneSide = 200;

// Reads the picture only as large as the pane needs (JPEG files decode scaled down).
QPixmap PanePicture(const QString& path) {
    if (!QFileInfo(path).isFile()) return {};
    QImageReader reader(path);
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > kPaneSide || full.height() > kPaneSide))
        reader.setScaledSize(full.scaled(kPaneSide, kPaneSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

}  // namespace

QStringList RunPicturePreviewDialog(QWidget* owner, const TOpenFilesRequest& request) {
    QFileDialog dialog(owner, request.Title, request.Directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(QtNameFilters(request.Filters));
    dialog.setSizeGripEnabled(true);
    dialog.resize(820, 460);  // room for the list and the pane

    auto* pane = new QLabel(&dialog);
    pane->setObjectName("picturePreview");
    pane->setAccessibleName("Picture preview");
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumSize(kPaneSide, kPaneSide);
    pane->setFrameShape(QFrame::StyledPanel);
    // Qt's own file dialog lays itself out in a grid; the pane takes a new column on the right.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(pane, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    }
    QObject::connect(&dialog, &QFileDialog::currentChanged, pane, [pane](const QString& path) {
        const QPixmap picture = PanePicture(path);
        if (picture.isNull()) {
            pane->clear();
            pane->setText(QFileInfo(path).isFile() ? QStringLiteral("(no preview)") : QString());
        } else {
            pane->setPixmap(picture);
        }
    });
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

}  // namespace tovra
