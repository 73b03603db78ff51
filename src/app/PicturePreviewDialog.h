#pragma once
// The Load Images dialog with a picture preview pane: Qt's own (non-native) file dialog with a
// resizable pane beside it that shows the picture the cursor is on, scaled into the pane.
#include <QStringList>

class QWidget;

namespace tovra {

struct TOpenFilesRequest;

// Shows the dialog modally; the chosen files, or an empty list on cancel.
QStringList RunPicturePreviewDialog(QWidget* owner, const TOpenFilesRequest& request);

}  // namespace tovra
