#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStyledItemDelegate>
#include <functional>

#include "estratti/anteprima.h"

class QPalette;

namespace estratti {

enum ColonnaAnteprima {
    kColTick,
    kColData,
    kColTipo,
    kColRiferimento,
    kColImporto,
    kColSaldo,
    kColNote,
    kColonneAnteprima
};

// The preview's rows as a table model: texts are made only for the rows the view paints, so
// a statement of any length shows at once. Ticks and types go through the preview's own rules
// (ImpostaInclusa, ImpostaTipo), so the amounts, the balances and what is saved agree.
class ModelloAnteprima : public QAbstractTableModel {
    Q_OBJECT
  public:
    ModelloAnteprima(Anteprima& anteprima, bool lire, QObject* parent = nullptr);
    // Runs `cambia`, which replaces the preview's rows (the statement read again).
    void ricarica(const std::function<void()>& cambia);
    // The colour of a negative balance, readable on the palette's base.
    void impostaTavolozza(const QPalette& tavolozza);
    [[nodiscard]] QColor coloreNegativo() const { return negativo_; }
    [[nodiscard]] int incluse() const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

  signals:
    // A tick or a type changed: the counts below the table are stale.
    void righeCambiate();

  private:
    [[nodiscard]] QString note(const RigaAnteprima& riga) const;
    void cambiateDa(int riga);

    Anteprima& a_;
    bool lire_;
    QColor negativo_;
};

// The type cell's editor, made only while that cell is edited: a list of the types of the
// row's own direction, so a type never turns a debit into a credit.
class DelegatoTipo : public QStyledItemDelegate {
    Q_OBJECT
  public:
    DelegatoTipo(const Anteprima& anteprima, QObject* parent)
        : QStyledItemDelegate(parent), a_(anteprima) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  private:
    const Anteprima& a_;
};

}  // namespace estratti
