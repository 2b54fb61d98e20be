#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace pelorin {

struct HarHeadingList;

/// A table model over a Header Array file's header list: one row per header with its name, type,
/// dimensions, long name and storage.
class HarHeadingModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit HarHeadingModel(QObject* parent = nullptr);

  /// Shows a header list (or nothing for null); the list must outlive the model or be replaced first.
  void SetList(const HarHeadingList* list);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
  std::vector<std::vector<std::string>> rows_;
};

} // namespace pelorin
