#pragma once
// A data set as the record commands of the base form see it. Portable: no <windows.h>.

namespace data {

class DataSet {
 public:
  virtual ~DataSet() = default;
  virtual void First() = 0;
  virtual void Prior() = 0;
  virtual void Next() = 0;
  virtual void Last() = 0;
  // Reads the records again from the data set's source.
  virtual void Refresh() = 0;
  // Appends a blank record and enters insert mode.
  virtual void Append() = 0;
  // Deletes the current record.
  virtual void Delete() = 0;
};

}  // namespace data
