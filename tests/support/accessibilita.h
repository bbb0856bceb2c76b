#pragma once

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

namespace test {

// What a screen reader says for each control of a window the keyboard can reach, one
// "objectName=name" line each in focus-chain order ("txtImporto=Importo:"); a control with
// no spoken name shows as "objectName=". Only controls shown with the window count, and
// the parts of a compound control that hand their focus to it are left to it.
[[nodiscard]] inline std::string NomiParlati(QWidget* finestra) {
    std::string nomi;
    QWidget* w = finestra;
    do {
        w = w->nextInFocusChain();
        if (w == finestra || w->window() != finestra || w->focusProxy() ||
            !(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(finestra))
            continue;
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        const QString nome = i ? i->text(QAccessible::Name).simplified() : QString();
        const QString chi = w->objectName().isEmpty()
                                ? QString::fromLatin1(w->metaObject()->className())
                                : w->objectName();
        if (!nomi.empty()) nomi += '\n';
        nomi += (chi + u'=' + nome).toStdString();
    } while (w != finestra);
    return nomi;
}

// The controls of that list that have no spoken name.
[[nodiscard]] inline std::string ControlliSenzaNome(QWidget* finestra) {
    std::string senza;
    std::string::size_type inizio = 0;
    const std::string nomi = NomiParlati(finestra);
    while (inizio < nomi.size()) {
        auto fine = nomi.find('\n', inizio);
        if (fine == std::string::npos) fine = nomi.size();
        const std::string riga = nomi.substr(inizio, fine - inizio);
        if (riga.ends_with('=')) senza += (senza.empty() ? "" : " ") + riga;
        inizio = fine + 1;
    }
    return senza;
}

// NomiParlati of the modal window `apri` opens (and waits on), which is then closed.
[[nodiscard]] inline std::string NomiParlatiInModale(const std::function<void()>& apri) {
    std::string nomi;
    QTimer::singleShot(0, [&nomi] {
        QWidget* modale = QApplication::activeModalWidget();
        if (!modale) return;
        nomi = NomiParlati(modale);
        if (auto* d = qobject_cast<QDialog*>(modale)) d->reject();
    });
    apri();
    return nomi;
}

}  // namespace test
