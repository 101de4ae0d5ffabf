#pragma once
// The cigarette unit query window, and the module's export that shows it.
#include <windows.h>

#include <memory>
#include <string>

#include "data/client_data_set.h"
#include "forms/Base_lin.h"
#include "forms/data_source.h"
#include "remote/dcom_connection.h"
#include "settings/unit_getsetting.h"
#include "ui/data_grid.h"

class Tfm_veldounit : public TFm_Base {
 public:
  Tfm_veldounit();
  ~Tfm_veldounit() override;

  ui::DataGrid dxDBGrid1;
  remote::DCOMConnection DCOMConnection1;
  data::VeldoUnitDataSet cds_VeldoUnit;
  TDataSource DataSource1;
  data::StringField& cds_VeldoUnitSPDW01;
  data::FloatField& cds_VeldoUnitZHXS00;
  data::StringField& cds_VeldoUnitSPDW02;

  // The show handler: colours the grid header like the window, then opens the unit table
  // from the application server on the computer that the host named.
  virtual void FormShow(ui::Control* sender);
  void FormClose(ui::Control* sender, ui::CloseAction& action) override;

 protected:
  void DoShow() override { FormShow(this); }
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

 private:
  // Every point of the window counts as client area: it can be neither moved nor resized
  // with the mouse.
  LRESULT FormHitTest(WPARAM wparam, LPARAM lparam);
};

// The module-global state that showdll fills; the strings are the host's, copied as they
// came (ANSI text).
extern std::unique_ptr<Tfm_veldounit> fm_veldounit;
extern std::unique_ptr<TGETFORMSETTING> FormSetting;
extern std::string HostArg1;
extern std::string HostArg2;
extern std::string HostArg3;
extern std::string HostArg4;
extern std::string ServerComputerName;

extern "C" void __stdcall showdll(HWND application, const char* arg1, const char* arg2, const char* arg3,
                                  const char* arg4, const char* server_computer) noexcept;
