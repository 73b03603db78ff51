#include "PicturePreviewDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QSplitter>

#include "DialogService.h"
#include "convert/ImageKinds.h"
#include "imaging/JpegImage.h"
#include "imaging/RecordImage.h"
#include "report/UprightPicture.h"

namespace tovra {

namespace {

constexpr int kPaneSide = 200;

// The picture as the program reads it (the first page of a multi-page file), decoded at about
// the pane's size where its reader can, and upright; null for a file of no supported kind or one
// its reader refuses.
QImage OwnPanePicture(const QString& path) {
    const TImageFormat* format = FormatOfKind(ImageKindOfFile(path.toStdString()));
    if (!format) return {};
    try {
        const std::unique_ptr<TGraphic> graphic = format->Load(path.toStdString(), 0);
        QImage image;
        if (const auto* record = dynamic_cast<const TRecordImage*>(graphic.get())) {
            image = record->ScreenImage(kPaneSide);
        } else if (const auto* jpeg = dynamic_cast<const TJpegImage*>(graphic.get())) {
            image = jpeg->Decode(kPaneSide);
        } else {
            image = graphic->ToImage();
        }
        if (image.width() > kPaneSide || image.height() > kPaneSide)
            image = image.scaled(kPaneSide, kPaneSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return UprightImage(image, graphic->Orientation());
    } catch (const std::exception&) {
        return {};
    }
}

// Reads the picture only as large as the pane needs; files of no supported kind through Qt.
QPixmap PanePicture(const QString& path) {
    if (!QFileInfo(path).isFile()) return {};
    if (const QImage own = OwnPanePicture(path); !own.isNull()) return QPixmap::fromImage(own);
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
