#pragma once
// The base record form: the window frame of the system's data windows, with a toolbar of
// record commands above a title band. The commands act on the module-global BaseDataSet,
// or on the toolbar's own buttons.
#include <memory>
#include <string>

#include "data/data_set.h"
#include "ui/flat_button.h"
#include "ui/form.h"
#include "ui/image_list.h"
#include "ui/panel.h"
#include "ui/toolbar.h"

// The data set on which the record commands act; empty: they do nothing. Nothing in this
// module sets it. Shared, so that a window that points it at its own data set and is freed
// cannot leave it naming a destroyed one.
extern std::shared_ptr<data::DataSet> BaseDataSet;

class TFm_Base : public ui::Form {
 public:
  TFm_Base();
  ~TFm_Base() override;

  ui::Panel Panel1;
  ui::ToolBar tbr_base;  // lies in Panel1 above pn_gl
  ui::Panel pn_gl;
  ui::FlatButton tbprint, tbpreview, tbseek, tbrefresh, tbfirst, tbprior, tbnext, tblast, tbnew, tbedit, tbdel,
      tbmore, tbmore1, tbexit, tbcancel, tbok;
  ui::ImageList iglbase;

  // The command handlers; each takes the clicked control and ignores it. A derived window
  // that overrides one has its own bound to the button instead.
  virtual void TbFirstClick(ui::Control* sender);
  virtual void TbPriorClick(ui::Control* sender);
  virtual void TbNextClick(ui::Control* sender);
  virtual void TbLastClick(ui::Control* sender);
  virtual void TbAppendClick(ui::Control* sender);
  virtual void TbDeleteClick(ui::Control* sender);
  virtual void TbCloseClick(ui::Control* sender);
  virtual void TbRefreshClick(ui::Control* sender);
  virtual void TbNewClick(ui::Control* sender);
  virtual void TbEditClick(ui::Control* sender);
  virtual void TbOKClick(ui::Control* sender);
  virtual void TbCancelClick(ui::Control* sender);
  virtual void TbexitClick(ui::Control* sender);
  // A money amount in Chinese capital numerals, GBK text.
  std::string conversionmoneycap(double amount);
  // The close handler: the window is freed once it has closed.
  virtual void FormClose(ui::Control* sender, ui::CloseAction& action);

 protected:
  void DoClose(ui::CloseAction& action) override { FormClose(this, action); }

 private:
  void AddButton(ui::FlatButton& button, const wchar_t* caption, int width, const ui::Picture& glyph, int frames,
                 bool visible);
  void SetRecordMoves(bool enabled);
};
