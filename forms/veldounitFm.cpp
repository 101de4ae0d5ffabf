#include "forms/veldounitFm.h"

std::unique_ptr<Tfm_veldounit> fm_veldounit;
std::unique_ptr<TGETFORMSETTING> FormSetting;
std::string HostArg1;
std::string HostArg2;
std::string HostArg3;
std::string HostArg4;
std::string ServerComputerName;

namespace {

// The decimal separator of the user's number format, for the factor's text.
char SystemDecimalSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof(separator)) > 1 &&
      static_cast<unsigned char>(separator[0]) < 0x80) {
    return separator[0];
  }
  return '.';
}

}  // namespace

Tfm_veldounit::Tfm_veldounit()
    : dxDBGrid1(this),
      DataSource1(cds_VeldoUnit),
      cds_VeldoUnitSPDW01(cds_VeldoUnit.SPDW01()),
      cds_VeldoUnitZHXS00(cds_VeldoUnit.ZHXS00()),
      cds_VeldoUnitSPDW02(cds_VeldoUnit.SPDW02()) {
  DCOMConnection1.SetName("DCOMConnection1");
  cds_VeldoUnit.SetRemoteServer(&DCOMConnection1);
  cds_VeldoUnit.SetDecimalSeparator(SystemDecimalSeparator());

  SetCaption(L"卷烟单位查询");
  SetBounds(170, 148, 470, 332);

  // The top area takes the window's colour; only the exit command stays on the toolbar.
  Panel1.SetParentColor(true);
  pn_gl.SetParentColor(true);
  pn_gl.SetCaption(L"卷烟单位查询");
  for (ui::FlatButton* button : {&tbprint, &tbpreview, &tbseek, &tbrefresh, &tbfirst, &tbprior, &tbnext, &tblast,
                                 &tbnew, &tbedit, &tbdel, &tbok, &tbcancel, &tbmore, &tbmore1}) {
    tbr_base.SetButtonVisible(button, false);
  }

  dxDBGrid1.AddColumn({L"卷烟基准单位", 163, false});
  dxDBGrid1.AddColumn({L"转换系数", 140, true});
  dxDBGrid1.AddColumn({L"卷烟单位", 131, false});
  dxDBGrid1.SetBounds(0, 73, 460, 230);
  dxDBGrid1.SetAlign(ui::Align::kClient);
  dxDBGrid1.Create();
  dxDBGrid1.SetSource(&DataSource1);
  SetActiveControl(&dxDBGrid1);
}

Tfm_veldounit::~Tfm_veldounit() { DestroyHandle(); }

void Tfm_veldounit::FormShow(ui::Control*) {
  dxDBGrid1.SetHeaderColor(Color());
  DCOMConnection1.SetConnected(false);
  DCOMConnection1.SetComputerName(ServerComputerName);
  DCOMConnection1.SetConnected(true);
  // The grid follows the data set whether it opened or not: a failed open leaves it empty.
  struct RefreshGrid {
    ui::DataGrid& grid;
    ~RefreshGrid() { grid.Refresh(); }
  } refresh{dxDBGrid1};
  cds_VeldoUnit.Open();
}

void Tfm_veldounit::FormClose(ui::Control*, ui::CloseAction& action) { action = ui::CloseAction::caFree; }

bool Tfm_veldounit::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (message == WM_NCHITTEST) {
    *result = FormHitTest(wparam, lparam);
    return true;
  }
  return TFm_Base::OnMessage(message, wparam, lparam, result);
}

LRESULT Tfm_veldounit::FormHitTest(WPARAM wparam, LPARAM lparam) {
  DefaultHandling(WM_NCHITTEST, wparam, lparam);
  return HTCLIENT;
}

namespace {

std::string HostString(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

extern "C" void __stdcall showdll(HWND application, const char* arg1, const char* arg2, const char* arg3,
                                  const char* arg4, const char* server_computer) noexcept {
  try {
    ui::TheApplication().SetHandle(application);
    HostArg1 = HostString(arg1);
    HostArg2 = HostString(arg2);
    HostArg3 = HostString(arg3);
    HostArg4 = HostString(arg4);
    ServerComputerName = HostString(server_computer);

    fm_veldounit.reset();
    fm_veldounit = std::make_unique<Tfm_veldounit>();
    FormSetting = std::make_unique<TGETFORMSETTING>();
    FormSetting->getformsetting(*fm_veldounit, "C");
    fm_veldounit->ShowModal();
  } catch (const std::exception& error) {
    // The window could not be made or shown: tell the user, never the host's stack.
    ui::RunHandler([&] { ui::TheApplication().ShowException(error); });
  } catch (...) {
  }
  // Freed before returning, so that a host that unloads the module right after the call
  // never dispatches a message into unloaded code.
  fm_veldounit.reset();
  ui::UnregisterWindowClasses();
}
