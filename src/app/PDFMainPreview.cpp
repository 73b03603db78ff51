// Showing and hiding the preview area: the window grows and shrinks by the area's height.
#include <QCheckBox>
#include <QLayout>
#include <QScrollArea>

#include "Guards.h"
#include "PDFMain.h"

namespace tovra {

void TfrmPDFMain::cbShowPreviewClick() {
    const bool show = cbShowPreview->isChecked();
    Prefs.ShowPreview = show;
    const TRedrawSuspended suspended(this);
    const Qt::WindowStates state = windowState();
    setWindowState(Qt::WindowNoState);
    // Before the window is first shown its layouts have not placed anything yet.
    if (layout()) layout()->activate();
    if (centralWidget() && centralWidget()->layout()) centralWidget()->layout()->activate();
    if (show) {
        resize(width(), SavedHeight);
        pnlControls->setFixedHeight(kControlsHeight);
    } else {
        SavedHeight = height();
        const int previewHeight = sbView->height();
        // The top area fills the whole window while the preview is hidden.
        pnlControls->setMinimumHeight(kControlsHeight);
        pnlControls->setMaximumHeight(QWIDGETSIZE_MAX);
        resize(width(), height() - previewHeight);
    }
    sbView->setVisible(show);
    setWindowState(state);
}

}  // namespace tovra
