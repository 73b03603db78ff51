#pragma once
// Files named on the program's command line (as a desktop's "Open with" passes them) enter the
// list as a drop brings them: supported kinds, in the order given, the last one shown.
#include <QStringList>

namespace tovra {

class TfrmPDFMain;

// The arguments after the program's name as full paths; nothing is done without any.
void AddCommandLineFiles(TfrmPDFMain& window, const QStringList& arguments);

}  // namespace tovra
