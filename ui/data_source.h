#pragma once

#include "data/record_set.h"
#include "data/record_set_listener.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace lambreya {

// The grid as its data source tells it of the record set, after the model has followed.
// These are plain calls, not signals: an error of the grid (an editor's text that cannot
// go into the record) fails the record set's operation that told it.
class DataLink {
public:
    virtual ~DataLink() = default;
    // The record set's current record moved; the grid places it on screen.
    virtual void currentRecordMoved(int oldRow, int newRow, MoveKind kind) = 0;
    // Browsing, editing or new: the indicator follows.
    virtual void recordStateChanged() = 0;
    // The record is about to be posted: an editor's text must go into it now.
    virtual void updateRecordRequested() = 0;
};

// DataSource1: binds the grid to the record set. As a table model it reads the view of the
// record set in place, one row per record and one column per named field, and passes on
// every change the record set reports; nothing is copied. It also holds the automatic
// editing switch: whether typing into the grid may start a change of the current record.
class DataSource : public QAbstractTableModel, private RecordSetListener {
    Q_OBJECT

public:
    DataSource(RecordSet& dataSet, QStringList fieldNames, QObject* parent = nullptr);
    ~DataSource() override;

    RecordSet& dataSet() const { return m_dataSet; }

    void setLink(DataLink* link) { m_link = link; }

    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool on) { m_autoEdit = on; }

    // Starts a change of the current record, as the first changing key in the grid asks:
    // with automatic editing on, a browsing record enters editing, or, with no record
    // visible, a new record is started. False when nothing may start.
    bool edit();

    // The record set's field index of a column; -1 when the set has no such field.
    int fieldOfColumn(int column) const;

    // The titles the grid shows above the columns, which the model gives as its header data
    // so that assistive technology reads them too.
    void setColumnTitles(QStringList titles);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void viewAboutToReset() override;
    void viewReset() override;
    void rowAboutToBeInserted(int row) override;
    void rowInserted(int row) override;
    void rowAboutToBeRemoved(int row) override;
    void rowRemoved(int row) override;
    void rowChanged(int row) override;
    void currentMoved(int oldRow, int newRow, MoveKind kind) override;
    void stateChanged() override;
    void updateRecord() override;
    void mapFields();

    RecordSet& m_dataSet;
    QStringList m_fieldNames;
    QStringList m_titles;
    std::vector<int> m_fields;
    bool m_autoEdit = false;
    DataLink* m_link = nullptr;
};

} // namespace lambreya
