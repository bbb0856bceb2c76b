#pragma once

class QCoreApplication;
class QTranslator;

namespace ui {

// Qt's own dialogs (files, printing, standard buttons) in Italian, as the rest of the
// program, whatever the user's locale: Qt's translations from where Qt keeps them, owned
// by `applicazione`. Null when they are not installed; the dialogs then stay in English.
QTranslator* CaricaTraduzioniQt(QCoreApplication& applicazione);

}  // namespace ui
