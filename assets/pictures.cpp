#include "assets/pictures.h"

#include <QIcon>
#include <QString>

namespace torvane::pictures {

QIcon windowIcon() {
  QIcon icon;
  for (const auto& [pixels, path] : kIconImages) icon.addFile(QString::fromUtf8(path), {pixels, pixels});
  return icon;
}

}  // namespace torvane::pictures
