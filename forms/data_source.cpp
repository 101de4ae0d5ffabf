#include "forms/data_source.h"

#include "ui/application.h"

int TDataSource::RowCount() const {
  return data_set_.Active() ? static_cast<int>(data_set_.RecordCount()) : 0;
}

std::wstring TDataSource::CellText(int row, int column) const {
  const auto& fields = data_set_.Fields();
  if (row < 0 || row >= RowCount() || column < 0 || static_cast<size_t>(column) >= fields.size()) return {};
  // The field texts are the server's 8-bit strings, in the system's code page.
  return ui::AnsiToWide(fields[static_cast<size_t>(column)]->DisplayTextAt(static_cast<size_t>(row)));
}

int TDataSource::CurrentRow() const { return static_cast<int>(data_set_.CurrentRow()); }

void TDataSource::MoveTo(int row) {
  if (data_set_.Active() && row >= 0) data_set_.MoveTo(static_cast<size_t>(row));
}

bool TDataSource::CanDelete() const { return data_set_.Active() && !data_set_.IsEmpty() && data_set_.CanModify(); }

void TDataSource::DeleteCurrent() { data_set_.Delete(); }
