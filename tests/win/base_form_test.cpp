// The base record form's toolbar and record commands, on a real (hidden) window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Base_lin.h"
#include "tests/win/driver.h"

namespace {

// A data set that records the commands it receives.
class RecordingDataSet : public data::DataSet {
 public:
  explicit RecordingDataSet(std::vector<std::string>* log) : log_(log) {}
  ~RecordingDataSet() override { log_->push_back("released"); }
  void First() override { log_->push_back("first"); }
  void Prior() override { log_->push_back("prior"); }
  void Next() override { log_->push_back("next"); }
  void Last() override { log_->push_back("last"); }
  void Refresh() override { log_->push_back("refresh"); }
  void Append() override { log_->push_back("append"); }
  void Delete() override { log_->push_back("delete"); }

 private:
  std::vector<std::string>* log_;
};

// Clicks a button with the mouse, as the user would.
void Click(ui::FlatButton& button) {
  SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

class BaseForm : public ::testing::Test {
 protected:
  void TearDown() override { BaseDataSet.reset(); }

  // Enabled flags of first, prior, next, last, exit.
  std::vector<bool> MoveAndExitStates() {
    return {form.tbfirst.Enabled(), form.tbprior.Enabled(), form.tbnext.Enabled(), form.tblast.Enabled(),
            form.tbexit.Enabled()};
  }

  TFm_Base form;
};

TEST_F(BaseForm, DesignOfTheToolbar) {
  struct Expected {
    ui::FlatButton* button;
    const wchar_t* caption;
    int left, width;
    bool visible;
  };
  const Expected expected[] = {
      {&form.tbprint, L"打印", 0, 35, true},     {&form.tbpreview, L"设置", 35, 38, true},
      {&form.tbseek, L"查找", 73, 35, true},     {&form.tbrefresh, L"刷新", 108, 35, true},
      {&form.tbfirst, L"首条", 143, 35, true},   {&form.tbprior, L"上条", 178, 35, true},
      {&form.tbnext, L"下条", 213, 35, true},    {&form.tblast, L"末条", 248, 35, true},
      {&form.tbnew, L"新增", 283, 35, true},     {&form.tbedit, L"编辑", 318, 35, true},
      {&form.tbdel, L"删除", 353, 35, true},     {&form.tbmore, L"", 0, 0, false},
      {&form.tbmore1, L"", 0, 0, false},         {&form.tbok, L"提交", 388, 35, true},
      {&form.tbcancel, L"取消", 423, 35, true},  {&form.tbexit, L"退出", 458, 35, true},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(testing::Message() << "left " << e.left);
    EXPECT_EQ(e.caption, driver::TextOf(e.button->Handle()));
    EXPECT_EQ(e.visible, (GetWindowLongW(e.button->Handle(), GWL_STYLE) & WS_VISIBLE) != 0);
    EXPECT_TRUE(e.button->Enabled());
    if (!e.visible) continue;
    EXPECT_EQ(e.left, e.button->Left());
    EXPECT_EQ(e.width, e.button->Width());
    EXPECT_EQ(2, e.button->Top());
    EXPECT_EQ(35, e.button->Height());
    EXPECT_EQ(ui::clMenu, e.button->ColorBorder());
  }
  EXPECT_EQ(2, form.tbok.NumGlyphs());
  EXPECT_EQ(2, form.tbcancel.NumGlyphs());
  EXPECT_EQ(L"Fm_Base", driver::TextOf(form.Handle()));
  EXPECT_EQ(L"基础管理", driver::TextOf(form.pn_gl.Handle()));
  EXPECT_EQ(73, form.Panel1.Height());
  EXPECT_EQ(40, form.pn_gl.Top());
  EXPECT_EQ(30, form.pn_gl.Height());
  EXPECT_EQ(4, form.iglbase.Count());
}

TEST_F(BaseForm, EnabledStatesFollowNewEditOkAndCancel) {
  const std::vector<bool> browsing = {true, true, true, true, true};
  const std::vector<bool> adding = {false, false, false, false, true};
  const std::vector<bool> editing = {false, false, false, false, false};
  EXPECT_EQ(browsing, MoveAndExitStates());

  Click(form.tbnew);
  EXPECT_EQ(adding, MoveAndExitStates());
  Click(form.tbnew);  // twice changes nothing further
  EXPECT_EQ(adding, MoveAndExitStates());
  Click(form.tbedit);
  EXPECT_EQ(editing, MoveAndExitStates());
  Click(form.tbnew);  // the exit button keeps the state an edit gave it
  EXPECT_EQ(editing, MoveAndExitStates());
  Click(form.tbok);
  EXPECT_EQ(browsing, MoveAndExitStates());
  Click(form.tbedit);
  Click(form.tbcancel);
  EXPECT_EQ(browsing, MoveAndExitStates());

  // A disabled button takes no click: tbfirst does not reach the data set while adding.
  std::vector<std::string> log;
  BaseDataSet = std::make_shared<RecordingDataSet>(&log);
  Click(form.tbnew);
  Click(form.tbfirst);
  EXPECT_TRUE(log.empty());
  // Other buttons keep their state throughout.
  for (ui::FlatButton* b : {&form.tbprint, &form.tbpreview, &form.tbseek, &form.tbrefresh, &form.tbnew,
                            &form.tbedit, &form.tbdel, &form.tbok, &form.tbcancel}) {
    EXPECT_TRUE(b->Enabled());
  }
}

TEST_F(BaseForm, RecordCommandsActOnBaseDataSet) {
  std::vector<std::string> log;
  BaseDataSet = std::make_shared<RecordingDataSet>(&log);
  for (ui::FlatButton* b : {&form.tbfirst, &form.tbprior, &form.tbnext, &form.tblast, &form.tbrefresh,
                            &form.tbprint, &form.tbpreview, &form.tbseek, &form.tbdel, &form.tbnew, &form.tbok}) {
    Click(*b);
  }
  form.TbAppendClick(nullptr);
  form.TbDeleteClick(nullptr);
  const std::vector<std::string> expected = {"first", "prior", "next", "last", "refresh", "append", "delete"};
  EXPECT_EQ(expected, log);

  // Closing through TbCloseClick releases the data set: later commands do nothing.
  form.TbCloseClick(nullptr);
  EXPECT_EQ(nullptr, BaseDataSet);
  EXPECT_EQ("released", log.back());
  log.clear();
  Click(form.tbfirst);
  form.TbDeleteClick(nullptr);
  EXPECT_TRUE(log.empty());
}

TEST_F(BaseForm, WithoutADataSetTheCommandsDoNothing) {
  ASSERT_EQ(nullptr, BaseDataSet);
  for (ui::FlatButton* b : {&form.tbfirst, &form.tbprior, &form.tbnext, &form.tblast, &form.tbrefresh}) Click(*b);
  form.TbAppendClick(nullptr);
  form.TbDeleteClick(nullptr);
  form.TbCloseClick(nullptr);
  EXPECT_TRUE(IsWindow(form.Handle()));
  EXPECT_EQ(nullptr, driver::MessageBoxWindow());
}

TEST_F(BaseForm, CloseHandlerAsksToFree) {
  ui::CloseAction action = ui::CloseAction::caHide;
  form.FormClose(&form, action);
  EXPECT_EQ(ui::CloseAction::caFree, action);
  form.Close();
  EXPECT_EQ(ui::CloseAction::caFree, form.LastCloseAction());
}

// An error that a data set raises reaches the default error box; the window stays, the
// buttons keep their states.
class FailingDataSet : public RecordingDataSet {
 public:
  using RecordingDataSet::RecordingDataSet;
  void Refresh() override { throw std::runtime_error("cds: Refresh refused"); }
};

TEST_F(BaseForm, ADataSetErrorGoesToTheErrorBox) {
  std::vector<std::string> log;
  BaseDataSet = std::make_shared<FailingDataSet>(&log);
  driver::BoxAnswerer answerer;
  Click(form.tbrefresh);
  ASSERT_EQ(1u, answerer.texts.size());
  const std::wstring seen = answerer.texts[0];
  EXPECT_EQ(L"cds: Refresh refused.", seen);
  EXPECT_TRUE(IsWindow(form.Handle()));
  EXPECT_TRUE(form.tbrefresh.Enabled());
}

}  // namespace
