#include "main_window/menu_qt.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

#include "core/conto.h"
#include "estratti/anteprima.h"
#include "estratti/finestre_qt.h"
#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"

namespace main_window {

namespace {

void Premi(Form1Qt& form, const char* pulsante) {
    if (auto* b = form.findChild<QPushButton*>(QString::fromLatin1(pulsante)); b && b->isEnabled())
        b->click();
}

}  // namespace

bool FileEstratto(const QString& file) {
    const QString estensione = QFileInfo(file).suffix().toLower();
    return estensione == QLatin1String("ofx") || estensione == QLatin1String("qfx") ||
           estensione == QLatin1String("csv") || estensione == QLatin1String("xls") ||
           estensione == QLatin1String("xlsx");
}

MenuQt::MenuQt(Form1Qt& form) : QObject(&form), form_(form) {
    // The form's controls keep their places, now on a page below the menu.
    pagina_ = new QWidget(&form);
    pagina_->setObjectName(QStringLiteral("paginaForm1"));
    for (QObject* figlio : form.children()) {
        auto* w = qobject_cast<QWidget*>(figlio);
        if (w && w != pagina_ && !w->isWindow()) w->setParent(pagina_);
    }
    barra_ = new QMenuBar(&form);
    barra_->setObjectName(QStringLiteral("menuPrincipale"));

    auto azione = [this](QMenu* menu, const QString& testo, QKeySequence tasti, auto gestore) {
        QAction* a = menu->addAction(testo);
        a->setShortcut(tasti);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, gestore] {
            gestore();
            form_.Riprendi();
        });
        return a;
    };
    QMenu* file = barra_->addMenu(QStringLiteral("&File"));
    azione(file, QStringLiteral("&Importa estratto conto…"), QKeySequence(Qt::CTRL | Qt::Key_I),
           [this] { sceltaImporta(); });
    azione(file, QStringLiteral("&Esporta…"), QKeySequence(Qt::CTRL | Qt::Key_E), [this] {
        estratti::EsportaQt finestra(form_.contesto(), &form_);
        finestra.exec();
    });
    azione(file, QStringLiteral("Esporta in E&xcel…"), QKeySequence(), [this] {
        estratti::EsportaQt finestra(form_.contesto(), &form_, true);
        finestra.exec();
    });
    QAction* stampa = azione(file, QStringLiteral("&Stampa…"), QKeySequence(Qt::CTRL | Qt::Key_P),
                             [this] { Premi(form_, "CmdStampa"); });
    file->addSeparator();
    azione(file, QStringLiteral("E&sci"), QKeySequence(Qt::CTRL | Qt::Key_Q),
           [this] { Premi(form_, "CmdEsci"); });
    connect(file, &QMenu::aboutToShow, this, [this, stampa] {
        auto* b = form_.findChild<QPushButton*>(QStringLiteral("CmdStampa"));
        stampa->setEnabled(b && b->isEnabled());
    });

    QMenu* vista = barra_->addMenu(QStringLiteral("&Visualizza"));
    azione(vista, QStringLiteral("&Andamento del saldo…"), QKeySequence(Qt::CTRL | Qt::Key_G),
           [this] {
               estratti::AndamentoQt finestra(form_.contesto(), &form_);
               finestra.exec();
           });
    azione(vista, QStringLiteral("&Cerca…"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        estratti::CercaQt finestra(form_.contesto(), form_.vistaGriglia(), &form_);
        finestra.exec();
    });

    QMenu* aiuto = barra_->addMenu(QStringLiteral("&?"));
    aiuto->addAction(QStringLiteral("&Informazioni su Quibora"), this, [this] {
        QMessageBox::about(&form_, QStringLiteral("Informazioni su Quibora"),
                           QStringLiteral("Quibora Lite Edition\n\nRegistro del conto corrente "
                                          "personale.\nImporta estratti conto OFX, QFX e CSV ed "
                                          "esporta il registro in CSV."));
        form_.Riprendi();
    });

    const int altezzaMenu = barra_->sizeHint().height();
    barra_->setGeometry(0, 0, form.width(), altezzaMenu);
    pagina_->setGeometry(0, altezzaMenu, form.width(), form.height());
    form.setFixedSize(form.width(), form.height() + altezzaMenu);
    form.setAcceptDrops(true);
    form.installEventFilter(this);
}

bool MenuQt::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto != &form_) return QObject::eventFilter(oggetto, evento);
    switch (evento->type()) {
        case QEvent::Resize: {
            // The form's logic sizes the window to its designed client area; the menu adds
            // its own height on top.
            const int altezzaMenu = barra_->height();
            if (pagina_->size() != QSize(form_.width(), form_.height() - altezzaMenu)) {
                const int altezzaForm = form_.height() == pagina_->height() + altezzaMenu
                                            ? pagina_->height()
                                            : form_.height();
                pagina_->setGeometry(0, altezzaMenu, form_.width(), altezzaForm);
                barra_->setGeometry(0, 0, form_.width(), altezzaMenu);
                if (form_.height() != altezzaForm + altezzaMenu)
                    form_.setFixedSize(form_.width(), altezzaForm + altezzaMenu);
            }
            break;
        }
        case QEvent::Show:
            if (!rigaComandoFatta_) {
                rigaComandoFatta_ = true;
                const QStringList argomenti = QCoreApplication::arguments();
                for (qsizetype i = 1; i < argomenti.size(); ++i) {
                    if (FileEstratto(argomenti[i]) && QFileInfo(argomenti[i]).isFile()) {
                        const QString file = argomenti[i];
                        QTimer::singleShot(0, this, [this, file] { Importa(file); });
                        break;
                    }
                }
            }
            break;
        case QEvent::DragEnter: {
            auto* e = static_cast<QDragEnterEvent*>(evento);
            const auto urls = e->mimeData()->urls();
            if (urls.size() == 1 && urls.front().isLocalFile() &&
                FileEstratto(urls.front().toLocalFile()))
                e->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(evento);
            const auto urls = e->mimeData()->urls();
            if (urls.size() == 1 && urls.front().isLocalFile()) {
                e->acceptProposedAction();
                const QString file = urls.front().toLocalFile();
                // The drop's own event loop must end before a modal window opens.
                QTimer::singleShot(0, this, [this, file] { Importa(file); });
            }
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(oggetto, evento);
}

void MenuQt::sceltaImporta() {
    const QString file = QFileDialog::getOpenFileName(
        &form_, QStringLiteral("Importa estratto conto"), QString(),
        QStringLiteral("Estratti conto (*.ofx *.qfx *.csv *.xls *.xlsx *.OFX *.QFX *.CSV *.XLS "
                       "*.XLSX);;Tutti i file (*)"));
    if (!file.isEmpty()) Importa(file);
}

void MenuQt::Importa(const QString& file) {
    ui::Contesto& c = form_.contesto();
    estratti::VistaImportazioneQt vista(c, &form_);
    // Banks' column layouts are kept beside the password, in the configuration folder the
    // program was started with.
    estratti::ImportaEstratto(c, file.toStdString(), c.file.percorsoPassword().parent_path(), vista,
                              [this] { form_.logica().CmdEuro_Click(); });
    form_.Riprendi();
}

}  // namespace main_window
