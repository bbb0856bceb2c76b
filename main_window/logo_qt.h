#pragma once

#include <QPixmap>
#include <QSize>

namespace main_window {

// The program's logo, drawn rather than loaded so it is sharp at any size: a ledger
// with a coin marked "Q".
[[nodiscard]] QPixmap LogoQuibora(QSize dimensione);

}  // namespace main_window
