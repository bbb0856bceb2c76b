#pragma once

#include <QDate>

#include "core/date.h"

namespace estratti {

inline QDate QData(const core::Data& d) {
    return QDate(d.anno, d.mese, d.giorno);
}

inline core::Data DataDa(const QDate& d) {
    return {d.year(), d.month(), d.day()};
}

}  // namespace estratti
