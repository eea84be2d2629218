#pragma once
// TItemsModel: the grid model over a store's typed rows (a list of its
// structs). Each column is a title, a format and the value it reads of one
// row; the key, when the list has one, is read the same way. No column is
// named after a database column and nothing has to match by position:
//
//   auto* model = new TItemsModel<TRegulOrder>(this,
//       {{QStringLiteral("No Mdt"), [](const TRegulOrder& o) { return db::Value(o.noMdt); },
//         QueryTableModel::Text, Qt::AlignCenter},
//        {QStringLiteral("Montant"), [](const TRegulOrder& o) { return db::Value(o.amount); },
//         QueryTableModel::Money}},
//       [](const TRegulOrder& o) { return db::Value(o.idMdt); });
//   model->setItems(store.OfferedOrders(idFnm));
//   if (const TRegulOrder* o = model->currentItem()) ...
//
// The rows are shown, sorted, filtered and located as any QueryTableModel's
// (locate({key}) finds a row by its key); they change through setItems() only.

#include "ui/QueryTableModel.h"

#include <QList>

#include <functional>
#include <utility>
#include <vector>

template <class Item>
class TItemsModel : public QueryTableModel {
public:
    using Read = std::function<db::Value(const Item&)>;
    struct ItemColumn {
        QString title;
        Read value;
        Format format = Auto;
        Qt::Alignment alignment = {};
    };

    TItemsModel(QObject* parent, QList<ItemColumn> columns, Read key = nullptr)
        : QueryTableModel(parent), m_columns(std::move(columns)), m_key(std::move(key))
    {
        for (int c = 0; c < m_columns.size(); ++c) {
            addColumn(FieldOf(c), m_columns[c].title, m_columns[c].format, m_columns[c].alignment);
            m_fields << FieldOf(c);
        }
        if (m_key) {
            m_fields << KeyField();
            setKeyFields({KeyField()});
        }
    }

    // Shows `items` in their order; the first one is current.
    void setItems(QList<Item> items)
    {
        m_items = std::move(items);
        std::vector<std::vector<db::Value>> rows;
        rows.reserve(size_t(m_items.size()));
        for (const Item& item : m_items) {
            std::vector<db::Value> values;
            values.reserve(size_t(m_fields.size()));
            for (const ItemColumn& c : m_columns)
                values.push_back(c.value(item));
            if (m_key)
                values.push_back(m_key(item));
            rows.push_back(std::move(values));
        }
        setRows(m_fields, std::move(rows));
    }
    const QList<Item>& items() const { return m_items; }

    // The item a shown row stands for; nullptr out of range.
    const Item* item(int shownRow) const
    {
        const int source = sourceRow(shownRow);
        return source < 0 ? nullptr : &m_items[source];
    }
    const Item* currentItem() const { return item(currentRow()); }
    // Makes the first shown item that `match` keeps current; false when none.
    bool locateItem(const std::function<bool(const Item&)>& match)
    {
        for (int r = 0; r < rowCount(); ++r)
            if (match(*item(r))) {
                setCurrentRow(r);
                return true;
            }
        return false;
    }

private:
    static QString FieldOf(int column) { return QString::number(column); }
    static QString KeyField() { return QStringLiteral("KEY"); }

    QList<ItemColumn> m_columns;
    Read m_key;
    QStringList m_fields;
    QList<Item> m_items;
};
