#include "estratti/modello_anteprima_qt.h"

#include <QComboBox>
#include <QPalette>

#include "core/importi.h"
#include "ui/finestra_qt.h"
#include "ui/testo_qt.h"

namespace estratti {

namespace {

using ui::InQString;

}  // namespace

ModelloAnteprima::ModelloAnteprima(Anteprima& anteprima, bool lire, QObject* parent)
    : QAbstractTableModel(parent), a_(anteprima), lire_(lire) {
    impostaTavolozza(QPalette());
}

void ModelloAnteprima::ricarica(const std::function<void()>& cambia) {
    beginResetModel();
    cambia();
    endResetModel();
}

void ModelloAnteprima::impostaTavolozza(const QPalette& p) {
    // Red where it reads on the base (4.5:1), else moved toward the text colour until it does.
    negativo_ =
        ui::ColoreLeggibile(QColor(255, 0, 0), p.color(QPalette::Base), p.color(QPalette::Text));
    if (!a_.righe.empty()) emit dataChanged(index(0, kColSaldo), index(rowCount() - 1, kColSaldo));
}

int ModelloAnteprima::incluse() const {
    int n = 0;
    for (const auto& r : a_.righe) n += r.inclusa;
    return n;
}

int ModelloAnteprima::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(a_.righe.size());
}

int ModelloAnteprima::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColonneAnteprima;
}

QString ModelloAnteprima::note(const RigaAnteprima& riga) const {
    QString note = InQString(TestoEsclusione(riga));
    auto aggiungi = [&](const QString& t) {
        if (!note.isEmpty()) note += QStringLiteral("; ");
        note += t;
    };
    if (riga.accorciato) aggiungi(QStringLiteral("Riferimento accorciato"));
    if (riga.riparato) aggiungi(QStringLiteral("Caratteri non memorizzabili sostituiti"));
    if (riga.inclusa && riga.fuoriFido) aggiungi(QStringLiteral("Fuori fido"));
    return note;
}

QVariant ModelloAnteprima::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const RigaAnteprima& riga = a_.righe[static_cast<std::size_t>(index.row())];
    const int col = index.column();
    switch (role) {
        case Qt::DisplayRole:
            switch (col) {
                case kColData:
                    return InQString(core::FormatoData(riga.data));
                case kColTipo:
                    return riga.tipo ? InQString(riga.tipo->caption) : QString();
                case kColRiferimento:
                    return InQString(riga.riferimento);
                case kColImporto:
                    return InQString(
                        (riga.credito ? "" : "-") +
                        core::FormatoModo(riga.importo, lire_ ? core::kLire : core::kEuro));
                case kColSaldo:
                    return riga.inclusa ? InQString(core::FormatoModo(riga.saldo, a_.modoValuta))
                                        : QString();
                case kColNote:
                    return note(riga);
                default:
                    return {};
            }
        case Qt::EditRole:
            if (col == kColTipo && riga.tipo) return riga.tipo->posizione;
            return {};
        case Qt::CheckStateRole:
            if (col == kColTick) return riga.inclusa ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::AccessibleTextRole:
            // A tick box has no text of its own to speak.
            if (col == kColTick)
                return riga.inclusa ? QStringLiteral("Da importare") : QStringLiteral("Escluso");
            return {};
        case Qt::ToolTipRole:
            if (col == kColRiferimento) return InQString(riga.descrizione);
            if (col == kColNote) return note(riga);
            return {};
        case Qt::TextAlignmentRole:
            if (col == kColImporto || col == kColSaldo)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::ForegroundRole:
            if (col == kColSaldo && riga.inclusa && riga.saldo.isNegative()) return negativo_;
            return {};
        default:
            return {};
    }
}

void ModelloAnteprima::cambiateDa(int riga) {
    // A tick or a type moves every later balance and credit-line mark.
    emit dataChanged(index(riga, 0), index(rowCount() - 1, kColonneAnteprima - 1));
    emit righeCambiate();
}

bool ModelloAnteprima::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount()) return false;
    const auto r = static_cast<std::size_t>(index.row());
    if (index.column() == kColTick && role == Qt::CheckStateRole) {
        const bool prima = a_.righe[r].inclusa;
        ImpostaInclusa(a_, r, value.toInt() == Qt::Checked);
        if (a_.righe[r].inclusa == prima) return false;
        cambiateDa(index.row());
        return true;
    }
    if (index.column() == kColTipo && role == Qt::EditRole) {
        const core::TipoMovimento* tipo = core::TipoDaPosizione(value.toInt());
        if (!tipo || tipo == a_.righe[r].tipo) return false;
        if (!ImpostaTipo(a_, r, *tipo)) return false;
        cambiateDa(index.row());
        return true;
    }
    return false;
}

Qt::ItemFlags ModelloAnteprima::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount()) return Qt::NoItemFlags;
    const RigaAnteprima& riga = a_.righe[static_cast<std::size_t>(index.row())];
    if (index.column() == kColTick)
        return EsclusioneObbligata(riga.esclusione)
                   ? Qt::ItemIsSelectable
                   : Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == kColTipo) f |= Qt::ItemIsEditable;
    return f;
}

QVariant ModelloAnteprima::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    static const char* const nomi[kColonneAnteprima] = {
        "", "Data", "Causale", "Riferimento", "Importo", "Saldo", "Note"};
    if (role == Qt::DisplayRole && section >= 0 && section < kColonneAnteprima)
        return QString::fromUtf8(nomi[section]);
    if (role == Qt::AccessibleTextRole && section == kColTick) return QStringLiteral("Importa");
    if (role == Qt::ToolTipRole && section == kColTick)
        return QStringLiteral("Spuntato: il movimento viene importato");
    return {};
}

QWidget* DelegatoTipo::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    if (index.column() != kColTipo || index.row() < 0 ||
        static_cast<std::size_t>(index.row()) >= a_.righe.size())
        return nullptr;
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("tipo"));
    box->setAccessibleName(QStringLiteral("Causale"));
    for (const core::TipoMovimento* t :
         TipiPerRiga(a_.righe[static_cast<std::size_t>(index.row())]))
        box->addItem(InQString(t->caption), t->posizione);
    // A choice is taken as soon as it is made, as the old drop-down did.
    auto* self = const_cast<DelegatoTipo*>(this);
    connect(box, &QComboBox::activated, self, [self, box] {
        emit self->commitData(box);
        emit self->closeEditor(box);
    });
    return box;
}

void DelegatoTipo::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = qobject_cast<QComboBox*>(editor);
    if (!box) return;
    const int i = box->findData(index.data(Qt::EditRole));
    if (i >= 0) box->setCurrentIndex(i);
}

void DelegatoTipo::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    auto* box = qobject_cast<QComboBox*>(editor);
    if (box && box->currentIndex() >= 0) model->setData(index, box->currentData(), Qt::EditRole);
}

}  // namespace estratti
