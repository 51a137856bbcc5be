// Icons the style does not provide: the theme's, else one drawn here, so
// that every toolbar button has a picture on any desktop.
#pragma once

#include <QIcon>

namespace tvx::qt {

// The theme's "document-print", else a drawn printer.
QIcon printIcon();
// The drawn printer alone (the fallback), for tests.
QIcon drawnPrintIcon();

}  // namespace tvx::qt
