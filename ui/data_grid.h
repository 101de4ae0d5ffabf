#pragma once
// The data grid: a report-view list over a row source, one row per record, whole-row
// selection, grid lines, a flat look, a header in a colour of its own, and columns that
// can be neither moved nor resized. The list is virtual: it asks the source for the text of
// the cells it draws, so a large table shows as fast as a small one.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

// The rows the grid shows, and its current row.
class GridSource {
 public:
  virtual ~GridSource() = default;
  virtual int RowCount() const = 0;
  virtual std::wstring CellText(int row, int column) const = 0;
  virtual int CurrentRow() const = 0;  // -1 when there are no rows
  virtual void MoveTo(int row) = 0;
  // Whether the current row may be offered for deleting (rows there, not read-only).
  virtual bool CanDelete() const = 0;
  // Deletes the current row; raises an error when the data refuses it.
  virtual void DeleteCurrent() = 0;
};

struct GridColumn {
  std::wstring caption;
  int width = 64;
  bool right_aligned = false;  // the cells; headers are centred
};

class DataGrid : public Control {
 public:
  explicit DataGrid(Control* parent);
  ~DataGrid() override { DestroyHandle(); }
  void Create();

  void AddColumn(const GridColumn& column);
  const std::vector<GridColumn>& Columns() const { return columns_; }

  TColor HeaderColor() const { return header_color_; }
  void SetHeaderColor(TColor color);

  // Shows the rows of `source` (null: none), the source's current row selected.
  void SetSource(GridSource* source);
  // The source's rows have changed: show them again.
  void Refresh();

 protected:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  bool OnNotify(NMHDR* header, LRESULT* result) override;

 private:
  bool OnHeaderNotify(NMHDR* header, LRESULT* result);
  void DeleteWithConfirmation();
  void SelectCurrent();

  std::vector<GridColumn> columns_;
  TColor header_color_ = clBtnFace;
  GridSource* source_ = nullptr;
  bool syncing_ = false;
  std::wstring text_buffer_;
};

}  // namespace ui
