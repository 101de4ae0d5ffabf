#include "forms/Base_lin.h"

#include "forms/glyphs.h"
#include "forms/money_caps.h"

std::shared_ptr<data::DataSet> BaseDataSet;

TFm_Base::TFm_Base()
    : Panel1(this),
      tbr_base(&Panel1),
      pn_gl(&Panel1),
      tbprint(&tbr_base), tbpreview(&tbr_base), tbseek(&tbr_base), tbrefresh(&tbr_base), tbfirst(&tbr_base),
      tbprior(&tbr_base), tbnext(&tbr_base), tblast(&tbr_base), tbnew(&tbr_base), tbedit(&tbr_base),
      tbdel(&tbr_base), tbmore(&tbr_base), tbmore1(&tbr_base), tbexit(&tbr_base), tbcancel(&tbr_base),
      tbok(&tbr_base),
      iglbase(16, 16) {
  SetCaption(L"Fm_Base");
  SetBounds(103, 105, 697, 450);
  SetColor(ui::clBtnFace);
  SetFont(ui::Font{L"宋体", GB2312_CHARSET, -15, false, ui::clWindowText});
  CreateForm();

  // The top area: toolbar above the title band; its last three pixels stay empty.
  Panel1.SetColor(ui::clBtnFace);
  Panel1.SetBounds(0, 0, ClientWidth(), 73);
  Panel1.SetAlign(ui::Align::kTop);
  Panel1.Create();

  tbr_base.SetCaption(L"tbr_base");
  tbr_base.SetFont(ui::Font{L"宋体", GB2312_CHARSET, -12, false, ui::clWindowText});
  tbr_base.SetButtonHeight(35);
  tbr_base.SetBounds(0, 0, Panel1.Width(), 40);
  tbr_base.SetAlign(ui::Align::kTop);
  tbr_base.Create();
  SetWindowTextW(tbr_base.Handle(), L"");  // the toolbar's caption is not shown

  pn_gl.SetCaption(L"基础管理");
  pn_gl.SetFont(ui::Font{L"隶书", GB2312_CHARSET, -24, true, ui::clNavy});
  pn_gl.SetColor(ui::clBtnFace);
  pn_gl.SetBounds(0, 40, Panel1.Width(), 30);
  pn_gl.SetAlign(ui::Align::kTop);
  pn_gl.Create();

  namespace g = forms::glyphs;
  AddButton(tbprint, L"打印", 35, g::Print(), 1, true);
  AddButton(tbpreview, L"设置", 38, g::Preview(), 1, true);
  AddButton(tbseek, L"查找", 35, g::Seek(), 1, true);
  AddButton(tbrefresh, L"刷新", 35, g::Refresh(), 1, true);
  AddButton(tbfirst, L"首条", 35, g::First(), 1, true);
  AddButton(tbprior, L"上条", 35, g::Prior(), 1, true);
  AddButton(tbnext, L"下条", 35, g::Next(), 1, true);
  AddButton(tblast, L"末条", 35, g::Last(), 1, true);
  AddButton(tbnew, L"新增", 35, g::New(), 1, true);
  AddButton(tbedit, L"编辑", 35, g::Edit(), 1, true);
  AddButton(tbdel, L"删除", 35, g::Delete(), 1, true);
  AddButton(tbmore, L"", 29, ui::Picture(), 2, false);
  AddButton(tbmore1, L"", 24, ui::Picture(), 2, false);
  AddButton(tbok, L"提交", 35, g::Ok(), 2, true);
  AddButton(tbcancel, L"取消", 35, g::Cancel(), 2, true);
  AddButton(tbexit, L"退出", 35, g::Exit(), 1, true);

  tbrefresh.OnClick = [this] { TbRefreshClick(&tbrefresh); };
  tbfirst.OnClick = [this] { TbFirstClick(&tbfirst); };
  tbprior.OnClick = [this] { TbPriorClick(&tbprior); };
  tbnext.OnClick = [this] { TbNextClick(&tbnext); };
  tblast.OnClick = [this] { TbLastClick(&tblast); };
  tbnew.OnClick = [this] { TbNewClick(&tbnew); };
  tbedit.OnClick = [this] { TbEditClick(&tbedit); };
  tbok.OnClick = [this] { TbOKClick(&tbok); };
  tbcancel.OnClick = [this] { TbCancelClick(&tbcancel); };
  tbexit.OnClick = [this] { TbexitClick(&tbexit); };

  iglbase.Add(g::Prohibited());
  iglbase.Add(g::ProhibitedOutline());
  iglbase.Add(g::Sigma());
  iglbase.Add(g::SigmaOutline());
}

TFm_Base::~TFm_Base() { DestroyHandle(); }

void TFm_Base::AddButton(ui::FlatButton& button, const wchar_t* caption, int width, const ui::Picture& glyph,
                         int frames, bool visible) {
  button.SetCaption(caption);
  button.SetGlyph(glyph, frames);
  button.SetColorBorder(ui::clMenu);
  button.SetVisible(visible);
  button.Create();
  tbr_base.AddButton(&button, width);
}

void TFm_Base::TbFirstClick(ui::Control*) {
  if (BaseDataSet) BaseDataSet->First();
}

void TFm_Base::TbPriorClick(ui::Control*) {
  if (BaseDataSet) BaseDataSet->Prior();
}

void TFm_Base::TbNextClick(ui::Control*) {
  if (BaseDataSet) BaseDataSet->Next();
}

void TFm_Base::TbLastClick(ui::Control*) {
  if (BaseDataSet) BaseDataSet->Last();
}

void TFm_Base::TbAppendClick(ui::Control*) {
  if (BaseDataSet) BaseDataSet->Append();
}

void TFm_Base::TbDeleteClick(ui::Control*) {
  if (BaseDataSet) BaseDataSet->Delete();
}

void TFm_Base::TbCloseClick(ui::Control*) {
  BaseDataSet.reset();
  Close();
}

void TFm_Base::TbRefreshClick(ui::Control*) {
  if (BaseDataSet) BaseDataSet->Refresh();
}

void TFm_Base::SetRecordMoves(bool enabled) {
  tbfirst.SetEnabled(enabled);
  tbprior.SetEnabled(enabled);
  tbnext.SetEnabled(enabled);
  tblast.SetEnabled(enabled);
}

void TFm_Base::TbNewClick(ui::Control*) { SetRecordMoves(false); }

void TFm_Base::TbEditClick(ui::Control*) {
  SetRecordMoves(false);
  tbexit.SetEnabled(false);
}

void TFm_Base::TbOKClick(ui::Control*) {
  SetRecordMoves(true);
  tbexit.SetEnabled(true);
}

void TFm_Base::TbCancelClick(ui::Control*) {
  SetRecordMoves(true);
  tbexit.SetEnabled(true);
}

void TFm_Base::TbexitClick(ui::Control*) { Close(); }

std::string TFm_Base::conversionmoneycap(double amount) { return forms::ConversionMoneyCap(amount); }

void TFm_Base::FormClose(ui::Control*, ui::CloseAction& action) { action = ui::CloseAction::caFree; }
