#include "ui/lingua_qt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

QTranslator* CaricaTraduzioniQt(QCoreApplication& applicazione) {
    auto* traduzioni = new QTranslator(&applicazione);
    if (!traduzioni->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduzioni;
        return nullptr;
    }
    QCoreApplication::installTranslator(traduzioni);
    return traduzioni;
}

}  // namespace ui
