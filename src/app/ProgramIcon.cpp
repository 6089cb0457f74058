#include "ProgramIcon.h"

#include <QDirIterator>

QIcon ProgramIcon() {
  QIcon icon;
  for (QDirIterator size(":/icons"); size.hasNext();)
    icon.addFile(size.next() + "/tessarin.png");
  return icon;
}
