#include "grid/modello_griglia_qt.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <string_view>

#include "ui/finestra_qt.h"
#include "ui/testo_qt.h"

namespace grid {

namespace {

// Only the weight is set: the view's own face and size fill in the rest.
QVariant FontGriglia(const Griglia& griglia) {
    if (!griglia.FontBold()) return {};
    QFont font;
    font.setBold(true);
    return font;
}

using ui::InQString;

}  // namespace

Qt::Alignment AllineamentoQt(Allineamento allineamento, std::string_view testo) {
    switch (allineamento) {
        case Allineamento::Sinistra:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case Allineamento::Centro:
            return Qt::AlignCenter;
        case Allineamento::Generale:
            break;
    }
    return (SembraNumero(testo) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

ModelloGrigliaQt::ModelloGrigliaQt(Griglia& griglia, QObject* parent)
    : QAbstractTableModel(parent), griglia_(griglia), righeMostrate_(griglia.Rows() - 1) {
    griglia_.setOsservatore(this);
}

ModelloGrigliaQt::~ModelloGrigliaQt() {
    griglia_.setOsservatore(nullptr);
}

int ModelloGrigliaQt::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : righeMostrate_;
}

int ModelloGrigliaQt::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColonne;
}

std::optional<std::string_view> ModelloGrigliaQt::cella(int rigaModello, int colonna) const {
    if (rigaModello < 0 || rigaModello >= righeMostrate_ || colonna < 0 || colonna >= kColonne)
        return std::nullopt;
    if (cambio_.inCorso && rigaModello >= cambio_.inizio) {
        if (cambio_.quante < 0 && rigaModello < cambio_.inizio - cambio_.quante)
            return std::nullopt;
        rigaModello += cambio_.quante;
    }
    const auto& righe = griglia_.righe();
    if (rigaModello >= static_cast<int>(righe.size())) return std::nullopt;
    return righe.cella(static_cast<std::size_t>(rigaModello), static_cast<std::size_t>(colonna));
}

QVariant ModelloGrigliaQt::data(const QModelIndex& indice, int ruolo) const {
    if (!indice.isValid() || indice.parent().isValid()) return {};
    const auto testo = cella(indice.row(), indice.column());
    if (!testo) return {};
    switch (ruolo) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return InQString(*testo);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                AllineamentoQt(griglia_.ColAlignment(indice.column()), *testo));
        case Qt::FontRole:
            return FontGriglia(griglia_);
        case Qt::AccessibleTextRole: {
            // A screen reader names the column with the cell: "Importo 1.250,00".
            QString nome = InQString(griglia_.Cella(0, indice.column()));
            if (!testo->empty()) nome += QChar(' ') + InQString(*testo);
            return nome;
        }
        default:
            return {};
    }
}

void ModelloGrigliaQt::ImpostaColoriIntestazione(const QColor& sfondo, const QColor& testo) {
    sfondoIntestazione_ = sfondo;
    testoIntestazione_ = testo;
    emit headerDataChanged(Qt::Horizontal, 0, kColonne - 1);
}

QVariant ModelloGrigliaQt::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (orientamento != Qt::Horizontal || sezione < 0 || sezione >= kColonne)
        return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
    const std::string_view testo = griglia_.Cella(0, sezione);
    switch (ruolo) {
        case Qt::DisplayRole:
            return InQString(testo);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(AllineamentoQt(griglia_.FixedAlignment(sezione), testo));
        case Qt::ForegroundRole: {
            const ColoreRgb c = griglia_.ForeColorFixed();
            const QColor voluto(c.r, c.g, c.b);
            if (!sfondoIntestazione_.isValid()) return QBrush(voluto);
            return QBrush(ui::ColoreLeggibile(voluto, sfondoIntestazione_, testoIntestazione_));
        }
        case Qt::FontRole:
            return FontGriglia(griglia_);
        default:
            return {};
    }
}

Qt::ItemFlags ModelloGrigliaQt::flags(const QModelIndex& indice) const {
    // The register is changed only through the program's commands, never typed into.
    if (!indice.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ModelloGrigliaQt::righeInserite(int prima, int ultima) {
    const int quante = ultima - prima + 1;
    cambio_ = {true, prima - 1, quante};
    beginInsertRows(QModelIndex(), prima - 1, ultima - 1);
    cambio_ = {};
    righeMostrate_ += quante;
    endInsertRows();
}

void ModelloGrigliaQt::righeRimosse(int prima, int ultima) {
    const int quante = ultima - prima + 1;
    cambio_ = {true, prima - 1, -quante};
    beginRemoveRows(QModelIndex(), prima - 1, ultima - 1);
    cambio_ = {};
    righeMostrate_ -= quante;
    endRemoveRows();
}

void ModelloGrigliaQt::cellaCambiata(int riga, int colonna) {
    if (riga == 0) {
        emit headerDataChanged(Qt::Horizontal, colonna, colonna);
        return;
    }
    const QModelIndex i = index(riga - 1, colonna);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole, Qt::TextAlignmentRole});
}

void ModelloGrigliaQt::aspettoCambiato() {
    emit headerDataChanged(Qt::Horizontal, 0, kColonne - 1);
    if (righeMostrate_ > 0) {
        emit dataChanged(index(0, 0), index(righeMostrate_ - 1, kColonne - 1),
                         {Qt::TextAlignmentRole, Qt::FontRole});
    }
    emit aspettoGrigliaCambiato();
}

void ModelloGrigliaQt::rigaInAltoCambiata(int riga) {
    emit rigaInAltoRichiesta(riga - 1);
}

void ModelloGrigliaQt::cellaCorrenteCambiata(int riga, int colonna) {
    emit cellaCorrenteRichiesta(riga - 1, colonna);
}

}  // namespace grid
