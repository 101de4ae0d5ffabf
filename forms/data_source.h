#pragma once
// The link between a data grid and a client data set: the grid shows the data set's rows
// and moves the data set with its current row.
#include "data/client_data_set.h"
#include "ui/data_grid.h"

class TDataSource : public ui::GridSource {
 public:
  explicit TDataSource(data::ClientDataSet& data_set) : data_set_(data_set) {}

  data::ClientDataSet& DataSet() const { return data_set_; }

  int RowCount() const override;
  std::wstring CellText(int row, int column) const override;
  int CurrentRow() const override;
  void MoveTo(int row) override;
  bool CanDelete() const override;
  void DeleteCurrent() override;

 private:
  data::ClientDataSet& data_set_;
};
