// Tessarin's own icon, in the sizes drawn from desktop/tessarin.svg when the program is built.
#pragma once

#include <QIcon>

[[nodiscard]] QIcon ProgramIcon();
