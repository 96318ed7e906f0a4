#include "ui/data_source.h"

#include "data/cp1251.h"
#include "data/display_text.h"
#include "data/guarded.h"

#include <utility>

namespace lambreya {

DataSource::DataSource(RecordSet& dataSet, QStringList fieldNames, QObject* parent)
    : QAbstractTableModel(parent)
    , m_dataSet(dataSet)
    , m_fieldNames(std::move(fieldNames)) {
    m_dataSet.addListener(this);
    mapFields();
}

DataSource::~DataSource() {
    m_dataSet.removeListener(this);
}

void DataSource::mapFields() {
    m_fields.clear();
    for (const QString& name : m_fieldNames)
        m_fields.push_back(m_dataSet.active() ? m_dataSet.findField(name.toStdString()) : -1);
}

int DataSource::fieldOfColumn(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < m_fields.size()
               ? m_fields[static_cast<std::size_t>(column)]
               : -1;
}

bool DataSource::edit() {
    if (!m_autoEdit || !m_dataSet.canModify())
        return false;
    if (m_dataSet.state() != RecordSet::State::Browse)
        return true;
    if (m_dataSet.recordCount() == 0)
        m_dataSet.append();
    else
        m_dataSet.edit();
    return true;
}

int DataSource::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_dataSet.active() ? 0 : m_dataSet.recordCount();
}

int DataSource::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_fieldNames.size());
}

QVariant DataSource::data(const QModelIndex& index, int role) const {
    return guarded(
        [&]() -> QVariant {
            if (role != Qt::DisplayRole && role != Qt::EditRole)
                return {};
            const int field = fieldOfColumn(index.column());
            if (field < 0)
                return QString();
            return cp1251::toUnicode(fieldDisplayText(m_dataSet, index.row(), field));
        },
        QVariant());
}

void DataSource::viewAboutToReset() {
    beginResetModel();
}

void DataSource::setColumnTitles(QStringList titles) {
    m_titles = std::move(titles);
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QVariant DataSource::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_titles.size())
        return m_titles[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

void DataSource::viewReset() {
    mapFields();
    endResetModel();
}

void DataSource::rowAboutToBeInserted(int row) {
    beginInsertRows({}, row, row);
}

void DataSource::rowInserted(int row) {
    (void)row;
    endInsertRows();
}

void DataSource::rowAboutToBeRemoved(int row) {
    beginRemoveRows({}, row, row);
}

void DataSource::rowRemoved(int row) {
    (void)row;
    endRemoveRows();
}

void DataSource::rowChanged(int row) {
    if (row >= 0 && row < rowCount())
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DataSource::currentMoved(int oldRow, int newRow, MoveKind kind) {
    if (m_link)
        m_link->currentRecordMoved(oldRow, newRow, kind);
}

void DataSource::stateChanged() {
    if (m_link)
        m_link->recordStateChanged();
}

void DataSource::updateRecord() {
    if (m_link)
        m_link->updateRecordRequested();
}

} // namespace lambreya
