#include "ProgramIcon.h"

#include <QDir>

namespace tovra {

QIcon ProgramIcon() {
    // One folder per size, as tools/gen_icons.sh renders them: ":/icons/16x16/tovrapdf.png" ...
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icons"));
    for (const QString& size : sizes.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        icon.addFile(sizes.filePath(size + QStringLiteral("/tovrapdf.png")));
    return icon;
}

}  // namespace tovra
