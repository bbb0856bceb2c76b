#pragma once

#include <QString>
#include <string_view>

namespace ui {

// The program's texts are UTF-8 throughout; this is their one way into Qt.
[[nodiscard]] inline QString InQString(std::string_view testo) {
    return QString::fromUtf8(testo.data(), static_cast<qsizetype>(testo.size()));
}

}  // namespace ui
